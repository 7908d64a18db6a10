// hostile_pages DIR: writes every hostile page (hostile_pages.h) into DIR as
// NAME.emf, plus the pages that break the metafile's own rules and report
// files whose page is wider than any paper (refused) or as wide as the loader
// allows, for trying them on emfplay and qrpdump.
//
// hostile_pages --seeds DIR: writes each kind in miniature into
// DIR/emf_player/ and, as report files, DIR/report_file/: the fuzz targets'
// seeds (fuzz/corpus/ holds them, with our own pages).
#include "report/report_file_format.h"
#include "tools/hostile_pages.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace {

bool write(const QDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile f(dir.filePath(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "hostile_pages: cannot write %s\n", qPrintable(f.fileName()));
        return false;
    }
    return true;
}

} // namespace

// Each hostile kind at a size that plays in microseconds.
std::vector<std::pair<QString, QByteArray>> seeds()
{
    return {
        {QStringLiteral("triangles"), hostile::triangles(2, 40)},
        {QStringLiteral("bezier"), hostile::bezier(301)},
        {QStringLiteral("missing-glyphs"), hostile::text(2, 30, -20, QChar(0xE000))},
        {QStringLiteral("huge-text"), hostile::text(2, 20, -4000, QChar(u'W'))},
        {QStringLiteral("unknown-faces"), hostile::unknownFaces(20)},
        {QStringLiteral("page-fills"), hostile::fills(40)},
        {QStringLiteral("page-high-glyphs"), hostile::text(1, 40, -4000, QChar(u'W'), 0)},
        {QStringLiteral("miter-spikes"), hostile::miterSpikes(40, 370, 10)},
        {QStringLiteral("early-eof"), hostile::earlyEof()},
        {QStringLiteral("wrong-record-count"), hostile::wrongRecordCount()},
    };
}

bool writeSeeds(const QDir& dir)
{
    bool ok = QDir().mkpath(dir.filePath(QStringLiteral("emf_player"))) && QDir().mkpath(dir.filePath(QStringLiteral("report_file")));
    for (const auto& [name, page] : seeds()) {
        ok &= write(dir, QStringLiteral("emf_player/hostile-%1.emf").arg(name), page);
        ok &= write(dir, QStringLiteral("report_file/hostile-%1.QRP").arg(name), hostile::reportFile(page, 1090, 762));
    }
    const QByteArray small = hostile::triangles(1, 3);
    ok &= write(dir, QStringLiteral("report_file/wide-page.QRP"), hostile::reportFile(small, 1'000'000, 767));
    ok &= write(dir, QStringLiteral("report_file/widest-page.QRP"), hostile::reportFile(small, report::kMaxPageSide, 767));
    return ok;
}

int main(int argc, char** argv)
{
    const char* usage = "usage: hostile_pages [--seeds] DIR\n";
    if (argc == 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
        std::fputs(usage, stdout);
        std::fputs("Write the hostile pages and report files into DIR; with --seeds, each kind in miniature\n"
                   "as the fuzz targets' seeds (DIR/emf_player/, DIR/report_file/).\n",
                   stdout);
        return 0;
    }
    // A folder name never starts with '-' here: a mistyped option must not become a folder.
    const bool seeds = argc == 3 && !std::strcmp(argv[1], "--seeds");
    if ((argc != 2 && !seeds) || argv[argc - 1][0] == '-') {
        std::fputs(usage, stderr);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[argc - 1]));
    if (seeds)
        return writeSeeds(dir) ? 0 : 1;
    if (!QDir().mkpath(dir.path())) {
        std::fprintf(stderr, "hostile_pages: cannot make the folder %s\n", argv[1]);
        return 1;
    }
    bool ok = true;
    for (const hostile::Case& c : hostile::pageCases())
        ok &= write(dir, QString::fromLatin1(c.name) + QStringLiteral(".emf"), c.make());
    ok &= write(dir, QStringLiteral("early-eof.emf"), hostile::earlyEof());
    ok &= write(dir, QStringLiteral("wrong-record-count.emf"), hostile::wrongRecordCount());
    const QByteArray small = hostile::triangles(1, 3);
    ok &= write(dir, QStringLiteral("wide-page.QRP"), hostile::reportFile(small, 1'000'000, 767));
    ok &= write(dir, QStringLiteral("widest-page.QRP"), hostile::reportFile(small, report::kMaxPageSide, 767));
    return ok ? 0 : 1;
}
