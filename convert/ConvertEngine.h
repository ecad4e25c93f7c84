// The conversion tool's engine: the queue of dropped files, the per-file decisions (destination
// folder and name, the checks that log an error) and the conversion of one file. The codec, the
// clock and the string table come from a ConvertHost, so the rules run natively in the tests.
#pragma once

#include <cstddef>
#include <string>

#include "convert/ConvertQueue.h"
#include "core/resource.h"
#include "settings/ProfileSectionSet.h"

namespace pelmo {

// Longest destination path, in characters.
inline constexpr size_t kConvertMaxPath = 2048;

enum class ConvertFileResult { kConverted, kLoadFailed, kSaveFailed };

struct LocalTimeFields {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

class ConvertHost {
 public:
  virtual ~ConvertHost() = default;
  virtual std::wstring Text(int id) = 0;  // IDS_* of core/resource.h
  virtual LocalTimeFields Now() = 0;
  // Loads src, scales it as RESIZE says, writes it to dest in the profile's format. May run on a
  // worker thread, several at once, each on its own files.
  virtual ConvertFileResult ConvertFile(const std::wstring& dest, const std::wstring& src,
                                        const ProfileSectionSet& profile) = 0;
  // A write failed: the engine's last error text becomes IDS_SAVE_FAILED. Called on the run's
  // thread.
  virtual void OnSaveFailed() {}
};

enum class PrepareOutcome { kSkip, kExists, kReady };

class ConvertEngine {
 public:
  // `profile` is the profile being edited (read at each step, so unsaved edits apply);
  // `programFolder` ends in a separator.
  ConvertEngine(const ProfileSectionSet& profile, ConvertHost& host, std::wstring programFolder);

  // The queue. Clearing it starts a new log.
  bool Add(const std::wstring& path, int row) { return queue_.Add(path, row); }
  void Clear();
  size_t Count() const { return queue_.Count(); }
  const ConvertQueue& queue() const { return queue_; }
  void Pop() { queue_.Pop(); }

  // The head of the queue: its destination, or why it is skipped (logged), or that the
  // destination exists (logged as 210).
  PrepareOutcome PrepareNext(std::wstring& dest, std::wstring& src);
  // The same in two halves, so a run can wait for earlier writes between them: the destination
  // (false = skip, logged), then whether it exists (logged).
  bool BuildDestination(const std::wstring& src, std::wstring& dest);
  bool DestinationExists(const std::wstring& dest);

  bool ConvertOne(const std::wstring& dest, const std::wstring& src);
  // The bookkeeping of a conversion made elsewhere (a worker): 251 on a failed write.
  bool Finish(ConvertFileResult result);

  void LogError(int id);

  const ProfileSectionSet& profile() const { return profile_; }
  ConvertHost& host() { return host_; }
  bool newLog() const { return newLog_; }
  std::wstring LogPath() const { return programFolder_ + L"log.txt"; }
  std::wstring DefaultFolder() const { return programFolder_ + L"_FixedImage"; }

 private:
  bool DestinationFolder(std::wstring& folder);

  const ProfileSectionSet& profile_;
  ConvertHost& host_;
  std::wstring programFolder_;
  ConvertQueue queue_;
  bool newLog_ = true;
};

}  // namespace pelmo
