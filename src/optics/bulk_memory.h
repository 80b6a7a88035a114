// Memory for the large arrays of a Draw, which are written in full before they are read. They
// are not zero-filled first, and fresh memory is backed by 2 MiB pages where the system allows,
// so that its first write faults once per 2 MiB instead of once per 4 KiB: on a virtual machine
// a page fault can cost as much as the optics of a few hundred pixels.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

inline constexpr std::size_t kHugePageBytes = std::size_t(2) << 20;

// Arrays of at least a huge page start on a huge page boundary and fill whole huge pages, and
// the kernel is asked to back those by huge pages when they are first written (only advice:
// memory already in use keeps its pages, and a system without huge pages ignores it).
void* allocate_bulk(std::size_t bytes);
void free_bulk(void* data, std::size_t bytes) noexcept;

template <class T>
struct BulkAllocator {
    using value_type = T;

    BulkAllocator() = default;
    template <class U>
    BulkAllocator(const BulkAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n > std::size_t(-1) / sizeof(T))
            throw std::bad_array_new_length();
        return static_cast<T*>(allocate_bulk(n * sizeof(T)));
    }
    void deallocate(T* data, std::size_t n) noexcept { free_bulk(data, n * sizeof(T)); }

    // An element made without a value is left unset: whoever fills the array writes it.
    template <class U>
    void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>) {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }

    friend bool operator==(const BulkAllocator&, const BulkAllocator&) { return true; }
};

template <class T>
using BulkVector = std::vector<T, BulkAllocator<T>>;
