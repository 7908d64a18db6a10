// The recorder's bytes must be a well-formed EMF that other readers accept:
// header totals, frame and device sizes, text with a Dx array, bitmaps as
// STRETCHDIBITS, and object slots reused only after their objects are deleted.
#include "platform/emf_player.h"
#include "platform/emf_writer.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace platform;

namespace {

std::uint32_t u32(const QByteArray& b, qsizetype at)
{
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData()) + at;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}
std::int32_t i32(const QByteArray& b, qsizetype at) { return static_cast<std::int32_t>(u32(b, at)); }

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
        EXPECT_EQ(u32(emf, 0), 1u);
        EXPECT_EQ(u32(emf, 4), 108u);
        EXPECT_EQ(u32(emf, 40), 0x464D4520u);
        EXPECT_EQ(u32(emf, 44), 0x00010000u);
        EXPECT_EQ(u32(emf, 48), static_cast<std::uint32_t>(emf.size()));
        EXPECT_EQ(u32(emf, 52), recs.size());
        EXPECT_EQ(recs.back().type, 14u);
        EXPECT_EQ(recs.back().size, 20u);
        EXPECT_EQ(recs.back().offset + 20, emf.size());
        // Bounds: what was drawn, inclusive.
        EXPECT_EQ(i32(emf, 8), 10);
        EXPECT_EQ(i32(emf, 12), 20);
        EXPECT_EQ(i32(emf, 16), 29);
        EXPECT_EQ(i32(emf, 20), 39);
        EXPECT_EQ(i32(emf, 24), 0);
        EXPECT_EQ(i32(emf, 32), c.frameRight);
        EXPECT_EQ(i32(emf, 36), c.frameBottom);
        EXPECT_EQ(i32(emf, 72), c.deviceW);
        EXPECT_EQ(i32(emf, 76), c.deviceH);
        EXPECT_EQ(i32(emf, 80), 508);
        EXPECT_EQ(i32(emf, 84), 381);
        EXPECT_EQ(i32(emf, 100), 508000);
        const EmfHeader h = validateEmf(emf);
        EXPECT_EQ(emfFrameSizeInPixels(h, c.ppi), QSize(c.w, c.h));
    }
}

TEST(EmfWriterHeader, EmptyPageHasEmptyBoundsAndFinishIsOnce)
{
    EmfRecorder rec(100, 50);
    const QByteArray emf = rec.finish();
    EXPECT_EQ(i32(emf, 8), 0);
    EXPECT_EQ(i32(emf, 16), -1);
    EXPECT_EQ(i32(emf, 20), -1);
    EXPECT_EQ(emf.size(), 108 + 20);
    EXPECT_GE(u32(emf, 56) & 0xFFFF, 1u);
    EXPECT_TRUE(rec.finish().isEmpty());
}

TEST(EmfWriterRecords, TextIsExtTextOutWWithTheAdvancesAsDx)
{
    EmfRecorder rec(400, 100);
    CanvasFont f;
    f.face = QStringLiteral("Times New Roman");
    f.height = 19;
    f.bold = true;
    f.italic = true;
    rec.setFont(f);
    rec.setTextAlign(TextAlign{HAlign::Center, VAlign::Top});
    const QString text = QStringLiteral("Aries");
    const std::vector<int> adv = rec.textAdvances(text);
    rec.textOut(200, 30, Rect{150, 30, 250, 49}, TextOpaque | TextClipped, text);
    const QByteArray emf = rec.finish();

    bool sawFont = false, sawAlign = false, sawText = false;
    for (const Record& r : records(emf)) {
        if (r.type == 82) {
            sawFont = true;
            EXPECT_EQ(r.size, 104u);
            EXPECT_EQ(i32(emf, r.offset + 12), -19) << "character height is negative";
            EXPECT_EQ(i32(emf, r.offset + 28), 700);
            EXPECT_EQ(emf.at(r.offset + 32), 1);
            EXPECT_EQ(QString::fromUtf16(reinterpret_cast<const char16_t*>(emf.constData() + r.offset + 40)),
                      QStringLiteral("Times New Roman"));
        } else if (r.type == 22) {
            sawAlign = true;
            EXPECT_EQ(u32(emf, r.offset + 8), 6u);
        } else if (r.type == 84) {
            sawText = true;
            const qsizetype o = r.offset;
            EXPECT_EQ(i32(emf, o + 36), 200);
            EXPECT_EQ(i32(emf, o + 40), 30);
            EXPECT_EQ(u32(emf, o + 44), 5u);
            EXPECT_EQ(u32(emf, o + 48), 76u);
            EXPECT_EQ(u32(emf, o + 52), 6u);
            EXPECT_EQ(i32(emf, o + 56), 150);
            EXPECT_EQ(i32(emf, o + 64), 250);
            EXPECT_EQ(u32(emf, o + 72), 76u + 12);
            EXPECT_EQ(QString::fromUtf16(reinterpret_cast<const char16_t*>(emf.constData() + o + 76), 5), text);
            for (size_t i = 0; i < adv.size(); ++i)
                EXPECT_EQ(i32(emf, o + 88 + 4 * static_cast<qsizetype>(i)), adv[i]);
            EXPECT_EQ(r.size, 76u + 12 + 20);
        }
    }
    EXPECT_TRUE(sawFont && sawAlign && sawText);
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
    const std::vector<Record> recs = records(emf);
    const auto it = std::find_if(recs.begin(), recs.end(), [](const Record& r) { return r.type == 81; });
    ASSERT_NE(it, recs.end());
    const qsizetype o = it->offset;
    EXPECT_EQ(i32(emf, o + 24), 5);
    EXPECT_EQ(i32(emf, o + 28), 6);
    EXPECT_EQ(i32(emf, o + 40), 20);
    EXPECT_EQ(i32(emf, o + 44), 3);
    EXPECT_EQ(u32(emf, o + 48), 80u);
    EXPECT_EQ(u32(emf, o + 52), 48u);
    EXPECT_EQ(u32(emf, o + 56), 128u);
    EXPECT_EQ(u32(emf, o + 60), 12u) << "rows of 4 bytes";
    EXPECT_EQ(u32(emf, o + 68), 0x00CC0020u);
    EXPECT_EQ(i32(emf, o + 72), 20);
    EXPECT_EQ(i32(emf, o + 76), 3);
    EXPECT_EQ(u32(emf, o + 80 + 14) & 0xFFFF, 1u) << "bit count";
    EXPECT_EQ(i32(emf, o + 80 + 8), 3) << "positive height: bottom-up";
    EXPECT_EQ(static_cast<unsigned char>(emf.at(o + 128)), 0x80) << "first stored row is the bottom row";
    EXPECT_EQ(static_cast<unsigned char>(emf.at(o + 132)), 0x00);
    EXPECT_EQ(u32(emf, o + 80 + 44), 0x00000000u) << "colour 1 is black";
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

TEST(EmfWriterRecords, SaveAndRestoreAreRecordedAndBalanced)
{
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
    EXPECT_EQ(i32(emf, records(emf)[3].offset + 8), -1);
}

} // namespace
