// Real-world metafiles that draw with paths, fill modes, clip regions and
// paths, arcs, hatched and patterned brushes, raster operations, gradients,
// turned and glyph-index text, and EMF+ text in a colour with alpha, played
// and compared with the pictures in emf-reference/. Each picture was our own rendering, checked by eye against
// LibreOffice's when it was made; the test keeps those features drawn. Two
// differ from LibreOffice on purpose: it draws glyph indices as if they were
// characters (the spool page), and some of its line colours on the pattern
// and raster-operation page are not what the page's not-XOR pens compute.
//
// Tolerance: a pixel differs when a channel differs by more than 64; a
// picture passes while at most 3% of its ink (pixels not white in either
// image) differs, which absorbs a font's hinting or a face's version, while a
// figure, a fill or a line of text gone missing costs far more.
//
// STELLARO_WRITE_EMF_REFERENCES=1 writes the pictures instead of comparing
// (look at every one next to LibreOffice's before committing it).
#include "platform/emf_player.h"
#include "support/paint_surface.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>

using namespace platform;

namespace {

struct Reference {
    const char* sample;   // under ../shared/emf-samples
    const char* picture;  // under tests/platform/emf-reference
};

const Reference kReferences[] = {
    {"windows/emffiles/nt4/nt4_p_image006.emf", "paths-callouts.png"},
    {"kakwa/libemf2svg/test-092.emf", "paths-bubble.png"},
    {"kakwa/libemf2svg/test-104.emf", "fill-mode-target.png"},
    {"kakwa/libemf2svg/test-186.emf", "clip-path-arrow.png"},
    {"LibreOffice/core/LibreOffice_line_styles.emf", "clip-region-lines.png"},
    {"windows/emffiles/car.emf", "arcs-car.png"},
    {"windows/emffiles/win95/l_image007.emf", "pattern-brush-rop.png"},
    {"LibreOffice/core/LibreOffice_test_libuemf_ref30.emf", "hatch-gradient-turned.png"},
    {"kakwa/libemf2svg/test-051.emf", "text-escapement.png"},
    {"spool/EMFSpool_0001.emf", "text-glyph-index.png"},
    {"LibreOffice/core/LibreOffice_TestDrawStringTransparent.emf", "plus-text-alpha.png"},
};

// Played at the frame's size at 96 dpi, no more than 400 pixels on the longer side.
QImage render(const std::filesystem::path& file)
{
    const std::vector<unsigned char> bytes = testsupport::readFileBytes(file);
    const EmfHeader header = validateEmf(bytes.data(), bytes.size());
    QSize size = emfFrameSizeInPixels(header, 96);
    if (size.width() > 400 || size.height() > 400)
        size = size.scaled(400, 400, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    Surface s(size.width(), size.height());
    playEmf(bytes.data(), bytes.size(), s.canvas, Rect{0, 0, size.width(), size.height()});
    return s.done();
}

TEST(EmfPlayerReference, RealWorldFeaturesDrawAsTheReferencePictures)
{
    const std::filesystem::path samples = testsupport::emfSamplesDir();
    if (samples.empty())
        GTEST_SKIP() << "../shared/emf-samples is not present";
    const std::filesystem::path dir = testsupport::sourceDir() / "tests" / "platform" / "emf-reference";
    const bool write = qEnvironmentVariableIntValue("STELLARO_WRITE_EMF_REFERENCES") == 1;
    for (const Reference& r : kReferences) {
        const QImage ours = render(samples / r.sample);
        const QString path = QString::fromStdString((dir / r.picture).string());
        if (write) {
            std::filesystem::create_directories(dir);
            ASSERT_TRUE(ours.save(path)) << r.picture;
            continue;
        }
        const QImage reference = QImage(path).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(reference.size(), ours.size()) << r.picture;
        qint64 ink = 0, differing = 0;
        for (int y = 0; y < ours.height(); ++y) {
            const QRgb* a = reinterpret_cast<const QRgb*>(ours.constScanLine(y));
            const QRgb* b = reinterpret_cast<const QRgb*>(reference.constScanLine(y));
            for (int x = 0; x < ours.width(); ++x) {
                const QRgb p = a[x] | 0xFF000000, q = b[x] | 0xFF000000;
                ink += p != 0xFFFFFFFF || q != 0xFFFFFFFF;
                differing += std::abs(qRed(p) - qRed(q)) > 64 || std::abs(qGreen(p) - qGreen(q)) > 64
                    || std::abs(qBlue(p) - qBlue(q)) > 64;
            }
        }
        EXPECT_GT(ink, 0) << r.picture;
        EXPECT_LE(differing * 100, ink * 3) << r.picture << ": " << differing << " of " << ink << " inked pixels differ";
    }
}

} // namespace
