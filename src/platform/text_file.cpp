#include "platform/text_file.h"


#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

// ---- Windows-1252 -------------------------------------------------------------

namespace {

// Characters of bytes 0x80 to 0x9F. A zero marks the five unassigned bytes,
// which stand for the C1 control of the same number.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,      //
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178, //
};

// The byte for `c`, or -1.
int cp1252Byte(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<int>(c);
    if (c >= 0x80 && c <= 0x9F)
        return kHighControls[c - 0x80] == 0 ? static_cast<int>(c) : -1;
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] != 0 && kHighControls[i] == c)
            return static_cast<int>(0x80 + i);
    }
    return -1;
}

} // namespace

bool canEncodeCp1252(char32_t c)
{
    return cp1252Byte(c) >= 0;
}

bool canEncodeCp1252(const QString& text)
{
    return encodeCp1252(text).has_value();
}

std::optional<std::string> encodeCp1252(const QString& text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar ch : text) {
        // Every character of the code page lies in the Basic Multilingual Plane, so
        // any surrogate (paired or not) has no byte.
        const int b = ch.isSurrogate() ? -1 : cp1252Byte(ch.unicode());
        if (b < 0)
            return std::nullopt;
        out.push_back(static_cast<char>(b));
    }
    return out;
}

QString decodeCp1252(std::string_view bytes)
{
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char raw : bytes) {
        const auto b = static_cast<unsigned char>(raw);
        if (b >= 0x80 && b <= 0x9F && kHighControls[b - 0x80] != 0)
            out.append(QChar(kHighControls[b - 0x80]));
        else
            out.append(QChar(static_cast<char16_t>(b)));
    }
    return out;
}

// ---- File errors --------------------------------------------------------------

QString fileErrorMessage(int code)
{
    switch (code) {
    case FileNotFound: return QStringLiteral("File not found");
    case InvalidFilename: return QStringLiteral("Invalid filename");
    case TooManyOpenFiles: return QStringLiteral("Too many open files");
    case FileAccessDenied: return QStringLiteral("File access denied");
    case ReadBeyondEndOfFile: return QStringLiteral("Read beyond end of file");
    case DiskFull: return QStringLiteral("Disk full");
    case InvalidNumericInput: return QStringLiteral("Invalid numeric input");
    default: return QStringLiteral("I/O error %1").arg(code);
    }
}

int fileErrorCodeFromErrno(int err, bool writing)
{
    switch (err) {
    case ENOENT: return FileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ:
    case ELOOP: return InvalidFilename;
    case EMFILE:
    case ENFILE: return TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
    case EBUSY: return FileAccessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return DiskFull;
    case EIO: return writing ? WriteFault : ReadFault;
    default:
        break;
    }
    // Any other system error keeps its own number, unless that number already
    // means something else here; then it becomes a general failure.
    switch (err) {
    case FileNotFound:
    case InvalidFilename:
    case TooManyOpenFiles:
    case FileAccessDenied:
    case ReadBeyondEndOfFile:
    case DiskFull:
    case InvalidNumericInput:
    case WriteFault:
    case ReadFault:
    case FileNotOpen: return GeneralFailure;
    default: return err;
    }
}

QString systemErrorText(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

QString withCause(const QString& message, const std::filesystem::path& file, const QString& cause)
{
    const QString name = QString::fromStdString(file.filename().string());
    if (cause.isEmpty())
        return QStringLiteral("%1 (%2)").arg(message, name);
    return QStringLiteral("%1 (%2: %3)").arg(message, name, cause);
}

FileError::FileError(int code)
    : std::runtime_error(fileErrorMessage(code).toStdString())
    , code_(code)
{
}

FileError::FileError(int code, const std::filesystem::path& file, int err)
    // "File not found" already says all that ENOENT would.
    : std::runtime_error(
          withCause(fileErrorMessage(code), file, err && err != ENOENT ? systemErrorText(err) : QString())
              .toStdString())
    , code_(code)
    , err_(err)
{
}

// ---- Single-line text ---------------------------------------------------------

QString toSingleLine(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            continue; // CR LF is one break: its LF makes the space
        out.append(c == u'\r' || c == u'\n' || c == u'\t' ? QChar(u' ') : c);
    }
    return out;
}

bool hasControlCharacter(const QString& text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F))
            return true;
    }
    return false;
}

// ---- Writing ------------------------------------------------------------------

