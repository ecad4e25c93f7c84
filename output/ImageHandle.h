// The handle of an image held by the codec library (imgctl.dll); 0 stands for no image.
#pragma once

extern "C" {
typedef struct ImgctlImage* HIMGCTL;
}

namespace pelmo {

using ImageHandle = HIMGCTL;

}  // namespace pelmo
