// emfplay [--scale F] FILE.emf OUT.png: plays an Enhanced Metafile through the
// program's own player onto a white image of the metafile's frame size at 96
// pixels per inch, times F when given (scaled down to 4096 pixels on the longer
// side if larger) and writes it as PNG. A damaged file prints the player's
// error and exits with status 1. The scale lets a comparison with another
// program's rendering be made at that program's size.
#include "platform/canvas_painter.h"
#include "platform/emf_player.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <exception>

int main(int argc, char** argv)
{
    double scale = 1;
    int first = 1;
    if (argc == 5 && std::string_view(argv[1]) == "--scale") {
        scale = std::atof(argv[2]);
        first = 3;
    }
    if (argc != first + 2 || !(scale > 0.01 && scale < 100)) {
        std::fprintf(stderr, "usage: emfplay [--scale F] FILE.emf OUT.png\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QFile in(QString::fromLocal8Bit(argv[first]));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "emfplay: cannot open %s\n", argv[first]);
        return 1;
    }
    const QByteArray bytes = in.readAll();
    try {
        const platform::EmfHeader header = platform::validateEmf(bytes);
        QSize size = platform::emfFrameSizeInPixels(header, 96);
        if (scale != 1)
            size = QSize(std::max(1, int(size.width() * scale + 0.5)), std::max(1, int(size.height() * scale + 0.5)));
        // Posters and drawings of several metres are shown scaled down.
        constexpr int kMaxSide = 4096;
        if (size.width() > kMaxSide || size.height() > kMaxSide)
            size = size.scaled(kMaxSide, kMaxSide, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
        QImage image(size, QImage::Format_RGB32);
        if (image.isNull())
            throw platform::EmfError("Not enough memory for the image");
        image.fill(Qt::white);
        image.setDotsPerMeterX(3780);
        image.setDotsPerMeterY(3780);
        {
            QPainter painter(&image);
            platform::QPainterCanvas canvas(painter, 96);
            platform::playEmf(bytes, canvas, platform::Rect{0, 0, size.width(), size.height()});
        }
        if (!image.save(QString::fromLocal8Bit(argv[first + 1]), "PNG")) {
            std::fprintf(stderr, "emfplay: cannot write %s\n", argv[first + 1]);
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "emfplay: %s\n", e.what());
        return 1;
    }
    return 0;
}
