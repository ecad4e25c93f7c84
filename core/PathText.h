// Parts of a Windows path as text (backslash-separated), for what lists and questions show.
#pragma once

#include <string>

namespace pelmo {

// The text after the last backslash: the whole path when it has none, empty when it ends in one.
inline std::wstring FileNamePart(const std::wstring& path) {
  const size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace pelmo
