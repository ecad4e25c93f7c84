// One batch of the conversion tool: the loop over the queued files with its position text,
// overwrite questions, cancel requests and progress, behind an interface the progress dialog
// implements (and the tests script).
//
// With workers > 0 the decoding and encoding of up to that many files run on worker threads
// while the loop goes on with the next file's checks; everything the user sees (log lines,
// questions, position, progress, marks) still happens on the calling thread in queue order, and a
// file is only checked once no earlier file still being written shares its source or destination.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "convert/ConvertEngine.h"

namespace pelmo {

enum class OverwriteChoice { kAll = 0, kThis = 1, kNo = 2 };

class ConvertRunUi {
 public:
  virtual ~ConvertRunUi() = default;
  virtual bool CancelRequested() = 0;
  // Asks whether to stop: true stops the run; false means go on (the request is cleared).
  virtual bool ConfirmCancel() = 0;
  virtual void ShowPosition(size_t index, size_t total, const std::wstring& dest) = 0;
  virtual OverwriteChoice AskOverwrite(const std::wstring& fileName) = 0;
  // `done` files of `total` are finished: move the bar and let pending messages through.
  virtual void Advance(size_t done, size_t total) = 0;
  // Called every few milliseconds while waiting for a worker.
  virtual void Idle() {}
};

// The mark of one queued file: the list row that shows it and whether it was converted.
struct ConvertMark {
  int row = 0;
  bool converted = false;
};

// Runs over the files queued when it starts; one mark per file, in queue order. Converted and
// skipped files leave the queue; after a cancel the files not reached stay queued (unconverted).
std::vector<ConvertMark> RunConversion(ConvertEngine& engine, ConvertRunUi& ui, unsigned workers);

// Worker threads worth using on this machine for a batch (0 on a single core).
unsigned DefaultConvertWorkers();

}  // namespace pelmo
