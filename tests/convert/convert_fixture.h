// A temporary program folder with source images made by ImageMagick, the conversion engine over
// the codec's portable core, and a scripted stand-in for the progress dialog that records what
// the user would see, in order.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "convert/ConvertEngine.h"
#include "convert/ConvertHostCore.h"
#include "convert/ConvertRun.h"
#include "core/Strings.h"
#include "core/TextCodec.h"

namespace pelmo::test {

inline std::string RunCommand(const std::string& cmd) {
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
  }
  return out;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

inline bool Exists(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0;
}

inline std::wstring LogText(int id) { return LoadResString(id); }

class ScriptedUi : public ConvertRunUi {
 public:
  // Answers to overwrite questions, in order (kNo when they run out).
  std::vector<OverwriteChoice> answers;
  // Request a cancel once this many files are done; confirm it when `confirm`.
  size_t cancelAfter = SIZE_MAX;
  std::vector<bool> confirmAnswers;
  std::vector<std::string> events;

  bool CancelRequested() override { return requested_; }
  bool ConfirmCancel() override {
    const bool stop = confirmIndex_ < confirmAnswers.size() ? confirmAnswers[confirmIndex_++] : true;
    events.push_back(stop ? "confirm stop" : "confirm go on");
    if (!stop) requested_ = false;
    return stop;
  }
  void ShowPosition(size_t index, size_t total, const std::wstring& dest) override {
    const size_t slash = dest.find_last_of(L"\\/");
    events.push_back("pos " + std::to_string(index) + "/" + std::to_string(total) + " " +
                     WideToUtf8(slash == std::wstring::npos ? dest : dest.substr(slash + 1)));
  }
  OverwriteChoice AskOverwrite(const std::wstring& name) override {
    events.push_back("ask " + WideToUtf8(name));
    return answerIndex_ < answers.size() ? answers[answerIndex_++] : OverwriteChoice::kNo;
  }
  void Advance(size_t done, size_t total) override {
    events.push_back("done " + std::to_string(done));
    if (done == cancelAfter) requested_ = true;
  }

 private:
  bool requested_ = false;
  size_t answerIndex_ = 0, confirmIndex_ = 0;
};

class ConvertFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/pelmo-convert-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    root_ = tmpl;
    ASSERT_EQ(::mkdir((root_ + "/prog").c_str(), 0777), 0);
    ASSERT_EQ(::mkdir((root_ + "/in").c_str(), 0777), 0);
    host_ = std::make_unique<CoreConvertHost>(LogText);
    engine_ = std::make_unique<ConvertEngine>(profile_, *host_, W(root_ + "/prog") + L"\\");
  }
  void TearDown() override { RunCommand("rm -rf '" + root_ + "'"); }

  static std::wstring W(const std::string& s) { return Utf8ToWide(s); }
  std::string In(const std::string& name) const { return root_ + "/in/" + name; }
  std::string Prog(const std::string& name) const { return root_ + "/prog/" + name; }
  // The path as the tool gets it from a drop: backslash before the name.
  std::wstring Dropped(const std::string& name) const { return W(root_ + "/in") + L"\\" + W(name); }

  // A picture written by ImageMagick (its format from the extension).
  void MakeImage(const std::string& name, const std::string& spec = "gradient:red-blue", int w = 64, int h = 48) {
    RunCommand("/usr/bin/convert -size " + std::to_string(w) + "x" + std::to_string(h) + " " + spec + " '" +
               In(name) + "' 2>&1");
    ASSERT_TRUE(Exists(In(name))) << name;
  }

  void Queue(const std::vector<std::string>& names) {
    for (const std::string& n : names) engine_->Add(Dropped(n), static_cast<int>(engine_->Count()));
  }

  std::vector<ConvertMark> Run(ScriptedUi& ui, unsigned workers = 0) { return RunConversion(*engine_, ui, workers); }

  // identify's answer for a file.
  static std::string Identify(const std::string& path, const std::string& format) {
    return RunCommand("/usr/bin/identify -format '" + format + "' '" + path + "' 2>/dev/null");
  }

  // The log's lines without their time stamps, as UTF-8.
  std::vector<std::string> LogLines() const {
    std::string bytes = ReadBytes(Prog("log.txt"));
    std::vector<std::string> lines;
    if (bytes.empty()) return lines;
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF") << "the log starts with the UTF-8 mark";
    bytes.erase(0, 3);
    size_t pos = 0;
    while (pos < bytes.size()) {
      size_t end = bytes.find("\r\n", pos);
      EXPECT_NE(end, std::string::npos) << "every line ends in CR LF";
      if (end == std::string::npos) break;
      std::string line = bytes.substr(pos, end - pos);
      const size_t stamp = line.find(") ");
      lines.push_back(stamp == std::string::npos ? line : line.substr(stamp + 2));
      pos = end + 2;
    }
    return lines;
  }

  std::string root_;
  ProfileSectionSet profile_;
  std::unique_ptr<CoreConvertHost> host_;
  std::unique_ptr<ConvertEngine> engine_;
};

inline std::string Utf8(int id) { return WideToUtf8(LogText(id)); }

}  // namespace pelmo::test
