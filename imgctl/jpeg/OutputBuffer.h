// Appends bytes to the caller's vector. The vector is grown ahead of the write position in large
// steps so the entropy coder can write through a plain pointer; Finish() trims it to what was
// written and Abandon() restores the caller's original contents.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imgctl::jpeg {

class OutputBuffer {
 public:
  OutputBuffer(std::vector<uint8_t>& out, size_t expectedBytes);

  // Pointer at the write position with room for at least `bytes` more.
  uint8_t* Reserve(size_t bytes) {
    if (out_.size() - pos_ < bytes) Grow(bytes);
    return out_.data() + pos_;
  }
  // Marks the bytes up to `end` (a pointer from Reserve) as written.
  void CommitTo(const uint8_t* end) { pos_ = static_cast<size_t>(end - out_.data()); }

  void PutByte(uint8_t value) { *Reserve(1) = value, ++pos_; }
  void PutWord(uint16_t value) {
    PutByte(static_cast<uint8_t>(value >> 8));
    PutByte(static_cast<uint8_t>(value));
  }
  void PutBytes(const uint8_t* data, size_t count);

  void Finish() { out_.resize(pos_); }
  void Abandon() { out_.resize(start_); }
  size_t Written() const { return pos_ - start_; }

 private:
  void Grow(size_t bytes);

  std::vector<uint8_t>& out_;
  size_t start_;
  size_t pos_;
};

}  // namespace imgctl::jpeg
