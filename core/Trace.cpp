#include "Trace.h"

#include <windows.h>

namespace pelmo {

void Trace(const std::wstring& line) {
  const std::wstring text = L"pelmo: " + line;
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), n, nullptr, nullptr);
  // The A form passes the bytes through unchanged; the W form would squeeze them into the ANSI page.
  OutputDebugStringA(utf8.c_str());
}

}  // namespace pelmo
