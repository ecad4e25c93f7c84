// What the key field records: the keys held together, in ascending order without duplicates, at
// most `maximum` of them. Portable; CKeyEdit feeds it from the key input source.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pelmo {

class KeyCodeList {
 public:
  explicit KeyCodeList(int32_t maximum) : maximum_(maximum == 0 ? 1 : maximum) {}

  int32_t GetCode(size_t i) const { return i < codes_.size() ? codes_[i] : 0; }
  size_t size() const { return codes_.size(); }
  int32_t maximum() const { return maximum_; }
  // 0 is ignored; past the maximum nothing is added.
  void AddCode(int32_t code);
  void Clear() { codes_.clear(); }

  // A key-down from the key input source. isHeld(code) reads the source's held-key table;
  // cursorInside tells whether the mouse cursor is over the field. True when the list changed.
  //  - the left button never counts (it is how the user clicks into the field);
  //  - keys released since the last key-down are dropped first, so a new combination starts;
  //  - a key beyond the maximum is ignored;
  //  - the right, middle and side buttons count only over the field.
  bool OnKeyDown(int32_t code, const std::function<bool(int32_t)>& isHeld, bool cursorInside);

  // The names joined by " & ", or the prompt when the list is empty.
  std::wstring Text() const;

 private:
  int32_t maximum_;
  std::vector<int32_t> codes_;
};

// Shown in an empty key field that does not have the focus.
inline constexpr wchar_t kKeyFieldPrompt[] = L"ここを左クリックしてキーを入力";

}  // namespace pelmo
