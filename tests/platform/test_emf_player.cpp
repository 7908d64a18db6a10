// The player reads what Windows programs write, skips what it does not know,
// and turns every damaged or hostile metafile into EmfError or a skipped
// record: never a crash, never a read outside the buffer (the test build runs
// under AddressSanitizer).
#include "platform/emf_player.h"
#include "platform/emf_writer.h"
#include "platform/emf_builder.h"
#include "support/paint_surface.h"
#include "support/test_support.h"
#include "tools/hostile_pages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>

using namespace platform;

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;

// Text record: "Hi" at (10, 10) with a Dx array; a font in each of the three record sizes.
std::vector<std::uint32_t> textRecord(std::uint32_t nChars, std::uint32_t offString, std::uint32_t offDx)
{
    std::vector<std::uint32_t> r{84, 0, 0, 0, 0, 0, 1, f32(1), f32(1), 10, 10, nChars, offString, 0,
                                 0, 0, 100, 40, offDx, 'H' | ('i' << 16), 12, 12};
    r[1] = static_cast<std::uint32_t>(r.size() * 4);
    return r;
}

std::vector<std::uint32_t> fontRecord(std::uint32_t size, std::int32_t height)
{
    std::vector<std::uint32_t> r(size / 4, 0);
    r[0] = 82;
    r[1] = size;
    r[2] = 1;
    r[3] = static_cast<std::uint32_t>(height);
    r[7] = 700;
    const char16_t face[] = u"Arial";
    std::memcpy(&r[10], face, sizeof face);
    return r;
}

TEST(EmfPlayerRecords, TextPlaysWithEveryFontRecordSize)
{
    for (std::uint32_t size : {104u, 332u, 368u}) {
        for (std::int32_t height : {-30, 34}) {
            EmfBuilder b;
            b.raw(fontRecord(size, height)).rec(37, {1}).rec(18, {1}).raw(textRecord(2, 76, 80));
            const QRect ink = play(b)->inkBox();
            EXPECT_GT(ink.height(), 15) << size << " " << height;
            // Dx puts "i" 12 pixels after "H": nothing beyond about x = 10 + 12 + 10.
            EXPECT_LT(ink.right(), 36) << size << " " << height;
        }
    }
}

// With ETO_PDY the Dx array holds a (dx, dy) pair a character: "i" rises by
// the dy of "H"'s pair. An array too short for pairs is not used at all.
TEST(EmfPlayerRecords, TextWithVerticalAdvancesRisesCharacterByCharacter)
{
    const auto ink = [](std::uint32_t rise, bool pairsFit) {
        std::vector<std::uint32_t> text = textRecord(2, 76, 80);
        text[13] = 0x2000;
        text[21] = rise;
        if (pairsFit)
            text.insert(text.end(), {12, 0});
        text[1] = static_cast<std::uint32_t>(4 * text.size());
        EmfBuilder b;
        b.raw(fontRecord(104, -30)).rec(37, {1}).rec(18, {1}).raw(text);
        return play(b)->inkBox();
    };
    const QRect level = ink(0, true), risen = ink(10, true), unpaired = ink(10, false);
    EXPECT_NEAR(risen.top(), level.top() - 10, 2);
    EXPECT_EQ(risen.bottom(), level.bottom());
    EXPECT_EQ(unpaired.top(), level.top());
    EXPECT_GT(unpaired.right(), level.right()) << "without Dx, \"i\" follows at the font's advance, not 12";
}

