// The native build's file operations: the portable settings code runs on Linux for its tests.
#include "FileOps.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cwctype>

#include "core/TextCodec.h"

namespace pelmo {
namespace {

constexpr off_t kMaxIniFileBytes = 16 * 1024 * 1024;

std::string Native(const std::wstring& path) {
  std::wstring p = path;
  for (auto& c : p) {
    if (c == L'\\') c = L'/';
  }
  return WideToUtf8(p);
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

FileReadResult ReadWholeFile(const std::wstring& path, std::string& bytes) {
  bytes.clear();
  const std::string native = Native(path);
  struct stat st{};
  if (::stat(native.c_str(), &st) != 0) {
    return (errno == ENOENT || errno == ENOTDIR) ? FileReadResult::kMissing : FileReadResult::kFailed;
  }
  if (!S_ISREG(st.st_mode) || st.st_size > kMaxIniFileBytes) return FileReadResult::kFailed;
  int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return FileReadResult::kFailed;
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      bytes.clear();
      return FileReadResult::kFailed;
    }
    if (n == 0) break;
    bytes.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return FileReadResult::kOk;
}

bool ReplaceFileContents(const std::wstring& path, const std::string& bytes) {
  const std::string native = Native(path);
  struct stat st{};
  if (::stat(native.c_str(), &st) == 0) {
    // Without the owner's write bit the file counts as read-only, as on Windows.
    if (!S_ISREG(st.st_mode) || (st.st_mode & S_IWUSR) == 0) return false;
  }
  const std::string temp = native + ".new";
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (!ok || ::rename(temp.c_str(), native.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

bool IsRegularFile(const std::wstring& path) {
  struct stat st{};
  return ::stat(Native(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsDirectory(const std::wstring& path) {
  struct stat st{};
  return ::stat(Native(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateOneDirectory(const std::wstring& path) {
  return ::mkdir(Native(path).c_str(), 0755) == 0 || IsDirectory(path);
}

bool RemoveFile(const std::wstring& path) { return ::unlink(Native(path).c_str()) == 0; }

bool RenameFile(const std::wstring& from, const std::wstring& to) {
  const std::string a = Native(from), b = Native(to);
  struct stat st{};
  if (::stat(b.c_str(), &st) == 0) return false;
  return ::rename(a.c_str(), b.c_str()) == 0;
}

std::vector<std::wstring> ListFilesWithExtension(const std::wstring& folder, const std::wstring& ext) {
  std::vector<std::wstring> names;
  const std::string native = Native(folder);
  DIR* dir = ::opendir(native.c_str());
  if (!dir) return names;
  while (dirent* entry = ::readdir(dir)) {
    std::wstring name = Utf8ToWide(entry->d_name);
    if (name.size() <= ext.size() || !SameFileNameIgnoringCase(name.substr(name.size() - ext.size()), ext)) {
      continue;
    }
    struct stat st{};
    if (::stat((native + "/" + entry->d_name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
      names.push_back(std::move(name));
    }
  }
  ::closedir(dir);
  return names;
}

bool SameFileNameIgnoringCase(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] == b[i]) continue;
    // Simple upper-casing stands in for the Windows file system's table: ASCII, Latin-1,
    // Greek, Cyrillic and full-width letters.
    auto up = [](wchar_t c) -> wchar_t {
      if ((c >= L'a' && c <= L'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x3B1 && c <= 0x3C9) ||
          (c >= 0x430 && c <= 0x44F)) {
        return static_cast<wchar_t>(c - 0x20);
      }
      if (c >= 0x450 && c <= 0x45F) return static_cast<wchar_t>(c - 0x50);
      if (c >= 0xFF41 && c <= 0xFF5A) return static_cast<wchar_t>(c - 0x20);
      return c;
    };
    if (up(a[i]) != up(b[i])) return false;
  }
  return true;
}

}  // namespace pelmo
