#include "FileOps.h"

#include <windows.h>

#include "framework/Handles.h"

namespace pelmo {
namespace {

// Larger files are not profiles; reading them whole would only cost memory.
constexpr LONGLONG kMaxIniFileBytes = 16 * 1024 * 1024;

bool WriteAll(HANDLE h, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
    DWORD written = 0;
    if (!WriteFile(h, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

}  // namespace

FileReadResult ReadWholeFile(const std::wstring& path, std::string& bytes) {
  bytes.clear();
  fw::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    DWORD err = GetLastError();
    return (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND) ? FileReadResult::kMissing
                                                                          : FileReadResult::kFailed;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxIniFileBytes) return FileReadResult::kFailed;
  bytes.resize(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    if (!ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got, nullptr)) {
      bytes.clear();
      return FileReadResult::kFailed;
    }
    if (got == 0) break;
    done += got;
  }
  bytes.resize(done);
  return FileReadResult::kOk;
}

bool ReplaceFileContents(const std::wstring& path, const std::string& bytes) {
  DWORD attrs = GetFileAttributesW(path.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES &&
      (attrs & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    return false;
  }
  const std::wstring temp = path + L".new";
  {
    fw::UniqueFile file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    bool ok = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
    // A failed close can mean the data never reached the disk.
    ok = CloseHandle(file.release()) && ok;
    if (!ok) {
      DeleteFileW(temp.c_str());
      return false;
    }
  }
  // A virus scanner or an indexer may hold the old file for a moment: try a few times.
  for (int attempt = 0;; ++attempt) {
    if (MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    DWORD err = GetLastError();
    if (attempt == 4 || (err != ERROR_SHARING_VIOLATION && err != ERROR_ACCESS_DENIED && err != ERROR_LOCK_VIOLATION)) {
      break;
    }
    Sleep(20);
  }
  DeleteFileW(temp.c_str());
  return false;
}

bool IsRegularFile(const std::wstring& path) {
  DWORD attrs = GetFileAttributesW(path.c_str());
  return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsDirectory(const std::wstring& path) {
  DWORD attrs = GetFileAttributesW(path.c_str());
  return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateOneDirectory(const std::wstring& path) {
  return CreateDirectoryW(path.c_str(), nullptr) || IsDirectory(path);
}

bool RemoveFile(const std::wstring& path) { return DeleteFileW(path.c_str()) != FALSE; }

bool RenameFile(const std::wstring& from, const std::wstring& to) {
  if (from != to && SameFileNameIgnoringCase(from, to)) {
    // A case-only change: some file systems report success and keep the old spelling, so go
    // through a temporary name.
    const std::wstring temp = from + L".rename";
    if (!MoveFileW(from.c_str(), temp.c_str())) return false;
    if (MoveFileW(temp.c_str(), to.c_str())) return true;
    MoveFileW(temp.c_str(), from.c_str());
    return false;
  }
  // MoveFileW never replaces an existing file.
  return MoveFileW(from.c_str(), to.c_str()) != FALSE;
}

std::vector<std::wstring> ListFilesWithExtension(const std::wstring& folder, const std::wstring& ext) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data{};
  // "*" rather than "*.ini": the pattern would also match 8.3 aliases such as "a.ini~".
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    std::wstring name = data.cFileName;
    if (name.size() > ext.size() &&
        SameFileNameIgnoringCase(name.substr(name.size() - ext.size()), ext)) {
      names.push_back(std::move(name));
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return names;
}

bool SameFileNameIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace pelmo
