// Small helpers shared by the tests.
#pragma once

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
