// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "startupheap.h"

#include <cstdint>
#include <cstdlib> // defines __GLIBC__ where glibc is the C library

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#endif

void prepareStartupHeap()
{
#if defined(__GLIBC__) && defined(MADV_HUGEPAGE)
    // The store alone is 1.6 MB of names that the start must fill, and each
    // block of that size would otherwise be a mapping of its own, faulted in
    // 4 KiB at a time: some 1,000 faults, and in a virtual machine a fault can
    // cost 20 µs. Instead the heap holds such blocks. It is grown once, by
    // more than a start needs, and that room is marked for 2 MiB pages, so
    // a handful of faults back all of it. Freed room stays in the heap for
    // the next roster.
    constexpr std::size_t Room = std::size_t(8) << 20;
    constexpr std::uintptr_t HugePage = std::uintptr_t(2) << 20;
    mallopt(M_MMAP_THRESHOLD, int(2 * Room));
    mallopt(M_TRIM_THRESHOLD, int(4 * Room));
    void *block = std::malloc(Room);
    if (!block)
        return;
    const auto begin = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t first = (begin + HugePage - 1) & ~(HugePage - 1);
    const std::uintptr_t last = (begin + Room) & ~(HugePage - 1);
    if (last > first)
        madvise(reinterpret_cast<void *>(first), last - first, MADV_HUGEPAGE);
    std::free(block);
#endif
}
