// SSE2 paths are used where the compiler targets SSE2 (always on x86-64); defining
// IMGCTL_JPEG_NO_SIMD forces the portable code, which the tests also build and run.
#pragma once

#if defined(__SSE2__) && !defined(IMGCTL_JPEG_NO_SIMD)
#define IMGCTL_JPEG_SSE2 1
#include <emmintrin.h>
#else
#define IMGCTL_JPEG_SSE2 0
#endif
