#include "OutputBuffer.h"

#include <algorithm>
#include <cstring>

namespace imgctl::jpeg {

OutputBuffer::OutputBuffer(std::vector<uint8_t>& out, size_t expectedBytes)
    : out_(out), start_(out.size()), pos_(out.size()) {
  out_.resize(start_ + expectedBytes);
}

void OutputBuffer::PutBytes(const uint8_t* data, size_t count) {
  std::memcpy(Reserve(count), data, count);
  pos_ += count;
}

void OutputBuffer::Grow(size_t bytes) {
  const size_t written = pos_ - start_;
  out_.resize(pos_ + std::max(bytes, written / 2 + 65536));
}

}  // namespace imgctl::jpeg
