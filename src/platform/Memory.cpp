#include "Memory.h"

#include <cstdint>

#ifdef __linux__
#include <sys/mman.h>
#endif

void AdviseHugePages(const void* data, std::size_t bytes)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t seite = 2u << 20;
    const auto anfang = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t von = (anfang + seite - 1) & ~(seite - 1);
    const std::uintptr_t bis = (anfang + bytes) & ~(seite - 1);
    if (data && bis > von)
        ::madvise(reinterpret_cast<void*>(von), bis - von, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}
