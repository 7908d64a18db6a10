// libFuzzer target for the EMF player: a metafile from a stranger is checked,
// then played onto an image and into a new recording. Anything but EmfError
// escaping, a crash or a sanitizer report is a finding; so is a recording of
// ours that does not validate, also one cut short by a page over budget.
//
// With STELLARO_EMF_SEED_DIR set, start-up first writes a few pages recorded
// by our own writer into that folder, as seeds for the corpus.
#include "platform/canvas_painter.h"
#include "platform/emf_player.h"
#include "platform/emf_writer.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include "fuzz_qt.h"

#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cstdlib>

using namespace platform;

namespace {

QImage glyph(int w, int h, QImage::Format format, int seed)
{
    QImage img(w, h, format);
    if (format == QImage::Format_Mono || format == QImage::Format_Indexed8)
        img.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(200, 0, 0)});
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int v = (x * 3 + y * 5 + seed) % 7;
            if (format == QImage::Format_Mono || format == QImage::Format_Indexed8)
                img.setPixel(x, y, v < 2 ? 1 : 0);
            else
                img.setPixel(x, y, qRgba(v * 30, 255 - v * 30, seed * 20, v == 0 ? 0 : 255));
        }
    return img;
}

void seedPage(Canvas& c, int variant)
{
    c.setBrushColor(QColor(255, 255, 255));
    c.fillRect(Rect{0, 0, 400, 300});
    CanvasFont f;
    f.face = variant % 2 ? QStringLiteral("Arial") : QStringLiteral("Times New Roman");
    f.height = 12 + variant * 5;
    f.bold = variant % 3 == 0;
    f.italic = true;
    c.setFont(f);
    c.setTextAlign(TextAlign{static_cast<HAlign>(variant % 3), static_cast<VAlign>(variant % 3)});
    c.setBackgroundMode(variant % 2 ? BackgroundMode::Transparent : BackgroundMode::Opaque);
    c.textOut(200, 40, Rect{20, 30, 380, 60}, TextOpaque | TextClipped, QStringLiteral("Strengths \u00C6 \u20AC"));
    c.saveState();
    c.intersectClipRect(Rect{10, 10, 300, 250});
    c.drawImage(10, 100, glyph(30, 17, QImage::Format_Mono, variant));
    c.stretchImage(Rect{50, 100, 110, 140}, glyph(9, 7, QImage::Format_Indexed8, variant));
    c.stretchImage(Rect{120, 100, 150, 130}, glyph(5, 4, QImage::Format_ARGB32, variant));
    c.setPen(CanvasPen{QColor(0, 0, 200), 1 + variant, static_cast<PenStyle>(variant % 7)});
    c.moveTo(5, 5);
    c.lineTo(390, 290);
    c.rectangle(Rect{200, 150, 260, 200});
    c.ellipse(Rect{270, 150, 330, 200});
    c.polygon(QPolygon({QPoint(10, 280), QPoint(60, 220), QPoint(110, 280)}));
    c.restoreState();
    c.polyline(QPolygon({QPoint(120, 280), QPoint(160, 220), QPoint(100000, 280)}));
}

void writeSeeds(const QString& dir)
{
    QDir().mkpath(dir);
    for (int v = 0; v < 6; ++v) {
        EmfRecorder rec(400, 300, v == 5 ? 120 : 96);
        seedPage(rec, v);
        QFile out(dir + QStringLiteral("/own_page_%1.emf").arg(v));
        if (out.open(QIODevice::WriteOnly))
            out.write(rec.finish());
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzzing::quietQt();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication* app = new QGuiApplication(*argc, *argv);
    (void)app;
    if (const char* dir = std::getenv("STELLARO_EMF_SEED_DIR"))
        writeSeeds(QString::fromLocal8Bit(dir));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::letQtTidyUp();
    try {
        validateEmf(data, size);
    } catch (const EmfError&) {
        return 0;
    }
    static QImage image(160, 120, QImage::Format_RGB32);
    image.fill(Qt::white);
    try {
        QPainter painter(&image);
        QPainterCanvas canvas(painter, 96);
        playEmf(data, size, canvas, Rect{5, 5, 155, 115});
    } catch (const EmfError&) {
    }
    EmfRecorder rec(150, 110);
    try {
        playEmf(data, size, rec, Rect{0, 0, 150, 110});
    } catch (const EmfTooComplex&) {
        // A page over budget stops part-way; what was recorded so far must still be sound.
    }
    try {
        validateEmf(rec.finish());  // our own output must always be valid
    } catch (const EmfError& e) {
        std::fprintf(stderr, "re-recorded metafile is not valid: %s\n", e.what());
        std::abort();
    }
    return 0;
}
