#include "optics/bulk_memory.h"

#include <sys/mman.h>

namespace {

std::size_t whole_huge_pages(std::size_t bytes) {
    return (bytes + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;
}

}  // namespace

void* allocate_bulk(std::size_t bytes) {
    if (bytes < kHugePageBytes)
        return ::operator new(bytes);
    const std::size_t size = whole_huge_pages(bytes);
    void* data = ::operator new(size, std::align_val_t(kHugePageBytes));
#ifdef MADV_HUGEPAGE
    madvise(data, size, MADV_HUGEPAGE);  // a refusal leaves ordinary pages, which is fine
#endif
    return data;
}

// The unsized deletes: clang leaves sized deallocation off by default.
void free_bulk(void* data, std::size_t bytes) noexcept {
    if (bytes < kHugePageBytes)
        ::operator delete(data);
    else
        ::operator delete(data, std::align_val_t(kHugePageBytes));
}
