// A ConvertHost over the codec's portable core, for the native tests and benchmarks: the same
// steps as the program's codec wrapper (load, resize, the format's depth and writer options).
#pragma once

#include <functional>
#include <string>

#include "convert/ConvertEngine.h"

namespace pelmo {

class CoreConvertHost : public ConvertHost {
 public:
  using TextSource = std::function<std::wstring(int)>;
  explicit CoreConvertHost(TextSource texts = {}) : texts_(std::move(texts)) {}

  std::wstring Text(int id) override;
  LocalTimeFields Now() override;
  ConvertFileResult ConvertFile(const std::wstring& dest, const std::wstring& src,
                                const ProfileSectionSet& profile) override;
  void OnSaveFailed() override { ++saveFailures_; }

  int saveFailures() const { return saveFailures_; }

 private:
  TextSource texts_;
  int saveFailures_ = 0;
};

}  // namespace pelmo
