#include "convert/ConvertRun.h"

#include <chrono>
#include <cwctype>
#include <deque>
#include <future>
#include <optional>
#include <thread>

#include "convert/ConvertRules.h"

namespace pelmo {
namespace {

// File names compare without regard to case, as on the platform's file systems.
std::wstring FoldCase(const std::wstring& path) {
  std::wstring out = path;
  for (wchar_t& c : out) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  return out;
}

struct Job {
  size_t index = 0;
  std::wstring srcKey, destKey;  // empty when the file is not written
  std::optional<bool> converted;  // known at once: converted on this thread, or skipped
  std::future<ConvertFileResult> result;
};

class Runner {
 public:
  Runner(ConvertEngine& engine, ConvertRunUi& ui, unsigned workers)
      : engine_(engine), ui_(ui), workers_(workers), snapshot_(engine.profile()) {}

  std::vector<ConvertMark> Run() {
    const size_t total = engine_.Count();
    std::vector<std::wstring> sources;
    marks_.resize(total);
    for (size_t i = 0; i < total; ++i) {
      marks_[i].row = engine_.queue().At(i).row;
      sources.push_back(engine_.queue().At(i).path);
    }
    bool overwriteAll = false;
    for (size_t i = 0; i < total; ++i) {
      if (ui_.CancelRequested() && ui_.ConfirmCancel()) break;
      const std::wstring& src = sources[i];
      Job job;
      job.index = i;
      std::wstring dest;
      bool write = false;
      if (engine_.BuildDestination(src, dest)) {
        WaitForWritesTouching(FoldCase(src), FoldCase(dest));
        const bool exists = engine_.DestinationExists(dest);
        ui_.ShowPosition(i, total, dest);
        if (!exists || overwriteAll) {
          write = true;
        } else {
          switch (ui_.AskOverwrite(FileNamePart(dest))) {
            case OverwriteChoice::kAll:
              overwriteAll = true;
              write = true;
              break;
            case OverwriteChoice::kThis:
              write = true;
              break;
            case OverwriteChoice::kNo:
              break;
          }
        }
      } else {
        ui_.ShowPosition(i, total, L"");
      }
      if (!write) {
        job.converted = false;
      } else if (!Launch(job, dest, src)) {
        job.converted = engine_.ConvertOne(dest, src);
      }
      jobs_.push_back(std::move(job));
      while (!jobs_.empty() && (jobs_.size() > workers_ || jobs_.front().converted)) CompleteHead(total);
    }
    while (!jobs_.empty()) CompleteHead(total);
    return std::move(marks_);
  }

 private:
  bool Launch(Job& job, const std::wstring& dest, const std::wstring& src) {
    if (workers_ == 0) return false;
    try {
      ConvertHost& host = engine_.host();
      const ProfileSectionSet& profile = snapshot_;
      job.result = std::async(std::launch::async, [&host, &profile, dest, src] {
        try {
          return host.ConvertFile(dest, src, profile);
        } catch (...) {
          return ConvertFileResult::kLoadFailed;
        }
      });
    } catch (...) {
      return false;  // no thread to be had: convert here
    }
    job.srcKey = FoldCase(src);
    job.destKey = FoldCase(dest);
    return true;
  }

  void WaitForWritesTouching(const std::wstring& src, const std::wstring& dest) {
    for (;;) {
      bool clash = false;
      for (const Job& j : jobs_) {
        if (j.converted || j.destKey.empty()) continue;
        if (j.destKey == src || j.destKey == dest || j.srcKey == dest) clash = true;
      }
      if (!clash) return;
      CompleteHead(marks_.size());
    }
  }

  void CompleteHead(size_t total) {
    Job& job = jobs_.front();
    bool converted = false;
    if (job.converted) {
      converted = *job.converted;
    } else {
      while (job.result.wait_for(std::chrono::milliseconds(15)) != std::future_status::ready) ui_.Idle();
      converted = engine_.Finish(job.result.get());
    }
    marks_[job.index].converted = converted;
    engine_.Pop();
    const size_t done = job.index + 1;
    jobs_.pop_front();
    ui_.Advance(done, total);
  }

  ConvertEngine& engine_;
  ConvertRunUi& ui_;
  size_t workers_;
  ProfileSectionSet snapshot_;  // what the workers read, fixed for the run
  std::deque<Job> jobs_;
  std::vector<ConvertMark> marks_;
};

}  // namespace

std::vector<ConvertMark> RunConversion(ConvertEngine& engine, ConvertRunUi& ui, unsigned workers) {
  return Runner(engine, ui, workers).Run();
}

unsigned DefaultConvertWorkers() {
  const unsigned n = std::thread::hardware_concurrency();
  return n > 1 ? n : 0;
}

}  // namespace pelmo
