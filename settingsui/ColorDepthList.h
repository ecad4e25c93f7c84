// The four colour-depth entries of the BMP and PNG pages.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace pelmo {

const std::vector<std::wstring>& ColorDepthEntries();  // "32ビットカラー" .. "8ビットカラー"
void FillColorDepthList(HWND combo);

}  // namespace pelmo
