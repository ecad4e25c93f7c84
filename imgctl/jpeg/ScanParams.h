// One scan of a JPEG file: which components it carries, its spectral band and bit position.
#pragma once

#include <array>

namespace imgctl::jpeg {

struct ScanParams {
  int componentCount = 3;
  std::array<int, 3> components{0, 1, 2};  // indices into FrameLayout::components
  int ss = 0;  // spectral selection start and end (zigzag positions)
  int se = 63;
  int ah = 0;  // successive approximation: previous and current point transform
  int al = 0;
};

}  // namespace imgctl::jpeg
