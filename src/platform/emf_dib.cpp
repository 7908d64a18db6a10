#include "platform/emf_dib.h"

#include "platform/emf_format.h"
#include "platform/emf_player.h"

#include <QList>

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>

namespace platform::emf {

const QList<QRgb>& defaultPalette()
{
    static const QList<QRgb> colours = {
        qRgb(0, 0, 0),       qRgb(128, 0, 0),     qRgb(0, 128, 0),     qRgb(128, 128, 0),   qRgb(0, 0, 128),
        qRgb(128, 0, 128),   qRgb(0, 128, 128),   qRgb(192, 192, 192), qRgb(192, 220, 192), qRgb(166, 202, 240),
        qRgb(255, 251, 240), qRgb(160, 160, 164), qRgb(128, 128, 128), qRgb(255, 0, 0),     qRgb(0, 255, 0),
        qRgb(255, 255, 0),   qRgb(0, 0, 255),     qRgb(255, 0, 255),   qRgb(0, 255, 255),   qRgb(255, 255, 255)};
    return colours;
}

std::optional<QImage> decodeDib(const std::uint8_t* rec, std::uint64_t recSize, std::uint64_t offBmi,
                                std::uint64_t cbBmi, std::uint64_t offBits, std::uint64_t cbBits, std::uint32_t usage,
                                const QList<QRgb>& palette, std::uint64_t& pixelBudget, bool withAlpha)
{
    if (cbBmi < bmih::kMinSize || !fits(offBmi, cbBmi, recSize) || !fits(offBits, cbBits, recSize))
        return std::nullopt;
    const std::uint8_t* bmi = rec + offBmi;
    const std::uint32_t headerSize = readU32(bmi + bmih::kSize);
    if (headerSize < bmih::kMinSize || headerSize > cbBmi)
        return std::nullopt;
    const std::int32_t width = readI32(bmi + bmih::kWidth);
    const std::int32_t height = readI32(bmi + bmih::kHeight);
    const std::uint16_t planes = readU16(bmi + bmih::kPlanes);
    const std::uint16_t bitCount = readU16(bmi + bmih::kBitCount);
    const std::uint32_t compression = readU32(bmi + bmih::kCompression);
    const std::uint32_t clrUsed = readU32(bmi + bmih::kClrUsed);
    if (width <= 0 || height == 0 || height == INT_MIN || planes != 1)
        return std::nullopt;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return std::nullopt;
    const bool bitfields = compression == 3 && (bitCount == 16 || bitCount == 32);
    if (compression != 0 && !bitfields)
        return std::nullopt;
    const std::uint64_t w = static_cast<std::uint64_t>(width);
    const std::uint64_t h = static_cast<std::uint64_t>(height < 0 ? -static_cast<std::int64_t>(height) : height);
    const std::uint64_t pixels = w * h;
    if (pixels > platform::EmfLimits::maxBitmapPixels || pixels > pixelBudget)
        return std::nullopt;
    const std::uint64_t stride = ((w * bitCount + 31) / 32) * 4;
    if (stride * h > cbBits)
        return std::nullopt;
    const bool topDown = height < 0;

    // Colour masks and colour table follow the header inside cbBmi.
    std::uint64_t tableOffset = headerSize;
    std::uint32_t masks[3] = {0, 0, 0};
    if (bitfields) {
        if (headerSize == bmih::kMinSize) {
            if (!fits(bmih::kMasks, bmih::kMasksSize, cbBmi))
                return std::nullopt;
            tableOffset += bmih::kMasksSize;
        }
        for (int i = 0; i < 3; ++i)
            masks[i] = readU32(bmi + bmih::kMasks + 4 * i);
    }
    QList<QRgb> table;
    if (bitCount <= 8) {
        const std::uint64_t max = 1u << bitCount;
        std::uint64_t entries = clrUsed ? std::min<std::uint64_t>(clrUsed, max) : max;
        // Each entry is a colour of four bytes or, with palette indices, a
        // two-byte index into the page's palette (an index past its end is black).
        const bool indices = usage == 1;
        const std::uint64_t each = indices ? 2 : 4;
        if (!fits(tableOffset, entries * each, cbBmi))
            entries = tableOffset < cbBmi ? (cbBmi - tableOffset) / each : 0;
        for (std::uint64_t i = 0; i < entries; ++i) {
            const std::uint8_t* q = bmi + tableOffset + each * i;
            if (!indices)
                table.append(qRgb(q[2], q[1], q[0]));
            else if (readU16(q) < palette.size())
                table.append(palette[readU16(q)]);
            else
                table.append(qRgb(0, 0, 0));
        }
        while (static_cast<std::uint64_t>(table.size()) < max)
            table.append(qRgb(0, 0, 0));
    }

    QImage::Format format = QImage::Format_RGB32;
    if (bitCount == 1)
        format = QImage::Format_Mono;
    else if (bitCount <= 8)
        format = QImage::Format_Indexed8;
    else if (bitCount == 32 && withAlpha && !bitfields)
        format = QImage::Format_ARGB32;
    QImage img(width, static_cast<int>(h), format);
    if (img.isNull())
        return std::nullopt;
    pixelBudget -= pixels;
    if (bitCount <= 8)
        img.setColorTable(table);

    auto maskShift = [](std::uint32_t m) {
        int s = 0;
        if (!m)
            return std::pair<int, int>(0, 0);
        while (!(m & 1)) {
            m >>= 1;
            ++s;
        }
        int bits = 0;
        while (m & 1) {
            m >>= 1;
            ++bits;
        }
        return std::pair<int, int>(s, bits);
    };
    if (bitCount == 16 && !bitfields) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    }
    const auto r = maskShift(masks[0]), g = maskShift(masks[1]), b = maskShift(masks[2]);
    auto expand = [](std::uint32_t v, std::pair<int, int> sb) -> int {
        if (sb.second == 0)
            return 0;
        v = (v >> sb.first) & ((1u << std::min(sb.second, 31)) - 1);
        if (sb.second >= 8)
            return static_cast<int>(v >> (sb.second - 8));
        return static_cast<int>((v * 255) / ((1u << sb.second) - 1));
    };

