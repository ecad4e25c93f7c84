#include "convert/ConvertRules.h"

#include <cwchar>

namespace pelmo {
namespace {

constexpr const wchar_t* kExtensions[] = {L"bmp", L"jpg", L"gif", L"png"};

bool EqualsIgnoringAsciiCase(const std::wstring& a, const wchar_t* b) {
  size_t n = std::wcslen(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; ++i) {
    wchar_t c = a[i];
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    if (c != b[i]) return false;
  }
  return true;
}

}  // namespace

const wchar_t* ExtensionForImageType(int imageType) {
  if (imageType < 0 || imageType >= static_cast<int>(std::size(kExtensions))) return nullptr;
  return kExtensions[imageType];
}

bool AcceptsDroppedFile(const std::wstring& path) {
  const size_t dot = path.rfind(L'.');
  if (dot == std::wstring::npos) return false;
  const std::wstring ext = path.substr(dot + 1);
  for (const wchar_t* known : kExtensions) {
    if (EqualsIgnoringAsciiCase(ext, known)) return true;
  }
  return false;
}

std::optional<std::wstring> DestinationFileName(const std::wstring& source, int imageType) {
  const wchar_t* ext = ExtensionForImageType(imageType);
  std::wstring name = FileNamePart(source);
  if (ext == nullptr || name.empty()) return std::nullopt;
  const size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos) name.resize(dot);
  return name + L"." + ext;
}

std::wstring LogStamp(int year, int month, int day, int hour, int minute, int second) {
  wchar_t buf[96];
  std::swprintf(buf, std::size(buf), L"%d-%d-%d (%d:%d:%d) ", year, month, day, hour, minute, second);
  return buf;
}

}  // namespace pelmo
