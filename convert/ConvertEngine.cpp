#include "convert/ConvertEngine.h"

#include <utility>

#include "convert/ConvertFiles.h"
#include "convert/ConvertRules.h"

namespace pelmo {
namespace {

// As the save pipeline tests a folder: one trailing backslash is ignored, and a plain file of
// that name counts too.
bool PathExists(const std::wstring& path) {
  std::wstring p = path;
  if (!p.empty() && p.back() == L'\\') p.pop_back();
  return !p.empty() && ConvertEntryExists(p);
}

}  // namespace

ConvertEngine::ConvertEngine(const ProfileSectionSet& profile, ConvertHost& host, std::wstring programFolder)
    : profile_(profile), host_(host), programFolder_(std::move(programFolder)) {}

void ConvertEngine::Clear() {
  queue_.Clear();
  newLog_ = true;
}

bool ConvertEngine::DestinationFolder(std::wstring& folder) {
  const CTransProfile& trans = profile_.translate;
  if (trans.GetEnableSaveDirectory() != 0) {
    folder = trans.GetSaveDirectory();
    if (!PathExists(folder)) {
      LogError(IDS_NO_SAVE_FOLDER);
      return false;
    }
  } else {
    folder = DefaultFolder();
    if (!PathExists(folder) && !ConvertMakeFolder(folder)) return false;
  }
  if (folder.empty() || folder.back() != L'\\') folder += L'\\';
  return true;
}

bool ConvertEngine::BuildDestination(const std::wstring& src, std::wstring& dest) {
  dest.clear();
  if (!ConvertEntryExists(src)) {
    LogError(IDS_FILE_MISSING);
    return false;
  }
  const int type = profile_.gen.GetImageType();
  if (ExtensionForImageType(type) == nullptr) {
    LogError(IDS_CONVERT_BAD_TYPE);
    return false;
  }
  const std::optional<std::wstring> name = DestinationFileName(src, type);
  if (!name) {
    LogError(IDS_NO_FILE_NAME);
    return false;
  }
  std::wstring folder;
  if (!DestinationFolder(folder)) return false;
  std::wstring path = folder + *name;
  if (path.size() > kConvertMaxPath) {
    LogError(IDS_PATH_TOO_LONG);
    return false;
  }
  dest = std::move(path);
  return true;
}

bool ConvertEngine::DestinationExists(const std::wstring& dest) {
  if (!ConvertEntryExists(dest)) return false;
  LogError(IDS_FILE_EXISTS);
  return true;
}

PrepareOutcome ConvertEngine::PrepareNext(std::wstring& dest, std::wstring& src) {
  dest.clear();
  src.clear();
  if (queue_.Empty()) return PrepareOutcome::kSkip;
  src = queue_.Head().path;
  if (!BuildDestination(src, dest)) return PrepareOutcome::kSkip;
  return DestinationExists(dest) ? PrepareOutcome::kExists : PrepareOutcome::kReady;
}

bool ConvertEngine::Finish(ConvertFileResult result) {
  if (result == ConvertFileResult::kSaveFailed) host_.OnSaveFailed();
  return result == ConvertFileResult::kConverted;
}

bool ConvertEngine::ConvertOne(const std::wstring& dest, const std::wstring& src) {
  return Finish(host_.ConvertFile(dest, src, profile_));
}

void ConvertEngine::LogError(int id) {
  const LocalTimeFields t = host_.Now();
  const std::wstring line = LogStamp(t.year, t.month, t.day, t.hour, t.minute, t.second) + host_.Text(id);
  // The flag clears even when the write fails, so one unwritable moment does not later empty
  // a log that has lines of this list.
  const bool afresh = std::exchange(newLog_, false);
  AppendLogLine(LogPath(), line, afresh);
}

}  // namespace pelmo
