// Inflating a zlib stream with the general decoder's inflater: it checks the stream's header but,
// like that decoder, not its checksum, and here it runs about three times as fast as the system
// zlib's inflate.
#pragma once

#include <cstddef>
#include <cstdint>

namespace imgctl {

// Inflates the zlib stream `in` into `out`; true only when it holds exactly `size` bytes.
bool InflateExactly(const uint8_t* in, size_t inSize, uint8_t* out, size_t size);

}  // namespace imgctl
