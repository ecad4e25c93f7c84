// A temporary program folder for settings tests, on Linux and under Wine alike: the settings
// read and write beside "the executable", which the fixture points at the folder.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "core/AppDirectory.h"
#include "core/TextCodec.h"

namespace pelmo::test {

namespace fs = std::filesystem;

// The file-system path of a settings path (which uses backslashes, as on Windows).
inline fs::path Fs(const std::wstring& path) {
#ifdef _WIN32
  return fs::path(path);
#else
  std::wstring p = path;
  for (auto& c : p) {
    if (c == L'\\') c = L'/';
  }
  return fs::path(WideToUtf8(p));
#endif
}

inline void WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(Fs(path), std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline std::string ReadBytes(const std::wstring& path) {
  std::ifstream in(Fs(path), std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The file's text as the store decodes it.
inline std::wstring ReadText(const std::wstring& path) { return DecodeIniText(ReadBytes(path)); }

inline bool Exists(const std::wstring& path) { return fs::exists(Fs(path)); }
inline bool IsDirectoryPath(const std::wstring& path) { return fs::is_directory(Fs(path)); }

inline void MakeReadOnly(const std::wstring& path, bool readOnly) {
  fs::permissions(Fs(path), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  readOnly ? fs::perm_options::remove : fs::perm_options::add);
}

class SettingsFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<int> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    fs::path dir = fs::temp_directory_path() /
                   ("pelmo-settings-" + std::to_string(stamp) + "-" + std::to_string(++counter));
    fs::create_directories(dir);
    dir_ = dir;
    app_ = dir.wstring();
#ifdef _WIN32
    app_ += L"\\";
#else
    app_ += L"/";
#endif
    SetAppDirectoryForTesting(app_);
  }

  void TearDown() override {
    std::error_code ec;
    // Read-only files a test left behind must not stop the clean-up.
    for (auto& e : fs::recursive_directory_iterator(dir_, ec)) {
      fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(dir_, ec);
  }

  // A path in the program folder; "Profile\\x.ini" style names work on both systems.
  std::wstring App(const std::wstring& name) const { return app_ + name; }

  fs::path dir_;
  std::wstring app_;
};

}  // namespace pelmo::test
