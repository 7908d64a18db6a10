#include "report/report_file_format.h"

#include "platform/units.h"

#include <QDate>
#include <QIODevice>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace report {

namespace {

void putU16(std::uint8_t* at, std::uint16_t v)
{
    at[0] = static_cast<std::uint8_t>(v);
    at[1] = static_cast<std::uint8_t>(v >> 8);
}

void putU32(std::uint8_t* at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t getU32(const std::uint8_t* at)
{
    return std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8 | std::uint32_t(at[2]) << 16
        | std::uint32_t(at[3]) << 24;
}

std::int32_t getI32(const std::uint8_t* at)
{
    return static_cast<std::int32_t>(getU32(at));
}

void putF64(std::uint8_t* at, double v)
{
    const auto bits = std::bit_cast<std::uint64_t>(v);
    for (int i = 0; i < 8; ++i)
        at[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

double getF64(const std::uint8_t* at)
{
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= std::uint64_t(at[i]) << (8 * i);
    return std::bit_cast<double>(bits);
}

[[noreturn]] void fail(const char* message)
{
    throw ReportFileError(message);
}

// Reads exactly n bytes or fails with the stream's short-read error.
void readExactly(QIODevice& in, char* into, qint64 n)
{
    qint64 done = 0;
    while (done < n) {
        const qint64 got = in.read(into + done, n - done);
        if (got <= 0)
            fail(kStreamReadError);
        done += got;
    }
}

// Reads n more bytes onto the end of `into`, a megabyte at a time.
void readOnto(QIODevice& in, QByteArray& into, qint64 n)
{
    constexpr qint64 kChunk = 1 << 20;
    while (n > 0) {
        const qint64 step = std::min(n, kChunk);
        const qsizetype at = into.size();
        into.resize(at + static_cast<qsizetype>(step));
        readExactly(in, into.data() + at, step);
        n -= step;
    }
}

void writeAll(QIODevice& out, const char* data, qint64 n)
{
    qint64 done = 0;
    while (done < n) {
        const qint64 put = out.write(data + done, n - done);
        if (put <= 0)
            fail(kStreamWriteError);
        done += put;
    }
}

// Bytes left between the read position and the end, or -1 for a sequential device.
qint64 bytesLeft(QIODevice& in)
{
    if (in.isSequential())
        return -1;
    return in.size() - in.pos();
}

} // namespace

QString cannotOpenMessage(const QString& fileName)
{
    return QStringLiteral("Cannot open file %1").arg(fileName);
}

QString cannotCreateMessage(const QString& fileName)
{
    return QStringLiteral("Cannot create file %1").arg(fileName);
}

HeaderBytes encodeReportFileHeader(const ReportFileHeader& h)
{
    HeaderBytes b{};
    putU16(&b[qrp::kVersion1], 1);
    putU16(&b[qrp::kVersion2], 100);
    putU32(&b[qrp::kPrintableHeight], static_cast<std::uint32_t>(h.printableHeight));
    putU32(&b[qrp::kPrintableWidth], static_cast<std::uint32_t>(h.printableWidth));
    putU32(&b[qrp::kPixelsPerInch], static_cast<std::uint32_t>(h.pixelsPerInch));
    putU32(&b[qrp::kPageCount], static_cast<std::uint32_t>(h.pageCount));
    b[qrp::kTitle] = 0; // empty short string
    putF64(&b[qrp::kSavedAt], h.savedAt);
    b[qrp::kPortrait] = h.portrait ? 1 : 0;
    return b;
}

ReportFileHeader decodeReportFileHeader(std::span<const std::uint8_t, kReportFileHeaderSize> b)
{
    ReportFileHeader h;
    h.printableHeight = getI32(&b[qrp::kPrintableHeight]);
    h.printableWidth = getI32(&b[qrp::kPrintableWidth]);
    h.pixelsPerInch = getI32(&b[qrp::kPixelsPerInch]);
    h.pageCount = getI32(&b[qrp::kPageCount]);
    h.savedAt = getF64(&b[qrp::kSavedAt]);
    h.portrait = b[qrp::kPortrait] != 0;
    return h;
}

double daysSince1899(const QDateTime& localTime)
{
    static const QDate epoch(1899, 12, 30);
    const double days = static_cast<double>(epoch.daysTo(localTime.date()));
    return days + localTime.time().msecsSinceStartOfDay() / 86'400'000.0;
}

int physicalFromPrintable(std::int32_t printable)
{
    return platform::roundHalfEven(static_cast<double>(printable) * 1.1);
}

std::uint32_t metafileSizeFromHeader(std::span<const std::uint8_t> head)
{
    if (head.size() < kEmfMinHeaderSize)
        fail(kInvalidMetafile);
    const std::uint32_t type = getU32(&head[0]);
    const std::uint32_t recordSize = getU32(&head[4]);
    const std::uint32_t signature = getU32(&head[40]);
    const std::uint32_t nBytes = getU32(&head[48]);
    if (type != 1 || signature != kEmfSignature)
        fail(kInvalidMetafile);
    if (recordSize < kEmfMinHeaderSize || recordSize % 4 != 0 || nBytes % 4 != 0 || nBytes < recordSize)
        fail(kInvalidMetafile);
    return nBytes;
}

LoadedReportFile readReportFile(QIODevice& in, const PageValidator& validate, const PageProgress& beforePage,
                                const std::function<void(const ReportFileHeader&)>& onHeader)
{
    LoadedReportFile out;
    HeaderBytes head;
    readExactly(in, reinterpret_cast<char*>(head.data()), head.size());
    out.header = decodeReportFileHeader(head);
    const ReportFileHeader& h = out.header;
    if (h.pageCount < 1)
        fail(kNoPages);
    if (h.printableWidth < 1 || h.printableHeight < 1 || h.printableWidth > kMaxPageSide
        || h.printableHeight > kMaxPageSide)
        fail(kBadPageSize);
    // Every page record takes at least a metafile header and its stored offset:
    // a count the file cannot hold is a short file, found before reading a byte more.
    const qint64 left = bytesLeft(in);
    constexpr qint64 minRecord = static_cast<qint64>(kEmfMinHeaderSize) + 4;
    if (left >= 0 && static_cast<qint64>(h.pageCount) > left / minRecord)
        fail(kStreamReadError);
    if (onHeader)
        onHeader(h);

    // A stream of unknown length (a pipe) may claim any count and any page
    // size: memory is then taken as the pages and their bytes arrive.
    constexpr int kPagesReservedUnchecked = 1024;
    out.pages.reserve(static_cast<std::size_t>(left >= 0 ? h.pageCount : std::min(h.pageCount, kPagesReservedUnchecked)));
    for (int i = 1; i <= h.pageCount; ++i) {
        if (beforePage)
            beforePage(i);
        std::array<std::uint8_t, kEmfMinHeaderSize> emfHead;
        readExactly(in, reinterpret_cast<char*>(emfHead.data()), emfHead.size());
        const std::uint32_t size = metafileSizeFromHeader(emfHead);
        // The size comes from the file: never allocate more than the file still holds.
        const qint64 rest = static_cast<qint64>(size) - static_cast<qint64>(emfHead.size());
        const qint64 avail = bytesLeft(in);
        if (avail >= 0 && rest + 4 > avail)
            fail(kStreamReadError);
        QByteArray page(reinterpret_cast<const char*>(emfHead.data()), static_cast<qsizetype>(emfHead.size()));
        if (avail >= 0)
            page.reserve(static_cast<qsizetype>(size));
        readOnto(in, page, rest);
        char storedOffset[4];
        readExactly(in, storedOffset, sizeof storedOffset);
        if (validate)
            validate(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(page.constData()),
                                                   static_cast<std::size_t>(page.size())));
        out.pages.push_back(std::move(page));
    }
    return out;
}

bool writeReportFile(QIODevice& out, const ReportFileHeader& header,
                     const std::function<QByteArray(int page)>& page, const PageProgress& beforePage)
{
    const HeaderBytes head = encodeReportFileHeader(header);
    writeAll(out, reinterpret_cast<const char*>(head.data()), head.size());
    for (int i = 1; i <= header.pageCount; ++i) {
        if (beforePage && !beforePage(i))
            return false;
        const qint64 position = out.pos();
        const QByteArray bytes = page(i);
        writeAll(out, bytes.constData(), bytes.size());
        std::uint8_t stored[4];
        putU32(stored, static_cast<std::uint32_t>(position));
        writeAll(out, reinterpret_cast<const char*>(stored), sizeof stored);
    }
    return true;
}

} // namespace report
