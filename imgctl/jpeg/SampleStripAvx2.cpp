// Colour conversion sixteen pixels a step with AVX2. Compiled for AVX2 like ForwardDctAvx2.cpp;
// nothing in it may be called before WideColourConversion has checked the processor.
#include "SampleStrip.h"

#if defined(__AVX2__) && !defined(IMGCTL_JPEG_NO_SIMD)
#include "Avx2Ops.h"
#include "ColourKernel.h"

namespace imgctl::jpeg::detail {

WideRowConverters WideColourConversion() {
  __builtin_cpu_init();
  if (!__builtin_cpu_supports("avx2")) return {};
  using Avx2 = colour::Kernel<Avx2Ops>;
  return {&Avx2::RowPair420, &Avx2::Row444};
}

}  // namespace imgctl::jpeg::detail

#else

namespace imgctl::jpeg::detail {
WideRowConverters WideColourConversion() { return {}; }
}  // namespace imgctl::jpeg::detail

#endif
