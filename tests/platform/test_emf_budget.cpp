// Hostile pages cost bounded work: the work is counted where it lands, on the
// canvas, never timed. (Damaged pages and real-world samples: test_emf_player.cpp.)
#include "platform/emf_player.h"
#include "support/paint_surface.h"
#include "tools/hostile_pages.h"

#include <gtest/gtest.h>

#include <QSet>

using namespace platform;

namespace {

// Counts what reaches it and draws nothing.
class CountingCanvas final : public Canvas {
public:
    std::uint64_t operations = 0, points = 0, characters = 0, filled = 0;
    QSet<QString> faces;

    void fillRect(const Rect& r) override { ++operations, fill(r.toQRect()); }
    void rectangle(const Rect& r) override { ++operations, fill(r.toQRect()); }
    void ellipse(const Rect& r) override { ++operations, fill(r.toQRect()); }
    void polyline(const QPolygon& p) override { ++operations, points += p.size(); }
    void polygon(const QPolygon& p) override { ++operations, points += p.size(), fill(p.boundingRect()); }
    void textOut(int, int, const Rect&, unsigned, const QString& text, const std::vector<int>*) override
    {
        ++operations, characters += text.size();
        faces.insert(font().face);
    }
    int textWidth(const QString& text) override { return 8 * static_cast<int>(text.size()); }
    std::vector<int> textAdvances(const QString& text) override { return std::vector<int>(text.size(), 8); }
    void drawImage(int, int, const QImage&) override { ++operations; }
    void stretchImage(const Rect&, const QImage&) override { ++operations; }
    int pixelsPerInch() const override { return 96; }

protected:
    void onLineTo(QPoint, QPoint) override { ++operations, points += 2; }
    void onIntersectClip(const Rect&) override {}
    void onSaveState() override {}
    void onRestoreState() override {}

private:
    void fill(const QRect& r)
    {
        const QRect in = r.intersected(QRect(0, 0, hostile::kPageWidth, hostile::kPageHeight));
        filled += std::uint64_t(in.width()) * std::uint64_t(in.height());
    }
};

const Rect kPage{0, 0, hostile::kPageWidth, hostile::kPageHeight};

enum class Outcome { Plays, TooComplex };

Outcome play(const QByteArray& emf, CountingCanvas& canvas)
{
    try {
        const EmfWork work = playEmf(emf, canvas, kPage);
        EXPECT_EQ(work.operations, canvas.operations);
        return Outcome::Plays;
    } catch (const EmfTooComplex& e) {
        EXPECT_STREQ(e.what(), "The page is too complex to draw");
        return Outcome::TooComplex;
    }
}

TEST(EmfBudget, EveryHostilePageStopsWithinItsBudget)
{
    for (const hostile::Case& c : hostile::pageCases()) {
        CountingCanvas canvas;
        EXPECT_EQ(play(c.make(), canvas), Outcome::TooComplex) << c.name;
        EXPECT_LE(canvas.operations, EmfBudget::maxOperations) << c.name;
        EXPECT_LE(canvas.points, EmfBudget::maxPoints) << c.name;
        EXPECT_LE(canvas.characters, EmfBudget::maxGlyphs) << c.name;
        EXPECT_LE(canvas.filled, EmfBudget::pixelsFor(kPage.width() * kPage.height())) << c.name;
        EXPECT_LE(canvas.faces.size(), 1) << c.name;
        EXPECT_EQ(canvas.savedStateDepth(), 0) << c.name;
    }
}

// Each budget lets a page use all of it, and refuses the first unit beyond,
// before drawing any of the record that would go over.
TEST(EmfBudget, APageMayUseTheWholeBudgetButNotOneUnitMore)
{
    constexpr int kOps = static_cast<int>(EmfBudget::maxOperations);
    constexpr int kCurves = static_cast<int>((EmfBudget::maxPoints - 1) / 16);
    constexpr std::uint64_t kArea = std::uint64_t(hostile::kPageWidth) * hostile::kPageHeight;
    const std::uint64_t kFills = EmfBudget::pixelsFor(kArea) / kArea;
    struct Case {
        const char* name;
        QByteArray emf;
        Outcome outcome;
        std::uint64_t operations, points, characters;
    };
    const Case cases[] = {
        {"triangles at the budget", hostile::triangles(1, kOps), Outcome::Plays, kOps, 3ull * kOps, 0},
        {"one triangle more", hostile::triangles(1, kOps + 1), Outcome::TooComplex, 0, 0, 0},
        {"a second record over", hostile::triangles(2, kOps / 2 + 1), Outcome::TooComplex, kOps / 2 + 1, 3ull * (kOps / 2 + 1), 0},
        {"curves at the budget", hostile::bezier(1 + 3 * kCurves), Outcome::Plays, 1, 1 + 16ull * kCurves, 0},
        {"one curve more", hostile::bezier(1 + 3 * (kCurves + 1)), Outcome::TooComplex, 0, 0, 0},
        {"small text at the budget", hostile::text(4, EmfBudget::maxGlyphs / 4, -8, QChar(u'x')), Outcome::Plays, 4, 0, EmfBudget::maxGlyphs},
        {"one record more", hostile::text(5, EmfBudget::maxGlyphs / 4, -8, QChar(u'x')), Outcome::TooComplex, 4, 0, EmfBudget::maxGlyphs},
        // A glyph taller than the page costs a page fill.
        {"page-high glyphs at the budget", hostile::text(1, int(kFills), -4000, QChar(u'W'), 0), Outcome::Plays, 1, 0, kFills},
        {"one page-high glyph more", hostile::text(1, int(kFills) + 1, -4000, QChar(u'W'), 0), Outcome::TooComplex, 0, 0, 0},
        // Letters pay where they can show: a row running far off the page is
        // cheap, the same letters drawn on one spot are not.
        {"a row of tall letters off the page", hostile::text(1, 60'000, -100, QChar(u'x'), 100), Outcome::Plays, 1, 0, 60'000},
        {"those letters on one spot", hostile::text(1, 60'000, -100, QChar(u'x'), 0), Outcome::TooComplex, 0, 0, 0},
        {"page fills at the budget", hostile::fills(int(kFills)), Outcome::Plays, kFills, 0, 0},
        {"one page fill more", hostile::fills(int(kFills) + 1), Outcome::TooComplex, kFills, 0, 0},
        {"fonts at the budget", hostile::unknownFaces(EmfBudget::maxFonts), Outcome::Plays, EmfBudget::maxFonts, 0, EmfBudget::maxFonts},
        {"one font more", hostile::unknownFaces(EmfBudget::maxFonts + 1), Outcome::TooComplex, EmfBudget::maxFonts, 0, EmfBudget::maxFonts},
    };
    for (const Case& c : cases) {
        CountingCanvas canvas;
        EXPECT_EQ(play(c.emf, canvas), c.outcome) << c.name;
        EXPECT_EQ(std::tuple(canvas.operations, canvas.points, canvas.characters),
                  std::tuple(c.operations, c.points, c.characters)) << c.name;
    }
}

// Drawn for real (a canvas with a painter fills a poly-polygon or a path as one
// shape, so that the fill mode holds), every figure still counts as a call.
TEST(EmfBudget, ShapesFilledAsOnePathPayForEveryFigure)
{
    constexpr int kOps = static_cast<int>(EmfBudget::maxOperations);
    hostile::Page path;
    path.words(emf::BeginPath, {});
    for (int i = 0; i <= kOps; ++i)
        path.record(emf::Polygon16, [&](emf::ByteWriter& w) {
            w.zeros(16);
            w.u32(3);
            hostile::triangle(w, i);
        });
    path.words(emf::EndPath, {}).record(emf::FillPath, [](emf::ByteWriter& w) { w.zeros(16); });
    for (const QByteArray& page : {hostile::triangles(1, kOps + 1), path.finish()}) {
        Surface s(200, 150);
        EXPECT_THROW(playEmf(page, s.canvas, {0, 0, 200, 150}), EmfTooComplex);
    }
}

TEST(EmfBudget, UnknownFacesAllBecomeOneFallbackFace)
{
    CountingCanvas canvas;
    ASSERT_EQ(play(hostile::unknownFaces(1500), canvas), Outcome::Plays);
    const QString fallback = playableFace(QStringLiteral("Nonesuch"));
    EXPECT_EQ(canvas.faces, QSet<QString>{fallback});

    // Known faces pass as named (nullptr: the fallback).
    const std::pair<const char*, const char*> faces[] = {
        {"Arial", "Arial"}, {"times new roman", "times new roman"}, {"Courier New", "Courier New"},
        {"Liberation Serif", "Liberation Serif"}, {"DejaVu Sans", "DejaVu Sans"},
        {"Nonesuch 17", nullptr}, {"", nullptr}, {"Arial Nonesuch", nullptr},
    };
    for (const auto& [face, played] : faces)
        EXPECT_EQ(playableFace(QString::fromUtf8(face)), played ? QString::fromUtf8(played) : fallback) << face;
}

} // namespace
