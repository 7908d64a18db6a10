// qrpdump: shows what a report file (.QRP) holds, read through the program's own Load.
//
//   qrpdump FILE.QRP             header fields, then each page's metafile size and record count
//   qrpdump FILE.QRP --png DIR   also plays every page through the EMF player into DIR/page-N.png,
//                                at one pixel per page unit, scaled down to 4,096 pixels at most a side
//
// A damaged file prints the same error the program's error box shows and exits with 1.
#include "platform/canvas_painter.h"
#include "platform/emf_player.h"
#include "report/report_file.h"
#include "report/report_file_format.h"

#include <QGuiApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

namespace {

int usage()
{
    std::fputs("usage: qrpdump FILE.QRP [--png DIR]\n", stderr);
    return 2;
}

// Records in a metafile that has passed validation: walked by their sizes up to EOF.
int countRecords(const QByteArray& emf)
{
    const auto* p = reinterpret_cast<const unsigned char*>(emf.constData());
    const qsizetype n = emf.size();
    int records = 0;
    qsizetype at = 0;
    while (at + 8 <= n) {
        std::uint32_t type = 0, size = 0;
        std::memcpy(&type, p + at, 4);
        std::memcpy(&size, p + at + 4, 4);
        ++records;
        if (type == 14 || size < 8)
            break;
        at += size;
    }
    return records;
}

QString savedAtText(double days)
{
    if (!(days > -700'000.0 && days < 3'000'000.0))
        return QStringLiteral("?");
    const auto whole = static_cast<qint64>(days);
    const QDate date = QDate(1899, 12, 30).addDays(whole);
    const int ms = static_cast<int>((days - static_cast<double>(whole)) * 86'400'000.0 + 0.5);
    return date.toString(Qt::ISODate) + QLatin1Char(' ') + QTime::fromMSecsSinceStartOfDay(ms % 86'400'000).toString(QStringLiteral("HH:mm:ss"));
}

// The image of a page: its printable size in page units, scaled down as emfplay does
// so that no side exceeds 4,096 pixels whatever size the file declares.
QSize pngSize(const report::ReportFileHeader& header)
{
    constexpr int kMaxSide = 4096;
    QSize size(std::max(1, header.printableWidth), std::max(1, header.printableHeight));
    if (size.width() > kMaxSide || size.height() > kMaxSide)
        size = size.scaled(kMaxSide, kMaxSide, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    return size;
}

void writePng(const report::LoadedReportFile& file, int page, const QString& dir)
{
    QImage image(pngSize(file.header), QImage::Format_RGB32);
    if (image.isNull())
        throw std::runtime_error("Not enough memory for the image of page " + std::to_string(page));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        platform::QPainterCanvas canvas(painter, 96);
        platform::playEmf(file.pages[static_cast<std::size_t>(page - 1)], canvas, {0, 0, image.width(), image.height()});
    }
    const QString name = QDir(dir).filePath(QStringLiteral("page-%1.png").arg(page));
    if (!image.save(name, "PNG"))
        throw std::runtime_error("Cannot create file " + name.toStdString());
}

} // namespace

int main(int argc, char** argv)
{
    // Installed as stellaro-qrpdump; --help and --version answer as GNU tools do.
    if (argc == 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
        std::fputs("Usage: stellaro-qrpdump FILE.QRP [--png DIR]\n"
                   "Load a Stellaro report file as the program does and show its header and pages.\n"
                   "      --png DIR  also write every page as DIR/page-N.png\n"
                   "  -h, --help     show this help and exit\n"
                   "      --version  show the version and exit\n"
                   "Exit status: 0 success, 1 the file cannot be read or is damaged, 2 bad usage.\n",
                   stdout);
        return 0;
    }
    if (argc == 2 && !std::strcmp(argv[1], "--version")) {
        std::puts("stellaro-qrpdump " STELLARO_VERSION);
        return 0;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != 1 && !(args.size() == 3 && args[1] == QLatin1String("--png")))
        return usage();
    const QString file = args[0];
    const QString pngDir = args.size() == 3 ? args[2] : QString();

    try {
        // Read and checked as the program's Load does it, every page through the
        // metafile validator, without a page store or a printer.
        QFile f(file);
        if (QFileInfo(file).isDir() || !f.open(QIODevice::ReadOnly))
            throw std::runtime_error(report::cannotOpenMessage(file).toStdString());
        const report::LoadedReportFile loaded = report::readReportFile(f, report::validateReportPage);
        const report::ReportFileHeader& h = loaded.header;

        std::printf("file: %s\n", qPrintable(file));
        std::printf("printable height: %d\n", h.printableHeight);
        std::printf("printable width: %d\n", h.printableWidth);
        std::printf("pixels per inch: %d\n", h.pixelsPerInch);
        std::printf("page count: %d\n", h.pageCount);
        std::printf("saved: %s (%.6f)\n", qPrintable(savedAtText(h.savedAt)), h.savedAt);
        std::printf("orientation: %s\n", h.portrait ? "portrait" : "landscape");
        std::printf("sheet when loaded: %d x %d\n", report::physicalFromPrintable(h.printableWidth),
                    report::physicalFromPrintable(h.printableHeight));
        for (int i = 1; i <= int(loaded.pages.size()); ++i) {
            const QByteArray& page = loaded.pages[static_cast<std::size_t>(i - 1)];
            std::printf("page %d: %lld bytes, %d records\n", i, static_cast<long long>(page.size()), countRecords(page));
        }
        if (!pngDir.isEmpty()) {
            QDir().mkpath(pngDir);
            for (int i = 1; i <= int(loaded.pages.size()); ++i)
                writePng(loaded, i, pngDir);
        }
    } catch (const std::exception& e) {
        // The message as the program's error box words it.
        std::fprintf(stderr, "%s.\n", e.what());
        return 1;
    }
    return 0;
}
