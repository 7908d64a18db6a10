// Builds metafiles record by record in tests, the way a stranger's program might.
#pragma once

#include "platform/emf_player.h"
#include "support/paint_surface.h"

#include <QByteArray>
#include <QColor>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <vector>

namespace {

class EmfBuilder {
public:
    // A 100 x 100 pixel frame on a 1000 x 1000 pixel, 254 x 254 mm device (0.254 mm per pixel).
    EmfBuilder() { header_ = {1, 88, 0, 0, 99, 99, 0, 0, 2539, 2539, 0x464D4520, 0x10000, 0, 0, 16, 0, 0, 0, 1000, 1000, 254, 254}; }
    EmfBuilder& rec(std::uint32_t type, std::initializer_list<std::uint32_t> fields)
    {
        std::vector<std::uint32_t> r{type, static_cast<std::uint32_t>(8 + 4 * fields.size())};
        r.insert(r.end(), fields.begin(), fields.end());
        records_.push_back(r);
        return *this;
    }
    EmfBuilder& raw(std::vector<std::uint32_t> r)
    {
        records_.push_back(std::move(r));
        return *this;
    }
    std::vector<std::uint32_t>& header() { return header_; }
    // The metafile, ended by an EOF record, with the header's size and record count filled in.
    QByteArray bytes() const
    {
        std::vector<std::uint32_t> all = header_;
        for (const auto& r : records_)
            all.insert(all.end(), r.begin(), r.end());
        all.insert(all.end(), {14, 20, 0, 16, 20});
        all[12] = static_cast<std::uint32_t>(all.size() * 4);
        all[13] = static_cast<std::uint32_t>(records_.size() + 2);
        return QByteArray(reinterpret_cast<const char*>(all.data()), static_cast<qsizetype>(all.size() * 4));
    }

private:
    std::vector<std::uint32_t> header_;
    std::vector<std::vector<std::uint32_t>> records_;
};

// An EMF+ record: type, flags and data words.
inline std::vector<std::uint32_t> plusRecord(std::uint16_t type, std::uint16_t flags,
                                             std::initializer_list<std::uint32_t> data)
{
    std::vector<std::uint32_t> r{type | (std::uint32_t(flags) << 16), static_cast<std::uint32_t>(12 + 4 * data.size()),
                                 static_cast<std::uint32_t>(4 * data.size())};
    r.insert(r.end(), data);
    return r;
}

// A comment record carrying EMF+ records.
inline std::vector<std::uint32_t> plusComment(std::initializer_list<std::vector<std::uint32_t>> records)
{
    std::vector<std::uint32_t> r{70, 0, 0, 0x2B464D45};
    for (const auto& record : records)
        r.insert(r.end(), record.begin(), record.end());
    r[1] = static_cast<std::uint32_t>(4 * r.size());
    r[2] = r[1] - 12;
    return r;
}

// The builder's metafile played onto a white 100 x 100 image.
inline std::unique_ptr<Surface> play(const EmfBuilder& b)
{
    auto s = std::make_unique<Surface>(100, 100);
    platform::playEmf(b.bytes(), s->canvas, platform::Rect{0, 0, 100, 100});
    return s;
}

inline std::uint32_t f32(float f)
{
    std::uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}

inline QRgb colorRef(QRgb c) { return qRed(c) | (qGreen(c) << 8) | (qBlue(c) << 16); }

} // namespace
