#include "SavePaths.h"

#include <shlobj.h>

#include <cstring>
#include <utility>

#include "core/LongPath.h"

namespace pelmo {
namespace {

// A movable global block that frees itself unless the clipboard took it.
class GlobalBlock {
 public:
  explicit GlobalBlock(size_t bytes) : h_(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes)) {}
  ~GlobalBlock() {
    if (h_) GlobalFree(h_);
  }
  GlobalBlock(const GlobalBlock&) = delete;
  GlobalBlock& operator=(const GlobalBlock&) = delete;
  HGLOBAL get() const { return h_; }
  HGLOBAL release() { return std::exchange(h_, nullptr); }

 private:
  HGLOBAL h_;
};

}  // namespace

bool PathExists(const std::wstring& path) {
  std::wstring p = path;
  if (!p.empty() && p.back() == L'\\') p.pop_back();
  return !p.empty() && LongPathExists(p);
}

bool FileExists(const std::wstring& path) { return !path.empty() && LongPathExists(path); }

std::wstring DirectoryOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  if (slash != std::wstring::npos) return path.substr(0, slash + 1);
  // "C:name": the drive alone.
  if (path.size() >= 2 && path[1] == L':') return path.substr(0, 2);
  return {};
}

// Read by whichever process pastes, of either bitness: a pointer-free 20-byte header in both builds.
static_assert(sizeof(DROPFILES) == 20 && offsetof(DROPFILES, fWide) == 16);

bool CopyFileToClipboard(HWND owner, const std::wstring& path, DWORD effect) {
  const size_t listBytes = (path.size() + 2) * sizeof(wchar_t);  // name, its NUL, the list's NUL
  GlobalBlock files(sizeof(DROPFILES) + listBytes);
  GlobalBlock dropEffect(sizeof(DWORD));
  if (!files.get() || !dropEffect.get()) return false;
  if (auto* header = static_cast<DROPFILES*>(GlobalLock(files.get()))) {
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), path.c_str(), path.size() * sizeof(wchar_t));
    GlobalUnlock(files.get());
  }
  if (auto* value = static_cast<DWORD*>(GlobalLock(dropEffect.get()))) {
    *value = effect;
    GlobalUnlock(dropEffect.get());
  }
  const UINT format = RegisterClipboardFormatW(L"Preferred DropEffect");
  if (!OpenClipboard(owner)) return false;
  // The clipboard owns a block once SetClipboardData accepted it. Without the file list nothing
  // was copied; the drop effect only tells the shell to copy rather than move, which is its default.
  bool ok = EmptyClipboard() != 0;
  if (ok && SetClipboardData(CF_HDROP, files.get())) {
    files.release();
  } else {
    ok = false;
  }
  if (ok && SetClipboardData(format, dropEffect.get())) dropEffect.release();
  CloseClipboard();
  return ok;
}

}  // namespace pelmo
