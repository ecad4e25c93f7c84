// Hand-edited INI files as arbitrary bytes: decoding, parsing and editing must never crash, an
// edited key must read back as written, and writing a document out and reading it back must
// give the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/IniDocument.h"
#include "core/TextCodec.h"

using namespace pelmo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  IniDocument doc = IniDocument::Parse(DecodeIniText(bytes));

  // The last few input bytes choose a section, a key and a value to write.
  std::wstring section = size > 0 ? std::wstring(1, static_cast<wchar_t>(L'A' + data[0] % 4)) : L"A";
  std::wstring key = size > 1 ? L"k" + std::to_wstring(data[1] % 8) : L"k";
  std::wstring value = DecodeIniText(bytes.substr(size / 2, std::min<size_t>(size - size / 2, 40)));
  doc.Set(section, key, value);
  const std::wstring* back = doc.Find(section, key);
  if (!back) std::abort();

  const std::wstring text = doc.Serialize();
  const std::string encoded = EncodeIniText(text);
  IniDocument again = IniDocument::Parse(DecodeIniText(encoded));
  if (again.Serialize() != text) std::abort();
  const std::wstring* back2 = again.Find(section, key);
  if (!back2 || *back2 != *back) std::abort();
  return 0;
}
