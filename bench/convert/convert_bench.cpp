// Batch conversion of 200 screenshots (1920x1080 PNG) to JPG quality 75 and to 8-bit PNG through
// the conversion tool's portable engine (the run loop, the per-file rules and the codec's core),
// against ImageMagick's mogrify converting the same files in one process, in the same run.
// Prints wall time and total output size of both, and the ratios.
//
//   convert_bench [work-folder [repetitions]]   (default ./convert-bench-files, 3; inputs made once)
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "Library.h"
#include "SyntheticImages.h"
#include "convert/ConvertEngine.h"
#include "convert/ConvertHostCore.h"
#include "convert/ConvertRun.h"
#include "core/TextCodec.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kFiles = 200;

class QuietUi : public pelmo::ConvertRunUi {
 public:
  bool CancelRequested() override { return false; }
  bool ConfirmCancel() override { return false; }
  void ShowPosition(size_t, size_t, const std::wstring&) override {}
  pelmo::OverwriteChoice AskOverwrite(const std::wstring&) override { return pelmo::OverwriteChoice::kAll; }
  void Advance(size_t, size_t) override {}
};

uintmax_t FolderBytes(const fs::path& dir, size_t* count) {
  uintmax_t total = 0;
  *count = 0;
  for (const auto& e : fs::directory_iterator(dir)) {
    if (!e.is_regular_file()) continue;
    total += e.file_size();
    ++*count;
  }
  return total;
}

// 200 screenshots: crops of two large generated desktops at different offsets, three of four
// with application windows only (under 256 colours), one of four with gradients and a photo.
void MakeInputs(const fs::path& in) {
  fs::create_directories(in);
  size_t have = 0;
  FolderBytes(in, &have);
  if (have >= kFiles) return;
  std::printf("making %d input screenshots in %s ...\n", kFiles, in.c_str());
  imgctl::Image plain = imgctl::testing::Screenshot(2600, 1500);
  imgctl::Image rich = imgctl::testing::RichScreenshot(2600, 1500);
  imgctl::Image* plainH = imgctl::Adopt(std::move(plain));
  imgctl::Image* richH = imgctl::Adopt(std::move(rich));
  const fs::path bmps = in / "bmp";
  fs::create_directories(bmps);
  for (int i = 0; i < kFiles; ++i) {
    imgctl::Image* src = i % 4 == 3 ? richH : plainH;
    imgctl::Image* crop = imgctl::CropHandle(src, (i * 37) % 680, (i * 23) % 420, 1920, 1080);
    imgctl::To24(crop);
    char name[32];
    std::snprintf(name, sizeof name, "shot%03d.bmp", i);
    imgctl::SaveBmp((bmps / name).string(), crop);
    imgctl::Free(crop);
  }
  imgctl::Free(plainH);
  imgctl::Free(richH);
  // Written as RGB PNGs by another program, as screenshots usually arrive.
  const std::string cmd = "cd '" + bmps.string() + "' && /usr/bin/mogrify -path '" + in.string() +
                          "' -format png -define png:color-type=2 *.bmp && rm -rf '" + bmps.string() + "'";
  if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "making the inputs failed\n");
}

struct Result {
  double seconds = 0;
  uintmax_t bytes = 0;
  size_t files = 0;
};

Result RunOurs(const fs::path& in, const fs::path& out, int type, unsigned workers) {
  fs::remove_all(out);
  fs::create_directories(out);
  pelmo::ProfileSectionSet profile;
  profile.gen.SetImageType(type);
  profile.jpg.SetJpgCompression(75);
  profile.jpg.SetJpgProgression(0);
  profile.png.SetPngColor(8);
  profile.png.SetPngInterlace(0);
  profile.translate.SetEnableSaveDirectory(1);
  profile.translate.SetSaveDirectory(pelmo::Utf8ToWide(out.string()));
  pelmo::CoreConvertHost host;
  pelmo::ConvertEngine engine(profile, host, pelmo::Utf8ToWide((out.parent_path() / "prog").string()) + L"\\");
  int row = 0;
  for (int i = 0; i < kFiles; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "shot%03d.png", i);
    engine.Add(pelmo::Utf8ToWide(in.string()) + L"\\" + pelmo::Utf8ToWide(name), row++);
  }
  QuietUi ui;
  const auto start = Clock::now();
  pelmo::RunConversion(engine, ui, workers);
  Result r;
  r.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  r.bytes = FolderBytes(out, &r.files);
  return r;
}

Result RunMagick(const fs::path& in, const fs::path& out, const std::string& args) {
  fs::remove_all(out);
  fs::create_directories(out);
  const std::string cmd = "cd '" + in.string() + "' && /usr/bin/mogrify -path '" + out.string() + "' " + args + " *.png";
  const auto start = Clock::now();
  if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "mogrify failed\n");
  Result r;
  r.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  r.bytes = FolderBytes(out, &r.files);
  return r;
}

void Report(const char* what, const Result& ours, const Result& magick) {
  std::printf("%-34s ours %7.2f s %9.1f KiB (%zu files) | mogrify %7.2f s %9.1f KiB (%zu files) | time %.3f size %.3f\n",
              what, ours.seconds, ours.bytes / 1024.0, ours.files, magick.seconds, magick.bytes / 1024.0, magick.files,
              ours.seconds / magick.seconds, static_cast<double>(ours.bytes) / static_cast<double>(magick.bytes));
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path work = fs::absolute(argc > 1 ? argv[1] : "convert-bench-files");
  const fs::path in = work / "in";
  MakeInputs(in);
  fs::create_directories(work / "prog");
  const unsigned workers = pelmo::DefaultConvertWorkers();
  std::printf("%d files, %u cores; the tool runs with %u worker threads\n", kFiles,
              std::thread::hardware_concurrency(), workers);

  struct Mode {
    const char* name;
    int type;
    const char* magickArgs;
  } modes[] = {
      {"JPG q75", 1, "-format jpg -quality 75"},
      {"8-bit PNG", 3, "-format png -define png:format=png8"},
  };
  const int reps = argc > 2 ? std::atoi(argv[2]) : 3;
  auto median = [](std::vector<Result> v) {
    std::sort(v.begin(), v.end(), [](const Result& a, const Result& b) { return a.seconds < b.seconds; });
    return v[v.size() / 2];
  };
  for (const Mode& m : modes) {
    // Each `reps` times, alternating (the machine is shared); the median of each.
    std::vector<Result> theirs, mine, mineSingle;
    for (int rep = 0; rep < reps; ++rep) {
      theirs.push_back(RunMagick(in, work / "out-magick", m.magickArgs));
      mine.push_back(RunOurs(in, work / "out-ours", m.type, workers));
      mineSingle.push_back(RunOurs(in, work / "out-ours-1", m.type, 0));
    }
    const Result magick = median(theirs), ours = median(mine), single = median(mineSingle);
    Report((std::string(m.name) + ", worker threads").c_str(), ours, magick);
    Report((std::string(m.name) + ", one thread").c_str(), single, magick);
  }
  return 0;
}
