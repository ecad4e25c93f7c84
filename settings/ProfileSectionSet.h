// The fourteen sections of one profile, in the fixed order in which every whole-profile
// operation visits them (and in which they first appear in a new profile file).
#pragma once

#include <array>

#include "BmpProfile.h"
#include "DispProfile.h"
#include "GenProfile.h"
#include "GifProfile.h"
#include "JpgProfile.h"
#include "KeyProfile.h"
#include "NameProfile.h"
#include "OtherProfile.h"
#include "PngProfile.h"
#include "ResizeProfile.h"
#include "ScreenCutProfile.h"
#include "SndProfile.h"
#include "TimeProfile.h"
#include "TransProfile.h"

namespace pelmo {

inline constexpr size_t kSectionCount = 14;
using SectionPointers = std::array<CEventProfile*, kSectionCount>;

struct ProfileSectionSet {
  CGenProfile gen;              // OPTION
  CNameProfile name;            // FILE_NAME
  CKeyProfile key;              // KEY
  CSndProfile sound;            // SOUND
  CBmpProfile bmp;              // BMP
  CJpgProfile jpg;              // JPG
  CGifProfile gif;              // GIF
  CPngProfile png;              // PNG
  CResizeProfile resize;        // RESIZE
  CScreenCutProfile screenCut;  // SCREEN_CUT
  CDispProfile display;         // DISPLAY
  CTimeProfile time;            // TIME
  CTransProfile translate;      // TRANSLATE
  COtherProfile other;          // OTHER

  SectionPointers Pointers() {
    return {&gen, &name, &key, &sound, &bmp, &jpg, &gif, &png, &resize, &screenCut, &display, &time,
            &translate, &other};
  }
};

}  // namespace pelmo
