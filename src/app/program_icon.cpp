#include "app/program_icon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QString>

#include <array>
#include <map>

namespace app {

namespace {

constexpr std::array kSides{16, 22, 24, 32, 48, 64, 128, 256};

// Reads each size's image only when the window system asks for it, and reads
// it as the PNG it is: a plain QIcon::addFile asks every image plugin Qt has
// what the file might be (loading them all, a tenth of the start-up) before
// the main window can show.
class ProgramIconEngine final : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        const int side = sideFor(size);
        return QSize(side, side).scaled(size, Qt::KeepAspectRatio).boundedTo(QSize(side, side));
    }

    // The drawn size that fits, scaled down when none is drawn for `size`
    // (an icon never comes out larger than asked).
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        const int side = sideFor(size);
        QPixmap& image = images_[side];
        if (image.isNull())
            image = QPixmap(QStringLiteral(":/icons/hicolor/%1x%1/stellaro.png").arg(side), "PNG");
        const QSize wanted = actualSize(size, mode, state);
        return image.size() == wanted ? image : image.scaled(wanted, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (const int side : kSides)
            sizes << QSize(side, side);
        return sizes;
    }

    QIconEngine* clone() const override { return new ProgramIconEngine(*this); }

private:
    // The smallest drawn side that covers `size`, else the largest.
    static int sideFor(const QSize& size)
    {
        for (const int side : kSides)
            if (side >= size.width() && side >= size.height())
                return side;
        return kSides.back();
    }

    std::map<int, QPixmap> images_;
};

} // namespace

QIcon programIcon()
{
    return QIcon(new ProgramIconEngine);
}

} // namespace app
