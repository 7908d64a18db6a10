// The report file's bytes: a 372-byte header, then one record per page, each the
// page's enhanced metafile followed by a 4-byte copy of the file offset at which
// that metafile began. Little-endian throughout; there is no magic number.
//
// This layer knows nothing of windows or of the page store: it turns a header
// into bytes and back, writes page records to a device, and reads a whole file
// into memory, rejecting every damaged file with a ReportFileError before any
// caller sees a page of it.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <stdexcept>
#include <vector>

class QIODevice;

namespace report {

inline constexpr std::size_t kReportFileHeaderSize = 372;

// Header offsets.
namespace qrp {
inline constexpr std::size_t kVersion1 = 0;       // u16, always 1
inline constexpr std::size_t kVersion2 = 2;       // u16, always 100
inline constexpr std::size_t kPrintableHeight = 4; // i32, page units
inline constexpr std::size_t kPrintableWidth = 8;  // i32, page units
inline constexpr std::size_t kPixelsPerInch = 12;  // i32, screen at saving time
inline constexpr std::size_t kPageCount = 16;      // i32
inline constexpr std::size_t kTitle = 20;          // short string: length byte + 80 characters
inline constexpr std::size_t kSavedAt = 104;       // f64, days since 30 December 1899, local time
inline constexpr std::size_t kPortrait = 112;      // u8, 1 portrait, 0 landscape
} // namespace qrp

// Largest printable side accepted from a file, in page units (screen pixels of the
// saving machine): 8.6 m at 96 per inch, still 2.9 m at 288. The largest sheet made,
// 4A0, is 2.38 m long; a larger side is damage or an attack, and every page of it
// would ask the preview and the tools for an image of gigabytes.
inline constexpr std::int32_t kMaxPageSide = 32'767;

// The messages a damaged or unreadable file produces.
inline constexpr const char* kStreamReadError = "Stream read error";
inline constexpr const char* kStreamWriteError = "Stream write error";
inline constexpr const char* kInvalidMetafile = "Metafile is not valid";
inline constexpr const char* kNoPages = "Report file holds no pages";
inline constexpr const char* kBadPageSize = "Report file has an invalid page size";

class ReportFileError : public std::runtime_error {
public:
    explicit ReportFileError(const std::string& message) : std::runtime_error(message) {}
};

QString cannotOpenMessage(const QString& fileName);   // "Cannot open file <name>"
QString cannotCreateMessage(const QString& fileName); // "Cannot create file <name>"

struct ReportFileHeader {
    std::int32_t printableHeight = 0;
    std::int32_t printableWidth = 0;
    std::int32_t pixelsPerInch = 0;
    std::int32_t pageCount = 0;
    double savedAt = 0.0; // days since 30 December 1899, time of day as the fraction
    bool portrait = false;
};

using HeaderBytes = std::array<std::uint8_t, kReportFileHeaderSize>;

// The header as written: unused bytes (the empty title's 80 characters, the gap
// at 101 and the reserved tail) are zero.
HeaderBytes encodeReportFileHeader(const ReportFileHeader& header);
ReportFileHeader decodeReportFileHeader(std::span<const std::uint8_t, kReportFileHeaderSize> bytes);

// Local date and time as days since 30 December 1899 with the time as the fraction.
double daysSince1899(const QDateTime& localTime);

// The physical side a loaded page gets: 110% of the printable side, rounded half to even.
int physicalFromPrintable(std::int32_t printable);

// Metafile header fields that delimit a page record.
inline constexpr std::size_t kEmfMinHeaderSize = 88;
inline constexpr std::uint32_t kEmfSignature = 0x464D4520; // " EMF"

// Checks the leading bytes of a metafile header (at least kEmfMinHeaderSize of them)
// and answers the metafile's total size from its nBytes field. Throws
// ReportFileError(kInvalidMetafile) when they are no metafile header.
std::uint32_t metafileSizeFromHeader(std::span<const std::uint8_t> head);

// Called before page i (1-based) is read or written: progress and pending messages.
// Answer false from a writer's callback to stop writing (cancel).
using PageProgress = std::function<bool(int page)>;
// Full check of one page's metafile (the EMF player's validation); throws on damage.
using PageValidator = std::function<void(std::span<const std::uint8_t> metafile)>;

struct LoadedReportFile {
    ReportFileHeader header;
    std::vector<QByteArray> pages;
};

// Reads a complete report file from `in`, which must be positioned at its start.
// Throws ReportFileError on a short header, a page count below 1, a page size out of
// range, a page that is no metafile or fails `validate`, a page or stored offset cut
// short, or more pages announced than the file holds. Nothing is returned then.
// `onHeader` hears the header once it has passed its checks, before any page is read.
LoadedReportFile readReportFile(QIODevice& in, const PageValidator& validate, const PageProgress& beforePage = {},
                                const std::function<void(const ReportFileHeader&)>& onHeader = {});

// Writes the header and the page records to `out` (positioned at the file's start).
// `page(i)` answers page i's metafile bytes. Answers false when `beforePage` stopped the
// writing; throws ReportFileError(kStreamWriteError) when the device refuses a write.
bool writeReportFile(QIODevice& out, const ReportFileHeader& header,
                     const std::function<QByteArray(int page)>& page, const PageProgress& beforePage = {});

} // namespace report