TEST(EmfPlayerRecords, UnknownRecordsAndCommentsAreSkipped)
{
    EmfBuilder plain;
    plain.rec(39, {1, 0, 0, 0}).rec(37, {1})
        .rec(76, {0, 0, 0, 0, 5, 5, 50, 50, 0x00F00021, 0, 0, f32(1), 0, 0, f32(1), 0, 0, 0, 0, 0, 0, 0, 0});
    EmfBuilder noisy;
    noisy.rec(0x7777, {1, 2, 3})
        .rec(70, {8, 0x2B464D45, 0xFFFFFFFF})  // a comment claiming odd things
        .rec(39, {1, 0, 0, 0})
        .rec(250, {})
        .rec(37, {1})
        .rec(43, {1})  // RECTANGLE shorter than its fixed part: skipped
        .rec(76, {0, 0, 0, 0, 5, 5, 50, 50, 0x00F00021, 0, 0, f32(1), 0, 0, f32(1), 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(play(plain)->done(), play(noisy)->done());
    EXPECT_EQ(play(noisy)->at(20, 20), 0xFF000000);
}

// EMF+ records draw a page that has nothing else; a dual page is drawn by its
// GDI records alone, and an EMF+-only page's GDI records play only after GetDC.
TEST(EmfPlayerRecords, EmfPlusRecordsDrawOnlyWhereTheGdiRecordsDoNot)
{
    const auto header = [](std::uint16_t dual) { return plusRecord(0x4001, dual, {0xDBC01002, 1, 96, 96}); };
    // A 5 x 5 rectangle at (x, y), in a colour (0x8000) or with a brush object.
    const auto fill = [](std::uint16_t flags, std::uint32_t brush, float x, float y) {
        return plusRecord(0x400A, flags, {brush, 1, f32(x), f32(y), f32(5), f32(5)});
    };
    constexpr QRgb kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlack = 0xFF000000;
    const std::vector<std::uint32_t> black{37, 12, 0x80000004};
    const std::vector<std::uint32_t> gdiFill{76, 100, 0, 0, 0, 0, 10, 10, 5, 5, 0x00F00021, 0, 0,
                                             f32(1), 0, 0, f32(1), 0, 0, 0, 0, 0, 0, 0, 0};
    struct Case { const char* what; std::vector<std::vector<std::uint32_t>> records; QPoint at; QRgb color; };
    const Case cases[] = {
        {"colour in the record", {plusComment({header(0), fill(0x8000, kRed, 10, 10)})}, {12, 12}, kRed},
        {"brush object, moved", {plusComment({header(0), plusRecord(0x4008, 0x0103, {0xDBC01002, 0, kGreen}),
                                              plusRecord(0x402D, 0, {f32(40), 0}), fill(0, 3, 10, 10)})}, {52, 12}, kGreen},
        // 2 mm units: 10 to 20 mm, 38 to 76 pixels.
        {"page in millimetres", {plusComment({header(0), plusRecord(0x4030, 6, {f32(2)}), fill(0x8000, kRed, 5, 5)})}, {40, 40}, kRed},
        // Scaled after the move: 2 (x + 10), not 2 x + 10.
        {"transform appended", {plusComment({header(0), plusRecord(0x402D, 0, {f32(10), 0}),
                                             plusRecord(0x402E, 0x2000, {f32(2), f32(2)}), fill(0x8000, kRed, 20, 20)})}, {67, 45}, kRed},
        {"dual page", {plusComment({header(1), fill(0x8000, kRed, 10, 10)})}, {12, 12}, kWhite},
        {"EMF+ only: GDI left out", {plusComment({header(0)}), black, gdiFill}, {12, 12}, kWhite},
        {"EMF+ only: GDI after GetDC", {plusComment({header(0), plusRecord(0x4004, 0, {})}), black, gdiFill}, {12, 12}, kBlack},
    };
    for (const Case& c : cases) {
        EmfBuilder b;
        for (const auto& r : c.records)
            b.raw(r);
        EXPECT_EQ(play(b)->at(c.at.x(), c.at.y()), c.color) << c.what;
    }
}

// A damaged buffer is refused whole, with the reason; bytes after the metafile
// (in a report file, the page's offset follows it) are not part of it.
TEST(EmfPlayerDamage, DamagedBuffersAreRejectedAndTrailingBytesIgnored)
{
    EmfRecorder rec(50, 50);
    rec.setBrushColor(QColor(0, 0, 0));
    rec.fillRect(Rect{0, 0, 10, 10});
    const QByteArray good = rec.finish();
    EXPECT_EQ(validateEmf(good + QByteArray("\x74\x01\x00\x00", 4)).nBytes, static_cast<std::uint32_t>(good.size()));

    struct Case { const char* what; std::function<QByteArray()> make; const char* why = ""; };
    auto patched = [&](qsizetype at, std::uint32_t v) {
        QByteArray b = good;
        std::memcpy(b.data() + at, &v, 4);
        return b;
    };
    const qsizetype firstRecord = 108;
    const Case cases[] = {
        {"empty", [] { return QByteArray(); }},
        {"shorter than a header", [&] { return good.left(60); }},
        {"cut inside the records", [&] { return good.left(good.size() - 24); }},
        {"cut before EOF's end", [&] { return good.left(good.size() - 4); }},
        {"wrong record type", [&] { return patched(0, 2); }},
        {"no signature", [&] { return patched(40, 0x464D4521); }},
        {"nBytes past the buffer", [&] { return patched(48, static_cast<std::uint32_t>(good.size() + 4)); }},
        {"nBytes not a multiple of 4", [&] { return patched(48, static_cast<std::uint32_t>(good.size() - 2)); }},
        {"header size too small", [&] { return patched(4, 84); }},
        {"header size odd", [&] { return patched(4, 110); }},
        {"no device size", [&] { return patched(72, 0); }},
        {"no millimetre size", [&] { return patched(84, 0); }},
        {"empty frame", [&] { return patched(32, static_cast<std::uint32_t>(-5)); }},
        {"description outside the header", [&] { QByteArray b = patched(60, 10); std::uint32_t off = 100; std::memcpy(b.data() + 64, &off, 4); return b; }},
        {"record size zero", [&] { return patched(firstRecord + 4, 0); }},
        {"record size odd", [&] { return patched(firstRecord + 4, 13); }},
        {"record size past the end", [&] { return patched(firstRecord + 4, 0x7FFFFFF0); }},
        {"EOF record missing", [&] { QByteArray b = patched(good.size() - 20, 0x7777); return b; }},
        {"EOF early", [] { return hostile::earlyEof(); }, "its end-of-file record ends at byte 164, not at byte 4260"},
        {"records miscounted", [] { return hostile::wrongRecordCount(); }, "its header counts 7 records, but it holds 3"},
    };
    const QImage blank = Surface(20, 20).done();
    for (const Case& c : cases) {
        const QByteArray bad = c.make();
        const std::string checked = testsupport::errorOf<EmfError>([&] { validateEmf(bad); });
        EXPECT_NE(checked.find(c.why), std::string::npos) << c.what << ": " << checked;
        Surface s(20, 20);
        s.canvas.saveState();
        const std::string error = testsupport::errorOf<EmfError>([&] { playEmf(bad, s.canvas, Rect{0, 0, 20, 20}); });
        EXPECT_TRUE(checked.starts_with("Metafile is not valid: ")) << c.what << ": " << checked;
        EXPECT_TRUE(error.starts_with("Metafile is not valid: ")) << c.what << ": " << error;
        EXPECT_EQ(s.canvas.savedStateDepth(), 1) << c.what;
        EXPECT_EQ(s.done(), blank) << c.what << ": a damaged file draws nothing";
    }
}

TEST(EmfPlayerDamage, HostileFieldsInsideRecordsAreSkipped)
{
    EmfBuilder b;
    b.raw(fontRecord(104, -20))
        .rec(37, {1})
        .raw(textRecord(0x40000001, 76, 80))          // count wraps a 32-bit check
        .raw(textRecord(2, 0xFFFFFFF0, 80))           // string outside the record
        .raw(textRecord(2, 76, 0xFFFFFFFC))           // Dx outside: plays with the font's advances
        .rec(82, {0xFFFF, 0})                         // font record cut short
        .rec(37, {0x7FFFFFFF})                        // handle beyond the table
        .rec(37, {0x80000063})                        // stock index out of range
        .rec(40, {0})                                 // slot 0 is reserved
        .rec(39, {60000, 0, 0, 0})                    // slot beyond nHandles
        // A 1-bit bitmap claiming 65536 x 65536 pixels in a tiny record.
        .rec(81, {0, 0, 10, 10, 0, 0, 0, 0, 10, 10, 80, 48, 128, 8, 0, 0x00CC0020, 10, 10,
                  40, 65536, 65536, 1 | (1 << 16), 0, 0, 0, 0, 0, 0, 0, 0xFFFFFF, 0, 0})
        // Offsets that only overflow in 32 bits.
        .rec(81, {0, 0, 10, 10, 0, 0, 0, 0, 10, 10, 0xFFFFFFF0, 48, 0x20, 0xFFFFFFF0, 0, 0x00CC0020, 10, 10})
        .rec(36, {f32(NAN), 0, 0, f32(1), 0, 0, 4})   // NaN transform ignored
        .rec(35, {0, 0, 0, 0, 0, 0});                 // singular transform ignored
    for (int i = 0; i < 400; ++i)
        b.rec(33, {});                                // deeper than the save cap
    b.rec(34, {static_cast<std::uint32_t>(-300)});
    b.rec(91, {0, 0, 0, 0, 0x40000000, 0x40000000, 1});  // poly-polygon counts beyond the record
    // EMF+ rectangles whose count wraps a 32-bit check, and text longer than its record.
    b.raw(plusComment({plusRecord(0x4001, 0, {0, 1, 96, 96}), plusRecord(0x400A, 0x8000, {0, 0x10000001, 0, 0, 0, 0}),
                       plusRecord(0x4008, 0x0600, {0, f32(12), 2, 0, 0, 0}), plusRecord(0x401C, 0x8000, {0, 0, 3, 0, 0, 0, 0})}));
    b.header()[14] = 1; // nHandles 1: slot 1 does not exist either
    Surface s(50, 50);
    EXPECT_NO_THROW(playEmf(b.bytes(), s.canvas, Rect{0, 0, 50, 50}));
    EXPECT_EQ(s.canvas.savedStateDepth(), 0);

    // A world transform multiplied up until it overflows to infinity and NaN:
    // pen widths, font heights and coordinates must still come out as numbers.
    EmfBuilder huge;
    huge.rec(38, {1, 0, 5, 0, 0}).rec(37, {1}).raw(fontRecord(104, -20)).rec(37, {1});
    for (int i = 0; i < 80; ++i)
        huge.rec(36, {f32(1e5f), 0, 0, f32(1e5f), f32(3), 0, 2});
    huge.rec(54, {10, 10}).raw(textRecord(2, 76, 80)).rec(43, {0, 0, 5, 5});
    EXPECT_NO_THROW(playEmf(huge.bytes(), s.canvas, Rect{0, 0, 50, 50}));
}

// Every real-world sample is either rejected with EmfError by the validator or
// plays within the budgets and records again as a valid page; what Windows' own
// recorder writes (GDI files and print-spool pages) is never rejected. The
// sanitizers watch for anything worse.
TEST(EmfPlayerSamples, EveryRealWorldFilePlaysOrIsRejected)
{
    const std::filesystem::path dir = testsupport::emfSamplesDir();
    if (dir.empty())
        GTEST_SKIP() << "../shared/emf-samples is not present";
    int played = 0, windowsMade = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        if (!entry.is_regular_file() || entry.path().extension() == ".md")
            continue;
        const std::vector<unsigned char> bytes = testsupport::readFileBytes(entry.path());
        const std::string rel = entry.path().lexically_relative(dir).string();
        const bool fromWindows = rel.rfind("windows/", 0) == 0 || rel.rfind("spool/", 0) == 0;
        bool valid = true;
        try {
            validateEmf(bytes.data(), bytes.size());
        } catch (const EmfError& e) {
            valid = false;
            EXPECT_FALSE(fromWindows) << rel << ": " << e.what();
        }
        Surface s(300, 300);
        try {
            playEmf(bytes.data(), bytes.size(), s.canvas, Rect{0, 0, 300, 300});
            EmfRecorder rec(300, 300);
            playEmf(bytes.data(), bytes.size(), rec, Rect{0, 0, 300, 300});
            EXPECT_NO_THROW(validateEmf(rec.finish())) << rel;
        } catch (const EmfError& e) {
            EXPECT_FALSE(valid) << rel << ": accepted, but not played: " << e.what();
        }
        EXPECT_EQ(s.canvas.savedStateDepth(), 0) << rel;
        played += valid;
        windowsMade += valid && fromWindows;
    }
    EXPECT_GT(played, 200);
    EXPECT_GT(windowsMade, 20);
}

} // namespace
