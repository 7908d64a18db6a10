// Small helpers shared by the tests.
#pragma once

#include <sys/resource.h>

#include <exception>
#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// The repository's top folder (set by CTest; falls back to the current folder).
std::filesystem::path sourceDir();

// ../shared/emf-samples beside the repository, or an empty path where it is absent.
std::filesystem::path emfSamplesDir();

// A fresh empty folder under the system's temporary folder, removed by the destructor.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
private:
    std::filesystem::path path_;
};

// Makes `dir` the current working folder until destroyed (detail.fdg lives there).
class ScopedCwd {
public:
    explicit ScopedCwd(const std::filesystem::path& dir);
    ~ScopedCwd();
private:
    std::filesystem::path old_;
};

// Makes every file of this process stop growing at `bytes` (writes past it fail
// with EFBIG, as on a full disk) until destroyed.
class FileSizeLimit {
public:
    explicit FileSizeLimit(unsigned long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
private:
    rlimit old_{};
};

// A folder on a real, small file system that the full-disk test mounts for us
// (STELLARO_FULL_DISK_DIR), or an empty path when there is none.
std::filesystem::path fullDiskDir();

// Fills the file system of `dir` to the last byte with a file of its own.
void fillDisk(const std::filesystem::path& dir);

// The message of the E that `f` throws, or "" when it throws nothing; any other
// exception goes on to fail the test.
template <class E = std::exception, class F>
std::string errorOf(F&& f)
{
    try {
        f();
    } catch (const E& e) {
        return e.what();
    }
    return {};
}

std::vector<unsigned char> readFileBytes(const std::filesystem::path& p);
void writeFileBytes(const std::filesystem::path& p, const std::vector<unsigned char>& bytes);

} // namespace testsupport
