// The program's ConvertHost: the codec library through ImageCodec, the string table, the local
// clock, and the capture engine's last error text.
#pragma once

#include "convert/ConvertEngine.h"
#include "output/ImageCodec.h"

namespace pelmo {

class CScreenShot;

class CodecConvertHost : public ConvertHost {
 public:
  explicit CodecConvertHost(CScreenShot& screenShot) : screenShot_(screenShot) {}

  std::wstring Text(int id) override;
  LocalTimeFields Now() override;
  ConvertFileResult ConvertFile(const std::wstring& dest, const std::wstring& src,
                                const ProfileSectionSet& profile) override;
  void OnSaveFailed() override;

 private:
  CScreenShot& screenShot_;
  ImageCodec codec_{ImageCodec::JpegTables::kFitted};  // no changing state: safe from several workers at once
};

}  // namespace pelmo
