// The recorder's bytes must be a well-formed EMF that other readers accept:
// header totals, frame and device sizes, text with a Dx array, bitmaps as
// STRETCHDIBITS, and object slots reused only after their objects are deleted.
#include "platform/emf_player.h"
#include "platform/emf_writer.h"
#include "support/emf_page.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

using namespace platform;

namespace {

using emfpage::u32;

// The 32-bit fields at these offsets from `base`, each with the value it must hold.
using Fields = std::vector<std::pair<qsizetype, std::int64_t>>;
void expectFields(const QByteArray& emf, qsizetype base, const Fields& fields)
{
    for (const auto& [at, value] : fields)
        EXPECT_EQ(u32(emf, base + at), static_cast<std::uint32_t>(value)) << "field at +" << at;
}

struct Record {
    std::uint32_t type;
    qsizetype offset;
    std::uint32_t size;
};

std::vector<Record> records(const QByteArray& emf)
{
    std::vector<Record> out;
    qsizetype pos = 0;
    while (pos + 8 <= emf.size()) {
        const Record r{u32(emf, pos), pos, u32(emf, pos + 4)};
        out.push_back(r);
        if (r.size < 8 || r.type == 14)
            break;
        pos += r.size;
    }
    return out;
}

Record firstOfType(const QByteArray& emf, std::uint32_t type)
{
    for (const Record& r : records(emf))
        if (r.type == type)
            return r;
    ADD_FAILURE() << "no record of type " << type;
    return {0, 0, 0};
}

TEST(EmfWriterHeader, FieldsDescribeThePageAndTheWholeFile)
{
    struct Case { int w, h, ppi; std::int32_t frameRight, frameBottom, deviceW, deviceH; };
    // Frame: size in 0.01 mm, inclusive: 1090 px at 96/in = 28839.58 -> 28840 -> right 28839.
    for (const Case c : {Case{1090, 762, 96, 28839, 20160, 1920, 1440}, Case{96, 96, 96, 2539, 2539, 1920, 1440},
                         Case{600, 300, 120, 12699, 6349, 2400, 1800}}) {
        EmfRecorder rec(c.w, c.h, c.ppi);
        rec.setBrushColor(QColor(10, 20, 30));
        rec.fillRect(Rect{10, 20, 30, 40});
        const QByteArray emf = rec.finish();
        const std::vector<Record> recs = records(emf);
        ASSERT_GE(recs.size(), 3u);
        // Type, size, signature, version, file bytes, record count; bounds of what was
        // drawn (inclusive), frame, device pixels and millimetres, micrometres.
        expectFields(emf, 0, {{0, 1}, {4, 108}, {40, 0x464D4520}, {44, 0x00010000}, {48, emf.size()},
                              {52, qsizetype(recs.size())}, {8, 10}, {12, 20}, {16, 29}, {20, 39}, {24, 0},
                              {32, c.frameRight}, {36, c.frameBottom}, {72, c.deviceW}, {76, c.deviceH},
                              {80, 508}, {84, 381}, {100, 508000}});
        EXPECT_EQ(std::tuple(recs.back().type, recs.back().size, recs.back().offset + 20),
                  std::tuple(14u, 20u, emf.size()));
        EXPECT_EQ(emfFrameSizeInPixels(validateEmf(emf), c.ppi), QSize(c.w, c.h));
    }
}

TEST(EmfWriterRecords, TextIsExtTextOutWWithTheAdvancesAsDx)
{
    EmfRecorder rec(400, 100);
    CanvasFont f;
    f.face = QStringLiteral("Times New Roman");
    f.height = 19;
    f.bold = f.italic = true;
    rec.setFont(f);
    const QString text = QStringLiteral("Aries");
    const std::vector<int> adv = rec.textAdvances(text);
    rec.textOut(200, 30, Rect{150, 30, 250, 49}, TextOpaque | TextClipped, text);
    rec.textOut(200, 60, Rect{150, 60, 250, 79}, TextOpaque | TextClipped, QStringLiteral("Taurus"));
    const QByteArray emf = rec.finish();

    // Face, height, style, alignment, reference point, string, options and clip box are read
    // back from report pages by the band and page tests; the sizes and the Dx array only here.
    EXPECT_EQ(firstOfType(emf, 82).size, 104u);
    const Record t = firstOfType(emf, 84);
    EXPECT_EQ(t.size, 76u + 12 + 20);
    expectFields(emf, t.offset, {{72, 88}});
    for (size_t i = 0; i < adv.size(); ++i)
        EXPECT_EQ(u32(emf, t.offset + 88 + 4 * qsizetype(i)), std::uint32_t(adv[i]));

    // Every text comes straight after a save and a restore of the device
    // context: without them Inkscape joins the two lines into one paragraph.
    const std::vector<Record> all = records(emf);
    int texts = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i].type != 84)
            continue;
        ++texts;
        ASSERT_GE(i, 2u);
        EXPECT_EQ(all[i - 2].type, 33u);
        EXPECT_EQ(all[i - 1].type, 34u);
    }
    EXPECT_EQ(texts, 2);
}

