#include "convert/ConvertQueue.h"

namespace pelmo {

bool ConvertQueue::Add(const std::wstring& path, int row) {
  if (!paths_.insert(path).second) return false;
  entries_.push_back(Entry{path, row});
  return true;
}

void ConvertQueue::Pop() {
  if (entries_.empty()) return;
  paths_.erase(entries_.front().path);
  entries_.pop_front();
}

}  // namespace pelmo
