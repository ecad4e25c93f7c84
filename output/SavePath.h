// The save path of a capture on Windows: the template expanded with the clock and the captured
// window's title, the save folder checked and the missing folders created.
#pragma once
#ifdef _WIN32
#include <windows.h>

#include <cstdint>
#include <string>

#include "core/CaptureEvents.h"
#include "output/FileNameTemplate.h"

namespace pelmo {

class CGenProfile;
class CNameProfile;

// What one save path is built from: values of the current profile and of the capture.
struct SavePathRequest {
  std::wstring saveFolder;        // OPTION "SaveFolder"
  std::wstring fileNameTemplate;  // FILE_NAME "FileName"
  int32_t imageType = 1;          // OPTION "ImageType", 0..3
  int32_t currentNumber = 0;      // FILE_NAME "CurrentNumber"
  int32_t digitCount = 1;         // FILE_NAME "DigitCount"
  int32_t windowNameLength = 16;  // FILE_NAME "WindowNameLength"
  std::wstring profileName;       // name of the current profile ("%p")
  CaptureEventId event = kEventDesktop;  // "%v"
  HWND window = nullptr;          // the window the capture is about ("%w")
};

struct SavePathResult {
  // -1: failed, messageId tells why (201, 203 or 204); 0: path ready, running number not used;
  // 1: path ready and the running number used, so it must be advanced after the save.
  int status = -1;
  int messageId = 0;
  std::wstring path;
};

// The "%w" text of window: string 2200 for the desktop window, otherwise its title (asked without
// waiting on a hung window), "_Unknown" when it has none, cut and cleaned as WindowNameText does.
std::wstring GetWindowNameText(HWND window, int32_t windowNameLength);

// The values the placeholders insert, with one clock reading for the whole path, so that the
// folder and the file name of one capture never straddle a second, minute or day.
PlaceholderValues ReadPlaceholderValues(const SavePathRequest& request);

// The save folder plus the expanded folder part of the template. -1 with messageId 201 when the
// save folder is not an existing folder; else kRunningNumberUsed or 0.
int BuildSaveDirectory(std::wstring& directory, const SavePathRequest& request,
                       const PlaceholderValues& values, int& messageId);

// Appends the expanded file name and extension to path. -1 with messageId 204 when the template
// has no file part; else kRunningNumberUsed or 0.
int BuildFileNamePart(std::wstring& path, const SavePathRequest& request,
                      const PlaceholderValues& values, int& messageId);

// The full path of the file to write; the folders on the way exist when it succeeds. Any Unicode
// characters and any length work (folders are made with the wide functions, long paths with the
// "\\?\" form). Nothing is created when it fails with 201 or 204.
SavePathResult BuildSavePath(const SavePathRequest& request);

// The request for one capture from the current profile: OPTION gives the save folder and the image
// type, FILE_NAME the template and the running number.
SavePathRequest MakeSavePathRequest(const CGenProfile& options, const CNameProfile& names,
                                    const std::wstring& profileName, CaptureEventId event, HWND window);

}  // namespace pelmo
#endif
