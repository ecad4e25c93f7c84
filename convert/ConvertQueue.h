// The ordered list of files the conversion tool will convert. Each entry remembers the list row
// that shows it, so the marks of a later run land on the right rows even after a cancelled run
// left only some of the files queued.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <unordered_set>

namespace pelmo {

class ConvertQueue {
 public:
  struct Entry {
    std::wstring path;
    int row = 0;
  };

  // Appends the path unless the very same path (compared exactly, case included) is queued.
  bool Add(const std::wstring& path, int row);
  void Clear() {
    entries_.clear();
    paths_.clear();
  }
  size_t Count() const { return entries_.size(); }
  bool Empty() const { return entries_.empty(); }
  const Entry& Head() const { return entries_.front(); }
  const Entry& At(size_t i) const { return entries_[i]; }
  // Removes the head entry; nothing when empty.
  void Pop();

 private:
  std::deque<Entry> entries_;
  std::unordered_set<std::wstring> paths_;  // a drop of many thousand files stays linear
};

}  // namespace pelmo