std::string joinLinesCrLf(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

namespace {

mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool writeAll(int fd, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The file that writing `file` must change: `file` itself, or the end of its
// chain of symbolic links (which may not exist yet). 0 or an errno.
int resolveLinks(std::filesystem::path& file)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(file.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return 0;
        std::error_code ec;
        const std::filesystem::path target = std::filesystem::read_symlink(file, ec);
        if (ec)
            return ec.value();
        file = target.is_absolute() ? target : file.parent_path() / target;
    }
    return ELOOP;
}

// What a file written where it stands must be.
enum class InPlace { RegularFile, DeviceOrPipe };

// Writes `file` where it stands, with no temporary file: a regular file we may
// write in a folder we may not (truncated, then synced), or a character device
// or named pipe (/dev/null, /dev/stdout, a pipe another program reads). Opened
// without blocking, so that a pipe nobody reads is refused at once (ENXIO)
// instead of hanging the program; then written with blocking. Returns 0 or
// the errno of the step that failed.
int writeInPlace(const std::filesystem::path& file, std::string_view bytes, InPlace kind)
{
    const bool regular = kind == InPlace::RegularFile;
    const int fd = ::open(file.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK | (regular ? O_TRUNC | O_NOFOLLOW : 0));
    if (fd < 0)
        return errno;
    int err = 0;
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        err = errno;
    else if (regular ? !S_ISREG(st.st_mode) : !S_ISCHR(st.st_mode) && !S_ISFIFO(st.st_mode))
        err = EACCES; // a disk's block device, or whatever took the name meanwhile
    else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0 || !writeAll(fd, bytes)
             || (regular && ::fsync(fd) != 0))
        err = errno;
    if (::close(fd) != 0 && err == 0)
        err = errno;
    return err;
}

// Writes `bytes` to a temporary file beside `file` and renames it over `file`.
// Returns 0, or the errno of the step that failed (nothing is left behind then).
int replaceAtomically(std::filesystem::path file, std::string_view bytes)
{
    // Only a regular file is replaced. Renaming over a device or a pipe would
    // put an ordinary file in its place (as root, even over /dev/null), so
    // those are written into; a folder is refused when opened.
    struct stat target {};
    if (::stat(file.c_str(), &target) == 0 && !S_ISREG(target.st_mode))
        return writeInPlace(file, bytes, InPlace::DeviceOrPipe);
    if (const int err = resolveLinks(file))
        return err;
    const std::filesystem::path dir = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
    std::string tmpl = (dir / ("." + file.filename().string() + ".XXXXXX")).string();
    struct stat old {};
    const bool exists = ::stat(file.c_str(), &old) == 0;
    const int fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        // A folder we may not write to can still hold a file we may write to.
        const bool folderRefused = err == EACCES || err == EPERM || err == EROFS;
        if (folderRefused && exists && S_ISREG(old.st_mode) && ::access(file.c_str(), W_OK) == 0)
            return writeInPlace(file, bytes, InPlace::RegularFile);
        return err;
    }

    int err = 0;
    // Never hand on set-id or sticky bits: the new file is ordinary data.
    const mode_t mode = exists && S_ISREG(old.st_mode) ? (old.st_mode & 0777) : newFileMode();
    if (::fchmod(fd, mode) != 0 || !writeAll(fd, bytes) || ::fsync(fd) != 0)
        err = errno;
    if (::close(fd) != 0 && err == 0)
        err = errno;
    if (err == 0 && ::rename(tmpl.c_str(), file.c_str()) != 0)
        err = errno;
    if (err != 0)
        ::unlink(tmpl.c_str());
    return err;
}

} // namespace

void replaceFileContents(const std::filesystem::path& file, std::string_view bytes)
{
    const int err = file.empty() || !file.has_filename() ? EINVAL : replaceAtomically(file, bytes);
    if (err != 0)
        throw FileError(fileErrorCodeFromErrno(err, true), file, err);
}

// ---- Reading ------------------------------------------------------------------

TextFileReader::TextFileReader(const std::filesystem::path& file)
{
    if (file.empty())
        throw FileError(FileNotFound);
    // Opened without blocking, so that a pipe put where the file should be cannot
    // hang the program; only regular files and devices are read.
    int fd;
    do {
        fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int err = errno;
        throw FileError(fileErrorCodeFromErrno(err, false), file, err);
    }
    struct stat st {};
    int err = 0;
    if (::fstat(fd, &st) != 0)
        err = errno;
    else if (S_ISDIR(st.st_mode))
        err = EISDIR;
    else if (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode))
        err = EACCES; // no text file, and reading it could hang
    else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        err = errno;
    if (err != 0) {
        ::close(fd);
        throw FileError(fileErrorCodeFromErrno(err, false), file, err);
    }
    fd_ = fd;
    file_ = file;
}

TextFileReader::~TextFileReader()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool TextFileReader::fill()
{
    if (fd_ < 0)
        throw FileError(FileNotOpen);
    if (eof_)
        return false;
    if (pos_ > 0) {
        buffer_.erase(0, pos_);
        pos_ = 0;
    }
    char chunk[65536];
    ssize_t n;
    do {
        n = ::read(fd_, chunk, sizeof chunk);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        const int err = errno;
        throw FileError(fileErrorCodeFromErrno(err, false), file_, err);
    }
    if (n == 0) {
        eof_ = true;
        return false;
    }
    buffer_.append(chunk, static_cast<std::size_t>(n));
    return true;
}

std::string TextFileReader::readLineBytes()
{
    if (fd_ < 0)
        throw FileError(FileNotOpen);
    std::size_t scanned = pos_;
    for (;;) {
        const std::size_t end = buffer_.find_first_of("\r\n", scanned);
        if (end != std::string::npos) {
            // A CR as the buffer's last byte may be the first half of CR LF.
            if (buffer_[end] == '\r' && end + 1 == buffer_.size() && !eof_) {
                const std::size_t offset = end - pos_;
                fill();
                scanned = pos_ + offset;
                continue;
            }
            std::string line = buffer_.substr(pos_, end - pos_);
            std::size_t next = end + 1;
            if (buffer_[end] == '\r' && next < buffer_.size() && buffer_[next] == '\n')
                ++next;
            pos_ = next;
            return line;
        }
        const std::size_t offset = buffer_.size() - pos_;
        if (!fill()) {
            std::string line = buffer_.substr(pos_);
            pos_ = buffer_.size();
            return line;
        }
        scanned = pos_ + offset;
    }
}

QString TextFileReader::readLine()
{
    return decodeCp1252(readLineBytes());
}

bool TextFileReader::atEnd()
{
    if (pos_ < buffer_.size())
        return false;
    return !fill();
}

void TextFileReader::close()
{
    if (fd_ < 0)
        throw FileError(FileNotOpen);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        const int err = errno;
        throw FileError(fileErrorCodeFromErrno(err, false), file_, err);
    }
}

} // namespace platform
