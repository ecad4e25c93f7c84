#include "TextCodec.h"

#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#endif

namespace pelmo {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Appends one code point to wide text in the platform's wide encoding.
void AppendCodePoint(std::wstring& out, char32_t cp) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
      return;
    }
  }
  out.push_back(static_cast<wchar_t>(cp));
}

// Walks wide text as code points.
template <typename F>
void ForEachCodePoint(std::wstring_view text, F&& f) {
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = static_cast<char32_t>(text[i]);
    if constexpr (sizeof(wchar_t) == 2) {
      c &= 0xFFFF;
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
        char32_t lo = static_cast<char32_t>(text[i + 1]) & 0xFFFF;
        if (lo >= 0xDC00 && lo <= 0xDFFF) {
          f(0x10000 + ((c - 0xD800) << 10) + (lo - 0xDC00));
          ++i;
          continue;
        }
      }
    }
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = kReplacement;
    f(c);
  }
}

std::wstring DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::wstring out;
  out.reserve(bytes.size() / 2);
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  size_t units = bytes.size() / 2;
  for (size_t i = 0; i < units; ++i) {
    char32_t u = bigEndian ? (p[2 * i] << 8) | p[2 * i + 1] : p[2 * i] | (p[2 * i + 1] << 8);
    if constexpr (sizeof(wchar_t) == 2) {
      out.push_back(static_cast<wchar_t>(u));
    } else {
      if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
        char32_t lo = bigEndian ? (p[2 * i + 2] << 8) | p[2 * i + 3] : p[2 * i + 2] | (p[2 * i + 3] << 8);
        if (lo >= 0xDC00 && lo <= 0xDFFF) {
          out.push_back(static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00)));
          ++i;
          continue;
        }
      }
      if (u >= 0xD800 && u <= 0xDFFF) u = kReplacement;
      out.push_back(static_cast<wchar_t>(u));
    }
  }
  return out;
}

std::wstring DecodeAnsi(std::string_view bytes) {
#ifdef _WIN32
  if (bytes.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
  return out;
#else
  bool valid = false;
  std::wstring out = Utf8ToWide(bytes, &valid);
  if (valid) return out;
  out.clear();
  for (unsigned char c : bytes) out.push_back(static_cast<wchar_t>(c));
  return out;
#endif
}

}  // namespace

std::wstring Utf8ToWide(std::string_view bytes, bool* valid) {
  std::wstring out;
  out.reserve(bytes.size());
  bool ok = true;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  size_t n = bytes.size();
  for (size_t i = 0; i < n;) {
    unsigned char b = p[i];
    int len = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
    char32_t cp = 0;
    if (len == 0 || i + len > n) {
      ok = false;
      AppendCodePoint(out, kReplacement);
      ++i;
      continue;
    }
    cp = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
    bool good = true;
    for (int k = 1; k < len; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) {
        good = false;
        break;
      }
      cp = (cp << 6) | (p[i + k] & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (!good || cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      ok = false;
      AppendCodePoint(out, kReplacement);
      ++i;
      continue;
    }
    AppendCodePoint(out, cp);
    i += len;
  }
  if (valid) *valid = ok;
  return out;
}

std::string WideToUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  ForEachCodePoint(text, [&](char32_t c) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  });
  return out;
}

std::wstring DecodeIniText(std::string_view bytes) {
  auto starts = [&](std::string_view bom) { return bytes.substr(0, bom.size()) == bom; };
  if (starts("\xEF\xBB\xBF")) return Utf8ToWide(bytes.substr(3));
  if (starts("\xFF\xFE")) return DecodeUtf16(bytes.substr(2), false);
  if (starts("\xFE\xFF")) return DecodeUtf16(bytes.substr(2), true);
  // Notepad saves UTF-8 without a mark; text in the ANSI code page (Shift-JIS above all) is
  // almost never well-formed UTF-8 once it holds a byte above 0x7F.
  bool wide = false;
  for (char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      wide = true;
      break;
    }
  }
  if (wide) {
    bool valid = false;
    std::wstring text = Utf8ToWide(bytes, &valid);
    if (valid) return text;
  }
  return DecodeAnsi(bytes);
}

std::string EncodeIniText(std::wstring_view text) {
  std::string out = "\xFF\xFE";
  out.reserve(2 + text.size() * 2);
  auto put = [&](char32_t u) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>((u >> 8) & 0xFF));
  };
  if constexpr (sizeof(wchar_t) == 2) {
    for (wchar_t c : text) put(static_cast<char32_t>(c) & 0xFFFF);
  } else {
    ForEachCodePoint(text, [&](char32_t c) {
      if (c >= 0x10000) {
        c -= 0x10000;
        put(0xD800 + (c >> 10));
        put(0xDC00 + (c & 0x3FF));
      } else {
        put(c);
      }
    });
  }
  return out;
}

}  // namespace pelmo
