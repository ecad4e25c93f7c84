// Generated test and benchmark images, the same on every run.
#pragma once

#include "Image.h"

namespace imgctl::testing {

// An application screenshot: desktop, windows with title bars, toolbars, lines of text in a few
// anti-aliasing shades, icons. Fewer than 256 colours, like most screenshots of applications.
Image Screenshot(int width, int height);

// A screenshot with gradients and a photo inset: many thousands of colours.
Image RichScreenshot(int width, int height);

// A photograph-like image: smooth colour fields with fine grain. 24 bits.
Image Photo(int width, int height);

// Every pixel a different mix: x, y and a pattern, with alpha when `alpha`.
Image Pattern(int width, int height, int bpp, bool alpha = false);

}  // namespace imgctl::testing
