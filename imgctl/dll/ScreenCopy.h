// Copying an area of the bitmap selected into a device context into a new image.
#pragma once

#include <windows.h>

#include "Image.h"

namespace imgctl {

// A registered 32-bit image (alpha undefined, so written opaque), or null.
Image* CopyFromDC(HDC dc, int x, int y, int width, int height);

}  // namespace imgctl
