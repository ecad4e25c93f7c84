#include "FileIo.h"

#include <algorithm>
#include <atomic>
#include <new>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#endif

namespace imgctl {

namespace {

std::atomic<unsigned> g_tempCounter{0};

}  // namespace

#ifdef _WIN32

namespace {

struct FileHandle {
  HANDLE h = INVALID_HANDLE_VALUE;
  ~FileHandle() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  bool Close() {
    bool ok = CloseHandle(h) != 0;
    h = INVALID_HANDLE_VALUE;
    return ok;
  }
};

}  // namespace

bool ReadWholeFile(const NativePath& path, std::vector<uint8_t>& out) {
  FileHandle f;
  f.h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (f.h == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(f.h, &size) || size.QuadPart < 0 ||
      static_cast<uint64_t>(size.QuadPart) > kMaxFileBytes)
    return false;
  try {
    out.resize(static_cast<size_t>(size.QuadPart));
  } catch (const std::bad_alloc&) {
    return false;
  }
  size_t done = 0;
  while (done < out.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(out.size() - done, 1u << 24)), got = 0;
    if (!::ReadFile(f.h, out.data() + done, chunk, &got, nullptr)) return false;
    if (got == 0) break;
    done += got;
  }
  out.resize(done);
  return true;
}

bool WriteFileReplacing(const NativePath& path, const std::vector<uint8_t>& data) {
  if (path.empty()) return false;
  wchar_t suffix[40];
  wsprintfW(suffix, L".%lx-%x.tmp", GetCurrentProcessId(), g_tempCounter.fetch_add(1));
  std::wstring temp = path + suffix;
  FileHandle f;
  f.h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f.h == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  size_t done = 0;
  while (ok && done < data.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1u << 24)), put = 0;
    ok = ::WriteFile(f.h, data.data() + done, chunk, &put, nullptr) && put == chunk;
    done += put;
  }
  ok = f.Close() && ok;
  if (ok) ok = MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
  if (!ok) DeleteFileW(temp.c_str());
  return ok;
}

#else

bool ReadWholeFile(const NativePath& path, std::vector<uint8_t>& out) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st{};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
            static_cast<uint64_t>(st.st_size) <= kMaxFileBytes;
  if (ok) {
    try {
      out.resize(static_cast<size_t>(st.st_size));
    } catch (const std::bad_alloc&) {
      ok = false;
    }
  }
  size_t done = 0;
  while (ok && done < out.size()) {
    ssize_t got = ::read(fd, out.data() + done, out.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  ::close(fd);
  if (ok) out.resize(done);
  return ok;
}

bool WriteFileReplacing(const NativePath& path, const std::vector<uint8_t>& data) {
  if (path.empty()) return false;
  char suffix[48];
  std::snprintf(suffix, sizeof suffix, ".%ld-%x.tmp", static_cast<long>(::getpid()),
                g_tempCounter.fetch_add(1));
  std::string temp = path + suffix;
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = true;
  size_t done = 0;
  while (ok && done < data.size()) {
    ssize_t put = ::write(fd, data.data() + done, data.size() - done);
    if (put < 0 && errno == EINTR) continue;
    ok = put > 0;
    if (ok) done += static_cast<size_t>(put);
  }
  ok = ::close(fd) == 0 && ok;
  if (ok) ok = ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

#endif

}  // namespace imgctl
