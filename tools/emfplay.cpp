// emfplay FILE.emf OUT.png: plays an Enhanced Metafile through the program's
// own player onto a white image of the metafile's frame size at 96 pixels per
// inch (scaled down to 4096 pixels on the longer side if larger) and writes it
// as PNG. A damaged file prints the player's error and exits with status 1.
#include "platform/canvas_painter.h"
#include "platform/emf_format.h"
#include "platform/emf_player.h"
#include "platform/emf_records.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>

int main(int argc, char** argv)
{
    // Installed as stellaro-emfplay; --help and --version answer as GNU tools do.
    if (argc == 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
        std::fputs("Usage: stellaro-emfplay FILE.emf OUT.png\n"
                   "Play an Enhanced Metafile through Stellaro's own player at 96 dpi and write it as PNG.\n"
                   "  -h, --help     show this help and exit\n"
                   "      --version  show the version and exit\n"
                   "Exit status: 0 success, 1 the file is damaged or cannot be read or written, 2 bad usage.\n",
                   stdout);
        return 0;
    }
    if (argc == 2 && !std::strcmp(argv[1], "--version")) {
        std::puts("stellaro-emfplay " STELLARO_VERSION);
        return 0;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: emfplay FILE.emf OUT.png\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "emfplay: cannot open %s\n", argv[1]);
        return 1;
    }
    try {
        // No more than the header says the metafile holds: a device that never
        // ends (/dev/zero) is refused by its first bytes, not read until the
        // memory runs out.
        using namespace platform::emf;
        QByteArray bytes = in.read(header::kMinSize);
        const qint64 declared = bytes.size() == header::kMinSize
            ? readU32(reinterpret_cast<const std::uint8_t*>(bytes.constData()) + header::kBytes)
            : 0;
        while (bytes.size() < declared) {
            const QByteArray more = in.read(std::min<qint64>(declared - bytes.size(), 1 << 20));
            if (more.isEmpty())
                break;
            bytes += more;
        }
        if (in.error() != QFileDevice::NoError)
            throw platform::EmfError(in.errorString().toStdString());
        const platform::EmfHeader header = platform::validateEmf(bytes);
        QSize size = platform::emfFrameSizeInPixels(header, 96);
        // STELLARO_EMFPLAY_SCALE times the frame's size: the comparison tool
        // plays a picture at the size another program drew it.
        bool scaled = false;
        const double scale = qEnvironmentVariable("STELLARO_EMFPLAY_SCALE").toDouble(&scaled);
        if (scaled && scale > 0.01 && scale < 100)
            size = QSize(qMax(1, int(size.width() * scale + 0.5)), qMax(1, int(size.height() * scale + 0.5)));
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
        if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
            std::fprintf(stderr, "emfplay: cannot write %s\n", argv[2]);
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "emfplay: %s\n", e.what());
        return 1;
    }
    return 0;
}
