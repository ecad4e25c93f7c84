#include "ColorDepthList.h"

namespace pelmo {

const std::vector<std::wstring>& ColorDepthEntries() {
  static const std::vector<std::wstring> entries{L"32ビットカラー", L"24ビットカラー", L"16ビットカラー", L"8ビットカラー"};
  return entries;
}

void FillColorDepthList(HWND combo) {
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  for (const std::wstring& e : ColorDepthEntries()) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.c_str()));
  SendMessageW(combo, CB_SETCURSEL, 0, 0);
}

}  // namespace pelmo
