// Plays an Enhanced Metafile onto a canvas, and checks one cheaply.
//
// Metafiles come from report files, that is from strangers: every size, count
// and offset is checked against its record and the buffer before use, sizes
// are computed in 64 bits, and records, object handles, saved states, text
// length and bitmap pixels are capped. A damaged metafile raises EmfError
// with a readable message; it never reads outside the buffer. Records the
// player does not draw are skipped. EMF+ records, which GDI+ programs store in
// comments, draw a page that has no GDI drawing of its own (emf_plus.h).
#pragma once

#include "platform/canvas.h"

#include <QByteArray>
#include <QRect>
#include <QSize>

#include <cstddef>
#include <cstdint>
#include <stdexcept>

namespace platform {

class EmfError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A sound page that asks for more drawing than any report page needs.
class EmfTooComplex : public EmfError {
public:
    EmfTooComplex() : EmfError(kMessage) {}
    static constexpr const char* kMessage = "The page is too complex to draw";
};

struct EmfHeader {
    QRect bounds;             // device pixels, inclusive corners as stored (left, top, right, bottom)
    QRect frame;              // 0.01 mm, inclusive corners as stored
    std::uint32_t nBytes = 0;   // size of the whole metafile
    std::uint32_t nRecords = 0;
    std::uint16_t nHandles = 0;
    QSize deviceSize;         // reference device, pixels
    QSize deviceMillimeters;  // reference device, millimetres
};

// Limits applied to every metafile.
struct EmfLimits {
    static constexpr std::uint32_t maxRecords = 1'000'000;
    static constexpr std::uint32_t maxHandles = 65535;
    static constexpr int maxSaveDepth = 256;
    static constexpr std::uint32_t maxTextChars = 65536;
    static constexpr std::uint64_t maxBitmapPixels = 64ull * 1024 * 1024;
    static constexpr std::uint64_t maxPixelsPerPlay = 256ull * 1024 * 1024;
};

// Work one page may ask for, counted as it plays (never timed, so a page
// draws the same on a fast and a slow machine). A profile page has 67
// records: 48 drawing calls, 252 characters, 4 fonts, its area painted 1.3
// times over (bench_hostile_pages prints these); the busiest of 226 real-world
// metafiles have 4,300 drawing calls, 12,300 points, 3,900 characters and
// 172 fonts. Each budget is far above those and keeps the worst page of its
// kind well under a second on a two-core machine.
struct EmfBudget {
    static constexpr std::uint64_t maxOperations = 50'000;
    static constexpr std::uint64_t maxPoints = 1'000'000;
    static constexpr std::uint64_t maxGlyphs = 200'000;
    static constexpr std::uint64_t maxFonts = 2'000;
    // Pixels painted: 32 times the target's area, plus a floor for tiny
    // targets, and no more than 128 million (about half a second of filling)
    // unless the target itself is so large, as a printer's page at 600 dpi
    // is, that a real page needs more: then 8 times its area. A character
    // counts as a square of its height, so large glyphs, which are filled as
    // outlines, pay for their size.
    static constexpr std::uint64_t maxCoverage = 32;
    static constexpr std::uint64_t minCoverage = 8;
    static constexpr std::uint64_t minPixels = 1'000'000;
    static constexpr std::uint64_t maxPixels = 128'000'000;
    static std::uint64_t pixelsFor(std::uint64_t targetArea)
    {
        if (targetArea > maxPixels / minCoverage)
            return minCoverage * targetArea;
        return targetArea > (maxPixels - minPixels) / maxCoverage ? maxPixels : minPixels + maxCoverage * targetArea;
    }
};

// Reads and checks the header record alone. `size` may be larger than the
// metafile (nBytes tells how much belongs to it). Throws EmfError.
EmfHeader readEmfHeader(const std::uint8_t* data, std::size_t size);

// Header check plus a walk over every record's type and size, up to the EOF
// record, which must end the metafile exactly at nBytes, and the header's
// record count must be the number of records walked. Throws EmfError.
EmfHeader validateEmf(const std::uint8_t* data, std::size_t size);
EmfHeader validateEmf(const QByteArray& emf);

// The work a page asked of the canvas while it played.
struct EmfWork {
    std::uint64_t operations = 0;  // drawing calls: lines, shapes, each polygon of a poly-polygon, texts, bitmaps
    std::uint64_t points = 0;      // points of lines and polygons, curves counted as the lines drawn for them
    std::uint64_t glyphs = 0;      // characters
    std::uint64_t fonts = 0;       // font objects created
    std::uint64_t pixels = 0;      // pixels painted, estimated from each call's extent inside the target
};

// Plays the metafile onto `canvas` with its frame mapped onto `target` and
// answers the work done. A page that asks for more than EmfBudget allows
// stops drawing with EmfTooComplex before the record that would go over.
// The canvas state is the same afterwards, also when EmfError is thrown.
EmfWork playEmf(const std::uint8_t* data, std::size_t size, Canvas& canvas, const Rect& target);
EmfWork playEmf(const QByteArray& emf, Canvas& canvas, const Rect& target);

// The face the player asks the canvas for when a page names `face`: the name
// itself when this machine has that family or one of the faces our pages use
// (which the font configuration maps onto metric-compatible ones), otherwise
// one fallback face. Looking up a face the machine lacks costs a search of
// every font file; answering them all with one face makes ten thousand
// unknown names cost one lookup. Safe to call from any thread.
QString playableFace(const QString& face);

// The frame's size in pixels at `pixelsPerInch` (at least 1 x 1): the size of
// an image that shows the metafile at its natural size.
QSize emfFrameSizeInPixels(const EmfHeader& header, int pixelsPerInch);

} // namespace platform
