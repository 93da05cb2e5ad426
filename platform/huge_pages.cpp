#include "platform/huge_pages.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace tavik {

void preferHugePages(const void* data, std::size_t bytes)
{
    constexpr std::size_t kHugePage = std::size_t(2) << 20;
    if (!data || bytes < kHugePage)
        return;
#ifdef MADV_HUGEPAGE
    // Only whole pages of the buffer itself are advised: the pages it shares
    // with its neighbours stay as they are.
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (start + page - 1) / page * page;
    const std::uintptr_t last = (start + bytes) / page * page;
    if (last > first)
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#endif
}

} // namespace tavik
