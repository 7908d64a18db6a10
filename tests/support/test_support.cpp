#include "support/test_support.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace testsupport {

fs::path fullDiskDir()
{
    const char* d = std::getenv("STELLARO_FULL_DISK_DIR");
    return d ? fs::path(d) : fs::path();
}

void fillDisk(const fs::path& dir)
{
    std::FILE* f = std::fopen((dir / "filler").c_str(), "wb");
    if (!f)
        throw std::runtime_error("cannot create the filler file");
    static const char block[4096] = {};
    std::setvbuf(f, nullptr, _IONBF, 0);
    while (std::fwrite(block, 1, sizeof block, f) == sizeof block) {
    }
    while (std::fwrite(block, 1, 1, f) == 1) {
    }
    std::fclose(f);
}

FileSizeLimit::FileSizeLimit(unsigned long bytes)
{
    ::getrlimit(RLIMIT_FSIZE, &old_);
    // The signal would end the process; the failing write is what a full disk gives.
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, old_.rlim_max};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
        throw std::runtime_error("cannot limit the file size");
}

FileSizeLimit::~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &old_); }

fs::path sourceDir()
{
    if (const char* s = std::getenv("STELLARO_SOURCE_DIR"))
        return fs::path(s);
    return fs::current_path();
}

fs::path emfSamplesDir()
{
    fs::path p = sourceDir().parent_path() / "shared" / "emf-samples";
    std::error_code ec;
    return fs::is_directory(p, ec) ? p : fs::path();
}

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "stellaro-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    // A test may have made the folder read-only; give write access back first.
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

ScopedCwd::ScopedCwd(const fs::path& dir) : old_(fs::current_path()) { fs::current_path(dir); }
ScopedCwd::~ScopedCwd()
{
    std::error_code ec;
    fs::current_path(old_, ec);
}

std::vector<unsigned char> readFileBytes(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + p.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFileBytes(const fs::path& p, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + p.string());
}

} // namespace testsupport
