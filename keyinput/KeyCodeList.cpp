#include "KeyCodeList.h"

#include <algorithm>

#include "KeyNames.h"

namespace pelmo {

void KeyCodeList::AddCode(int32_t code) {
  if (code == 0) return;
  if (static_cast<int64_t>(codes_.size()) >= maximum_) return;
  codes_.push_back(code);
  std::sort(codes_.begin(), codes_.end());
  codes_.erase(std::unique(codes_.begin(), codes_.end()), codes_.end());
}

bool KeyCodeList::OnKeyDown(int32_t code, const std::function<bool(int32_t)>& isHeld, bool cursorInside) {
  if (code == 1) return false;
  bool changed = false;
  if (!codes_.empty()) {
    const auto released = [&](int32_t c) { return c >= 0 && c <= 254 && !isHeld(c); };
    const size_t before = codes_.size();
    codes_.erase(std::remove_if(codes_.begin(), codes_.end(), released), codes_.end());
    changed = codes_.size() != before;
  }
  if (static_cast<int64_t>(codes_.size()) >= maximum_) return changed;
  if ((code == 2 || code == 4 || code == 5 || code == 6) && !cursorInside) return changed;
  const size_t before = codes_.size();
  AddCode(code);
  return changed || codes_.size() != before;
}

std::wstring KeyCodeList::Text() const {
  if (codes_.empty()) return kKeyFieldPrompt;
  std::wstring text;
  for (size_t i = 0; i < codes_.size(); ++i) {
    if (i) text += L" & ";
    text += KeyName(codes_[i]);
  }
  return text;
}

}  // namespace pelmo
