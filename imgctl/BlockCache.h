// Large buffers (images, decoder buffers) reuse blocks freed a moment ago. A fresh block of
// several megabytes costs a page fault for every page on first touch; converting a batch of
// screenshots spent about a third of its time there. A few freed blocks are kept (bounded in
// count and bytes); small requests go straight to the C heap.
#pragma once

#include <cstddef>
#include <new>

namespace imgctl {

// Null when out of memory. `zeroed`: the block reads as zeros, as calloc gives it.
void* BlockAllocate(size_t n, bool zeroed);
// Keeps the contents up to the smaller size; null (and `p` untouched) when out of memory.
void* BlockReallocate(void* p, size_t n);
void BlockFree(void* p);
// Returns every kept block to the system.
void TrimBlockCache();

// For containers of image rows.
template <class T>
struct BlockAllocator {
  using value_type = T;
  BlockAllocator() = default;
  template <class U>
  BlockAllocator(const BlockAllocator<U>&) {}
  T* allocate(size_t n) {
    if (n > static_cast<size_t>(-1) / sizeof(T)) throw std::bad_alloc();
    void* p = BlockAllocate(n * sizeof(T), false);
    if (p == nullptr) throw std::bad_alloc();
    return static_cast<T*>(p);
  }
  void deallocate(T* p, size_t) { BlockFree(p); }
  template <class U>
  friend bool operator==(const BlockAllocator&, const BlockAllocator<U>&) {
    return true;
  }
};

}  // namespace imgctl
