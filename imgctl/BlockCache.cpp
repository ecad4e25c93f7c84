#include "BlockCache.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

#if defined(__SANITIZE_ADDRESS__)
#define IMGCTL_BLOCK_CACHE 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer)
#define IMGCTL_BLOCK_CACHE 0
#endif
#endif
#ifndef IMGCTL_BLOCK_CACHE
#define IMGCTL_BLOCK_CACHE 1  // sanitizers keep every block fresh, so they see every misuse
#endif

namespace imgctl {
namespace {

// Each block starts with its capacity; the caller's bytes follow, 16-byte aligned.
constexpr size_t kHeader = 16;
constexpr size_t kCachedFrom = size_t{1} << 20;
constexpr int kMaxBlocks = 8;
constexpr size_t kMaxBytes = size_t{96} << 20;

size_t& Capacity(void* block) { return *static_cast<size_t*>(block); }

struct Cache {
  std::mutex mutex;
  void* blocks[kMaxBlocks] = {};
  int count = 0;
  size_t bytes = 0;
};

Cache& TheCache() {
  static Cache* cache = new Cache;  // never destroyed: blocks may be freed during exit
  return *cache;
}

// A kept block of at least n bytes and not more than twice that, the smallest such.
void* TakeCached(size_t n) {
#if IMGCTL_BLOCK_CACHE
  Cache& c = TheCache();
  std::lock_guard lock(c.mutex);
  int best = -1;
  for (int i = 0; i < c.count; ++i) {
    const size_t cap = Capacity(c.blocks[i]);
    if (cap >= n && cap / 2 <= n && (best < 0 || cap < Capacity(c.blocks[best]))) best = i;
  }
  if (best < 0) return nullptr;
  void* block = c.blocks[best];
  c.blocks[best] = c.blocks[--c.count];
  c.bytes -= Capacity(block);
  return block;
#else
  (void)n;
  return nullptr;
#endif
}

// Keeps the block if there is room, making room by dropping the oldest; frees it otherwise.
void Release(void* block) {
#if IMGCTL_BLOCK_CACHE
  const size_t cap = Capacity(block);
  if (cap >= kCachedFrom && cap <= kMaxBytes) {
    Cache& c = TheCache();
    void* drop[kMaxBlocks];
    int dropped = 0;
    {
      std::lock_guard lock(c.mutex);
      while (c.count > 0 && (c.count == kMaxBlocks || c.bytes + cap > kMaxBytes)) {
        drop[dropped++] = c.blocks[0];
        c.bytes -= Capacity(c.blocks[0]);
        std::memmove(c.blocks, c.blocks + 1, sizeof(void*) * static_cast<size_t>(--c.count));
      }
      c.blocks[c.count++] = block;
      c.bytes += cap;
    }
    for (int i = 0; i < dropped; ++i) std::free(drop[i]);
    return;
  }
#endif
  std::free(block);
}

}  // namespace

void* BlockAllocate(size_t n, bool zeroed) {
  if (n > static_cast<size_t>(-1) - kHeader) return nullptr;
  void* block = n >= kCachedFrom ? TakeCached(n) : nullptr;
  if (block != nullptr) {
    if (zeroed) std::memset(static_cast<char*>(block) + kHeader, 0, n);
  } else {
    block = zeroed ? std::calloc(1, n + kHeader) : std::malloc(n + kHeader);
    if (block == nullptr) return nullptr;
    Capacity(block) = n;
  }
  return static_cast<char*>(block) + kHeader;
}

void* BlockReallocate(void* p, size_t n) {
  if (p == nullptr) return BlockAllocate(n, false);
  void* block = static_cast<char*>(p) - kHeader;
  const size_t cap = Capacity(block);
  if (n <= cap) return p;
  void* grown = BlockAllocate(n, false);
  if (grown == nullptr) return nullptr;
  std::memcpy(grown, p, cap);
  BlockFree(p);
  return grown;
}

void BlockFree(void* p) {
  if (p != nullptr) Release(static_cast<char*>(p) - kHeader);
}

void TrimBlockCache() {
  Cache& c = TheCache();
  void* drop[kMaxBlocks];
  int dropped = 0;
  {
    std::lock_guard lock(c.mutex);
    for (int i = 0; i < c.count; ++i) drop[dropped++] = c.blocks[i];
    c.count = 0;
    c.bytes = 0;
  }
  for (int i = 0; i < dropped; ++i) std::free(drop[i]);
}

}  // namespace imgctl