TEST(EmfWriterRecords, OneBitBitmapIsStretchDIBitsBottomUp)
{
    QImage img(20, 3, QImage::Format_Mono);
    img.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    img.fill(0);
    img.setPixel(0, 2, 1);  // bottom row, leftmost pixel
    EmfRecorder rec(100, 100);
    rec.drawImage(5, 6, img);
    const QByteArray emf = rec.finish();
    const qsizetype o = firstOfType(emf, 81).offset;
    // Destination, source size, header and bits offsets and sizes (rows of 4 bytes),
    // SRCCOPY, destination size; in the bitmap header a positive height (bottom-up),
    // and colour 1 black.
    expectFields(emf, o, {{24, 5}, {28, 6}, {40, 20}, {44, 3}, {48, 80}, {52, 48}, {56, 128}, {60, 12},
                          {68, 0x00CC0020}, {72, 20}, {76, 3}, {80 + 8, 3}, {80 + 44, 0}});
    EXPECT_EQ(u32(emf, o + 80 + 14) & 0xFFFF, 1u) << "bit count";
    EXPECT_EQ(static_cast<unsigned char>(emf.at(o + 128)), 0x80) << "first stored row is the bottom row";
    EXPECT_EQ(static_cast<unsigned char>(emf.at(o + 132)), 0x00);

    // Whatever QImage leaves after a row's last pixel stays out of the file: the
    // same picture always gives the same bytes.
    for (const auto& [format, bytes] : {std::pair{QImage::Format_Mono, 3}, {QImage::Format_RGB888, 60}}) {
        QImage dirty(20, 3, format);
        if (format == QImage::Format_Mono)
            dirty.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
        for (int y = 0; y < 3; ++y)
            std::memset(dirty.scanLine(y), 0xFF, static_cast<size_t>(dirty.bytesPerLine()));
        EmfRecorder r(100, 100);
        r.drawImage(0, 0, dirty);
        const QByteArray page = r.finish();
        const Record bits = firstOfType(page, 81);
        const qsizetype start = bits.offset + static_cast<qsizetype>(u32(page, bits.offset + 56));
        const qsizetype stride = static_cast<qsizetype>(u32(page, bits.offset + 60)) / 3;
        for (int row = 0; row < 3; ++row) {
            const QByteArray stored = page.mid(start + row * stride, stride);
            EXPECT_EQ(stored.count('\0'), stride - bytes) << format;
            if (format == QImage::Format_Mono) {
                EXPECT_EQ(static_cast<unsigned char>(stored.at(2)), 0xF0) << "bits after pixel 20";
            }
        }
    }
}

// Replays the object records and checks GDI's rules: a slot is created only
// when free, deleted only when it holds an object, and every slot is below nHandles.
TEST(EmfWriterRecords, ReplacedObjectsAreDeletedAndSlotsStaySmall)
{
    EmfRecorder rec(300, 300);
    for (int i = 0; i < 40; ++i) {
        CanvasFont f;
        f.height = 10 + i;
        rec.setFont(f);
        rec.setBrushColor(QColor(i, 0, 0));
        rec.setPen(CanvasPen{QColor(0, i, 0), 1 + i % 3, PenStyle::Solid});
        if (i % 10 == 3)
            rec.saveState();
        rec.textOut(10, 10, Rect{}, 0, QStringLiteral("x"));
        rec.fillRect(Rect{0, 0, 5, 5});
        rec.moveTo(0, i);
        rec.lineTo(50, i);
        if (i % 10 == 7)
            rec.restoreState();
    }
    const QByteArray emf = rec.finish();
    const std::uint32_t nHandles = u32(emf, 56) & 0xFFFF;
    std::set<std::uint32_t> live;
    int creates = 0, deletes = 0;
    for (const Record& r : records(emf)) {
        const std::uint32_t ih = r.size >= 12 ? u32(emf, r.offset + 8) : 0;
        if (r.type == 38 || r.type == 39 || r.type == 82) {
            ++creates;
            EXPECT_GE(ih, 1u);
            EXPECT_LT(ih, nHandles);
            EXPECT_TRUE(live.insert(ih).second) << "slot " << ih << " reused while alive";
        } else if (r.type == 40) {
            ++deletes;
            EXPECT_EQ(live.erase(ih), 1u) << "deleting empty slot " << ih;
        } else if (r.type == 37 && !(ih & 0x80000000u)) {
            EXPECT_TRUE(live.count(ih)) << "selecting empty slot " << ih;
        }
    }
    EXPECT_GE(creates, 100);
    EXPECT_LE(live.size(), 3u) << "only the selected font, pen and brush stay";
    EXPECT_EQ(creates - deletes, static_cast<int>(live.size()));
    EXPECT_LE(nHandles, 12u);
}

// Nothing drawn: empty bounds, and a second finish() gives nothing. Save and
// restore are recorded in balance, with nothing drawn either.
TEST(EmfWriterRecords, EmptyPagesHaveEmptyBoundsAndSaveAndRestoreAreBalanced)
{
    EmfRecorder empty(100, 50);
    const QByteArray blank = empty.finish();
    expectFields(blank, 0, {{8, 0}, {16, -1}, {20, -1}});
    EXPECT_EQ(blank.size(), 108 + 20);
    EXPECT_GE(u32(blank, 56) & 0xFFFF, 1u);
    EXPECT_TRUE(empty.finish().isEmpty());

    EmfRecorder rec(100, 100);
    rec.saveState();
    rec.intersectClipRect(Rect{0, 0, 50, 50});
    rec.restoreState();
    rec.restoreState();  // nothing saved: not recorded
    const QByteArray emf = rec.finish();
    std::vector<std::uint32_t> types;
    for (const Record& r : records(emf))
        types.push_back(r.type);
    EXPECT_EQ(types, (std::vector<std::uint32_t>{1, 33, 30, 34, 14}));
    expectFields(emf, records(emf)[3].offset, {{8, -1}});
}

} // namespace