    const std::uint8_t* bits = rec + offBits;
    for (std::uint64_t y = 0; y < h; ++y) {
        const std::uint8_t* src = bits + stride * (topDown ? y : h - 1 - y);
        uchar* dst = img.scanLine(static_cast<int>(y));
        switch (bitCount) {
        case 1:
            std::memcpy(dst, src, static_cast<size_t>(std::min<std::uint64_t>(stride, img.bytesPerLine())));
            break;
        case 4:
            for (std::uint64_t x = 0; x < w; ++x)
                dst[x] = (x & 1) ? (src[x / 2] & 0x0F) : (src[x / 2] >> 4);
            break;
        case 8:
            std::memcpy(dst, src, static_cast<size_t>(w));
            break;
        case 16: {
            QRgb* out = reinterpret_cast<QRgb*>(dst);
            for (std::uint64_t x = 0; x < w; ++x) {
                const std::uint32_t v = readU16(src + 2 * x);
                out[x] = qRgb(expand(v, r), expand(v, g), expand(v, b));
            }
            break;
        }
        case 24: {
            QRgb* out = reinterpret_cast<QRgb*>(dst);
            for (std::uint64_t x = 0; x < w; ++x)
                out[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
            break;
        }
        case 32: {
            QRgb* out = reinterpret_cast<QRgb*>(dst);
            for (std::uint64_t x = 0; x < w; ++x) {
                const std::uint32_t v = readU32(src + 4 * x);
                if (bitfields)
                    out[x] = qRgb(expand(v, r), expand(v, g), expand(v, b));
                else if (format == QImage::Format_ARGB32)
                    out[x] = v;
                else
                    out[x] = 0xFF000000u | (v & 0x00FFFFFFu);
            }
            break;
        }
        }
    }
    return img;
}

} // namespace platform::emf
