#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "convert/ConvertFiles.h"
#include "core/TextCodec.h"

namespace pelmo {
namespace {

std::string Native(const std::wstring& path) {
  std::wstring p = path;
  for (wchar_t& c : p) {
    if (c == L'\\') c = L'/';
  }
  return WideToUtf8(p);
}

}  // namespace

bool ConvertEntryExists(const std::wstring& path) {
  struct stat st{};
  return !path.empty() && ::stat(Native(path).c_str(), &st) == 0;
}

bool ConvertMakeFolder(const std::wstring& path) { return ::mkdir(Native(path).c_str(), 0777) == 0; }

bool AppendLogLine(const std::wstring& path, const std::wstring& line, bool startAfresh) {
  const int fd = ::open(Native(path).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (startAfresh ? O_TRUNC : O_APPEND), 0666);
  if (fd < 0) return false;
  struct stat st{};
  std::string bytes;
  if (::fstat(fd, &st) != 0 || st.st_size == 0) bytes = "\xEF\xBB\xBF";
  bytes += WideToUtf8(line);
  bytes += "\r\n";
  const bool ok = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  return ::close(fd) == 0 && ok;
}

}  // namespace pelmo
