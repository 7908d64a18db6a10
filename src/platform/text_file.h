// Single-byte text files: the Western code page (Windows-1252), lines ended by
// CR LF, the runtime's file-error messages, a file replaced safely as a whole, and
// a line-by-line reader.
#pragma once

#include <QString>

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// ---- Windows-1252 -------------------------------------------------------------
//
// Every byte decodes to one character. The five bytes the code page leaves
// unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) decode to the C1 control of the same
// number, as Windows does, so reading and writing back never changes a byte.

// Whether `c` has a byte in the code page. Text boxes refuse the characters that
// have none, so that what the user sees is what is written and printed.
bool canEncodeCp1252(char32_t c);

// Whether every character of `text` has a byte (a lone surrogate has none).
bool canEncodeCp1252(const QString& text);

// One byte per character, or nothing when some character has no byte.
std::optional<std::string> encodeCp1252(const QString& text);

QString decodeCp1252(std::string_view bytes);

// ---- File errors --------------------------------------------------------------

// Codes of the runtime's file errors, as the error box names them.
enum FileErrorCode : int {
    FileNotFound = 2,
    InvalidFilename = 3,
    TooManyOpenFiles = 4,
    FileAccessDenied = 5,
    ReadBeyondEndOfFile = 100,
    WriteFault = 29,
    ReadFault = 30,
    GeneralFailure = 31,
    DiskFull = 101,
    FileNotOpen = 103,
    InvalidNumericInput = 106,
};

// "File not found", ..., or "I/O error <code>" for any code without a text.
QString fileErrorMessage(int code);

// The code for a failed system call's errno.
int fileErrorCodeFromErrno(int err, bool writing);

// The system's own words for errno `err` ("No space left on device").
QString systemErrorText(int err);

// "message (file: cause)": a message followed by the file it is about and, when
// known, why the system refused it. `file` is shown by its name alone.
QString withCause(const QString& message, const std::filesystem::path& file, const QString& cause = {});

// A failed file operation. what() is fileErrorMessage(code()) in UTF-8; when the
// file and the system's errno are known, followed by both (see withCause).
class FileError : public std::runtime_error {
public:
    explicit FileError(int code);
    FileError(int code, const std::filesystem::path& file, int err);
    int code() const { return code_; }
    int systemError() const { return err_; } // the errno, or 0 when none is known

private:
    int code_;
    int err_ = 0;
};

// ---- Single-line text ---------------------------------------------------------

// `text` with every line break (CR LF, CR or LF) and tab turned into one space:
// what a single-line box makes of pasted text.
QString toSingleLine(const QString& text);

// Whether `text` holds a control character (C0, DEL or C1): no line of a text
// file and no single-line box may hold one.
bool hasControlCharacter(const QString& text);

// ---- Writing ------------------------------------------------------------------

// The lines' bytes, each followed by CR LF (the last one too).
std::string joinLinesCrLf(const std::vector<std::string>& lines);

// Replaces the whole content of `file` with `bytes`, or throws FileError (with the
// file and the system's cause) and leaves the old file (or its absence) exactly
// as it was. The bytes go to a temporary file in the same folder, are flushed to
// disk, and the temporary file is then renamed over `file`, so a reader never
// sees a half-written file.
//
// As careful editors do: a symbolic link stays a link and the file it points to
// (even one not there yet) receives the contents, replaced in its own folder. A
// new file gets the usual permissions (0666 less the umask); a replaced one
// keeps its permission bits but never set-user-id, set-group-id or sticky.
// When the folder refuses the temporary file but the file itself may be
// written, it is rewritten in place (truncated, written, flushed to disk).
void replaceFileContents(const std::filesystem::path& file, std::string_view bytes);

// ---- Reading ------------------------------------------------------------------

// Reads a text file line by line. Every operation that fails throws FileError.
// A line ends at CR LF, at a lone LF or at a lone CR; lines may be of any length.
// Reading past the end is not an error: it gives empty lines.
class TextFileReader {
public:
    // Opens `file` for reading (a folder, pipe or socket counts as access denied).
    explicit TextFileReader(const std::filesystem::path& file);
    ~TextFileReader();
    TextFileReader(const TextFileReader&) = delete;
    TextFileReader& operator=(const TextFileReader&) = delete;

    // The next line's bytes without its line end; empty past the end of the file.
    std::string readLineBytes();

    // The next line, decoded from the code page.
    QString readLine();

    // Whether every byte has been read.
    bool atEnd();

    // Closes the file; reading afterwards is an error. The destructor closes a
    // file still open, silently.
    void close();

private:
    bool fill();

    int fd_ = -1;
    std::filesystem::path file_;
    std::string buffer_;
    std::size_t pos_ = 0;
    bool eof_ = false;
};

} // namespace platform
