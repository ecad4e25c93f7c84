// Entropy-coded segment writer: packs codes MSB first into a 64-bit accumulator and stores eight
// bytes at a time, inserting the 0x00 stuffing byte after every 0xFF.
#pragma once

#include <cstdint>
#include <cstring>

#include "OutputBuffer.h"

namespace imgctl::jpeg {

class BitWriter {
 public:
  explicit BitWriter(OutputBuffer& out) : out_(out), cur_(out.Reserve(kSlack)) {}
  BitWriter(const BitWriter&) = delete;
  BitWriter& operator=(const BitWriter&) = delete;

  // Makes room for `bytes` of output (stuffing included) before a burst of Put calls. The
  // constructor and each Reserve leave at least kSlack bytes.
  void Reserve(size_t bytes) {
    out_.CommitTo(cur_);
    cur_ = out_.Reserve(bytes + kSlack);
  }

  // Appends the low `count` bits of `bits` (count 0..32; higher bits of `bits` must be zero).
  void Put(uint32_t bits, int count) {
    if (count < free_) {
      free_ -= count;
      acc_ = (acc_ << count) | bits;
      return;
    }
    // Here 1 <= free_ <= count <= 32: free_ only drops below 32 through the branch above.
    const int rest = count - free_;
    const uint64_t full = (acc_ << free_) | (static_cast<uint64_t>(bits) >> rest);
    Store(full);
    // Bits of `bits` already stored stay above the new ones and are shifted out before the next
    // Store, which always shifts by exactly the bits added since.
    acc_ = bits;
    free_ = 64 - rest;
  }

  // Pads the last byte with one bits, writes everything out and commits it to the buffer.
  void Flush() {
    const int used = 64 - free_;
    if (used > 0) {
      const int pad = (8 - used % 8) % 8;
      uint64_t value = (acc_ << pad) | ((uint64_t{1} << pad) - 1);
      for (int n = (used + pad) / 8; n > 0; --n) {
        const auto byte = static_cast<uint8_t>(value >> ((n - 1) * 8));
        *cur_++ = byte;
        if (byte == 0xFF) *cur_++ = 0;
      }
    }
    acc_ = 0;
    free_ = 64;
    out_.CommitTo(cur_);
  }

 private:
  static constexpr size_t kSlack = 64;

  void Store(uint64_t value) {
    // Fast path unless some byte is 0xFF (the test may flag a false positive, never miss one).
    if ((value & 0x8080808080808080ull & ~(value + 0x0101010101010101ull)) == 0) {
      for (int i = 0; i < 8; ++i) cur_[i] = static_cast<uint8_t>(value >> (56 - 8 * i));
      cur_ += 8;
      return;
    }
    // Branch-free: always write the stuffing zero, keep it only after 0xFF.
    for (int i = 0; i < 8; ++i) {
      const auto byte = static_cast<uint8_t>(value >> (56 - 8 * i));
      cur_[0] = byte;
      cur_[1] = 0;
      cur_ += 1 + (byte == 0xFF);
    }
  }

  OutputBuffer& out_;
  uint8_t* cur_;
  uint64_t acc_ = 0;
  int free_ = 64;
};

}  // namespace imgctl::jpeg
