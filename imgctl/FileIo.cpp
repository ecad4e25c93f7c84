#include "FileIo.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <new>
#include <random>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#endif

namespace imgctl {

namespace {

// Names already taken (a file left by an ended process, or another writer's) are skipped; this
// many in a row means something else is wrong.
constexpr int kNameAttempts = 16;

uint64_t Mix(uint64_t x) {  // splitmix64
  x += 0x9e3779b97f4a7c15ull;
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
  return x ^ (x >> 31);
}

// A per-process random start: process ids come back, and a name made of the id and a counter
// met the file an earlier process of the same id left behind.
uint64_t FreshSeed() {
  uint64_t seed = static_cast<uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
#ifdef _WIN32
  seed ^= uint64_t{GetCurrentProcessId()} << 32;
#else
  seed ^= static_cast<uint64_t>(::getpid()) << 32;
#endif
  try {
    std::random_device rd;
    seed ^= (uint64_t{rd()} << 32) | rd();
  } catch (...) {
    // The clock and the id alone are still good enough with the retry below.
  }
  return Mix(seed);
}

std::atomic<uint64_t> g_seed{FreshSeed()};
std::atomic<uint64_t> g_serial{0};

template <class Char>
std::basic_string<Char> NameFor(uint64_t value) {
  static const char kHex[] = "0123456789abcdef";
  std::basic_string<Char> name;
  for (char c : std::string("~imgctl-")) name.push_back(static_cast<Char>(c));
  for (int shift = 60; shift >= 0; shift -= 4) name.push_back(static_cast<Char>(kHex[(value >> shift) & 15]));
  for (char c : std::string(".tmp")) name.push_back(static_cast<Char>(c));
  return name;
}

NativePath NextTemporaryName() {
  return NameFor<NativePath::value_type>(g_seed.load() + g_serial.fetch_add(1));
}

template <class Char>
bool MatchesTemporaryName(const std::basic_string<Char>& name) {
  static const std::string kPrefix = "~imgctl-", kSuffix = ".tmp";
  if (name.size() != kPrefix.size() + 16 + kSuffix.size()) return false;
  for (size_t i = 0; i < kPrefix.size(); ++i)
    if (name[i] != static_cast<Char>(kPrefix[i])) return false;
  for (size_t i = 0; i < 16; ++i) {
    const Char c = name[kPrefix.size() + i];
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  for (size_t i = 0; i < kSuffix.size(); ++i)
    if (name[kPrefix.size() + 16 + i] != static_cast<Char>(kSuffix[i])) return false;
  return true;
}

}  // namespace

bool IsTemporaryName(const NativePath& fileName) { return MatchesTemporaryName(fileName); }

void SetTemporaryNameSeedForTesting(uint64_t seed) {
  g_seed = seed;
  g_serial = 0;
}

NativePath TemporaryNameForTesting(unsigned ahead) {
  return NameFor<NativePath::value_type>(g_seed.load() + g_serial.load() + ahead);
}

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

struct FindHandle {
  HANDLE h = INVALID_HANDLE_VALUE;
  ~FindHandle() {
    if (h != INVALID_HANDLE_VALUE) FindClose(h);
  }
};

bool StartsWith(const std::wstring& s, const wchar_t* prefix) {
  return s.compare(0, wcslen(prefix), prefix) == 0;
}

// The absolute "\\?\" form, which lifts MAX_PATH from the wide file functions (and so needs no
// manifest entry nor registry setting); the path as given when it cannot be made absolute.
std::wstring Extended(const std::wstring& path) {
  if (StartsWith(path, L"\\\\?\\")) return path;
  std::wstring full(path.size() + MAX_PATH, L'\0');
  for (int tries = 0; tries < 3; ++tries) {
    const DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n == 0) return path;
    if (n < full.size()) {
      full.resize(n);
      if (StartsWith(full, L"\\\\.\\")) return full;  // a device has no long form
      if (StartsWith(full, L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
      if (full.size() >= 2 && full[1] == L':') return L"\\\\?\\" + full;
      return full;
    }
    full.resize(n);
  }
  return path;
}

uint64_t FileTimeValue(const FILETIME& t) { return (uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; }

// Removes temporary files of ours that no process writes any more: old enough that no writer is
// between closing and renaming it, and openable for deletion without sharing (a writer holds
// its file without sharing until it is complete).
void RemoveStaleTemporaries(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  FindHandle search;
  search.h = FindFirstFileW((folder + L"~imgctl-*.tmp").c_str(), &found);
  if (search.h == INVALID_HANDLE_VALUE) return;
  FILETIME nowFt;
  GetSystemTimeAsFileTime(&nowFt);
  const uint64_t now = FileTimeValue(nowFt);
  const uint64_t age = uint64_t{kStaleTemporaryAgeSeconds} * 10000000u;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    if (!MatchesTemporaryName(std::wstring(found.cFileName))) continue;
    if (FileTimeValue(found.ftLastWriteTime) + age > now) continue;
    FileHandle stale;
    stale.h = CreateFileW((folder + found.cFileName).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                          FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  } while (FindNextFileW(search.h, &found));
}

}  // namespace

bool ReadWholeFile(const NativePath& path, std::vector<uint8_t>& out) {
  if (path.empty()) return false;
  FileHandle f;
  f.h = CreateFileW(Extended(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
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
  const std::wstring target = Extended(path);
  const size_t slash = target.find_last_of(L"\\/");
  if (slash == std::wstring::npos || slash + 1 == target.size()) return false;
  const std::wstring folder = target.substr(0, slash + 1);
  RemoveStaleTemporaries(folder);

  std::wstring temp;
  FileHandle f;
  for (int attempt = 0; attempt < kNameAttempts && f.h == INVALID_HANDLE_VALUE; ++attempt) {
    temp = folder + NextTemporaryName();
    f.h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f.h == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
      return false;
  }
  if (f.h == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  size_t done = 0;
  while (ok && done < data.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1u << 24)), put = 0;
    ok = ::WriteFile(f.h, data.data() + done, chunk, &put, nullptr) && put == chunk;
    done += put;
  }
  ok = f.Close() && ok;
  if (ok) ok = MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
  if (!ok) DeleteFileW(temp.c_str());
  return ok;
}

#else

namespace {

// Removes temporary files of ours not written to for a while (no sharing modes here to tell an
// open one).
void RemoveStaleTemporaries(const std::string& folder) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  const time_t now = std::time(nullptr);
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (!MatchesTemporaryName(name)) continue;
    const std::string full = folder + name;
    struct stat st{};
    if (::lstat(full.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if (st.st_mtime + kStaleTemporaryAgeSeconds > now) continue;
    ::unlink(full.c_str());
  }
  ::closedir(dir);
}

}  // namespace

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
  if (path.empty() || path.back() == '/') return false;
  const size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  RemoveStaleTemporaries(folder);

  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < kNameAttempts && fd < 0; ++attempt) {
    temp = folder + NextTemporaryName();
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
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
