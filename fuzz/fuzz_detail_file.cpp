// libFuzzer target: the page binding's reading of detail.fdg, from a file in
// memory. Whatever the bytes, it fills exactly the thirteen value labels, in
// order, each with one line that holds no line break, and never fails on
// content (only a failing file operation may raise an error).
#include "pages/detail_binding.h"
#include "pages/page_design.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {
int memfd = -1;
std::string path;
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    memfd = memfd_create("detail", 0);
    if (memfd < 0)
        std::abort();
    path = "/proc/self/fd/" + std::to_string(memfd);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (ftruncate(memfd, 0) != 0 || pwrite(memfd, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();
    const auto labels = pages::detailLineLabels();
    std::size_t filled = 0;
    pages::readDetailFile(path, nullptr, [&](int label, const QString& text) {
        if (filled >= labels.size() || label != labels[filled] || text.contains(u'\r') || text.contains(u'\n'))
            std::abort();
        ++filled;
    });
    if (filled != labels.size())
        std::abort();
    return 0;
}
