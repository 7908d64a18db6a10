// Plays an Enhanced Metafile onto a canvas, and checks one cheaply.
//
// Metafiles come from report files, that is from strangers: every size, count
// and offset is checked against its record and the buffer before use, sizes
// are computed in 64 bits, and records, object handles, saved states, text
// length and bitmap pixels are capped. A damaged metafile raises EmfError
// with a readable message; it never reads outside the buffer. Records the
// player does not draw are skipped.
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

// Reads and checks the header record alone. `size` may be larger than the
// metafile (nBytes tells how much belongs to it). Throws EmfError.
EmfHeader readEmfHeader(const std::uint8_t* data, std::size_t size);

// Header check plus a walk over every record's type and size, up to the EOF
// record, which must end the metafile exactly at nBytes. Throws EmfError.
EmfHeader validateEmf(const std::uint8_t* data, std::size_t size);
EmfHeader validateEmf(const QByteArray& emf);

// Plays the metafile onto `canvas` with its frame mapped onto `target`.
// The canvas state is the same afterwards, also when EmfError is thrown.
void playEmf(const std::uint8_t* data, std::size_t size, Canvas& canvas, const Rect& target);
void playEmf(const QByteArray& emf, Canvas& canvas, const Rect& target);

// The frame's size in pixels at `pixelsPerInch` (at least 1 x 1): the size of
// an image that shows the metafile at its natural size.
QSize emfFrameSizeInPixels(const EmfHeader& header, int pixelsPerInch);

} // namespace platform
