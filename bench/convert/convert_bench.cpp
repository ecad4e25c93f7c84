// Batch conversion of 200 screenshots (1920x1080 PNG) to JPG quality 75 and to 8-bit PNG through
// the conversion tool's portable engine (the run loop, the per-file rules and the codec's core),
// against ImageMagick's mogrify converting the same files in one process, in the same run.
// Prints wall time and total output size of both, and the ratios.
//
//   convert_bench [--corpus=DIR] [--only=jpg|png] [work-folder [repetitions]]
//   (default ./convert-bench-files or, with a corpus, ./convert-bench-real; 3; inputs made once)
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "Image.h"
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

// 200 screenshots. Generated: crops of two large generated desktops at different offsets, three
// of four with application windows only (under 256 colours), one of four with gradients and a
// photo. Real (`corpus`, the folder scripts/make-corpus fills): crops of a 3840x2160 mosaic of
// the corpus's four screenshots of real programs (bitmap-font and anti-aliased text, a photo in a
// window, a photo desktop), so most crops mix text, panels and photographs.
void MakeInputs(const fs::path& in, const fs::path& corpus) {
  fs::create_directories(in);
  size_t have = 0;
  FolderBytes(in, &have);
  if (have >= kFiles) return;
  std::printf("making %d input screenshots in %s ...\n", kFiles, in.c_str());
  const fs::path bmps = in / "bmp";
  fs::create_directories(bmps);
  imgctl::Image* sources[2] = {};
  int spanX = 680, spanY = 420;
  if (corpus.empty()) {
    sources[0] = imgctl::Adopt(imgctl::testing::Screenshot(2600, 1500));
    sources[1] = imgctl::Adopt(imgctl::testing::RichScreenshot(2600, 1500));
  } else {
    const fs::path mosaic = bmps / "mosaic.png";
    const std::string c = corpus.string();
    const std::string cmd = "/usr/bin/convert \\( '" + c + "/ui-text-1920x1080.png' '" + c +
                            "/apps-aa-1920x1080.png' +append \\) \\( '" + c + "/ui-photo-1920x1080.png' '" + c +
                            "/desktop-mixed-3840x2160.png' -crop 1920x1080+0+0 +append \\) -append '" +
                            mosaic.string() + "'";
    if (std::system(cmd.c_str()) != 0) {
      std::fprintf(stderr, "making the mosaic from %s failed (run scripts/make-corpus)\n", c.c_str());
      std::exit(1);
    }
    sources[0] = imgctl::LoadFile(mosaic.string());
    sources[1] = sources[0];
    spanX = 1920;
    spanY = 1080;
    fs::remove(mosaic);
  }
  for (int i = 0; i < kFiles; ++i) {
    imgctl::Image* src = sources[i % 4 == 3 ? 1 : 0];
    imgctl::Image* crop = imgctl::CropHandle(src, (i * 37) % spanX, (i * 23) % spanY, 1920, 1080);
    imgctl::To24(crop);
    char name[32];
    std::snprintf(name, sizeof name, "shot%03d.bmp", i);
    imgctl::SaveBmp((bmps / name).string(), crop);
    imgctl::Free(crop);
  }
  imgctl::Free(sources[0]);
  if (sources[1] != sources[0]) imgctl::Free(sources[1]);
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

// Mean PSNR (R, G and B) of the files of `out` against the inputs of the same name: sizes are
// only comparable at a comparable quality.
double MeanPsnr(const fs::path& in, const fs::path& out, const char* extension) {
  double sum = 0;
  int count = 0;
  for (int i = 0; i < kFiles; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "shot%03d", i);
    imgctl::Image* a = imgctl::LoadFile((in / (std::string(name) + ".png")).string());
    imgctl::Image* b = imgctl::LoadFile((out / (std::string(name) + extension)).string());
    if (a && b && a->width == b->width && a->height == b->height) {
      double se = 0;
      for (int y = 0; y < a->height; ++y)
        for (int x = 0; x < a->width; ++x) {
          const imgctl::Bgra p = imgctl::PixelAt(*a, a->Row(y), x), q = imgctl::PixelAt(*b, b->Row(y), x);
          se += (p.r - q.r) * (p.r - q.r) + (p.g - q.g) * (p.g - q.g) + (p.b - q.b) * (p.b - q.b);
        }
      const double mse = se / (3.0 * a->width * a->height);
      sum += mse > 0 ? 10 * std::log10(255.0 * 255.0 / mse) : 99.0;  // identical: counted as 99 dB
      ++count;
    }
    if (a) imgctl::Free(a);
    if (b) imgctl::Free(b);
  }
  return count ? sum / count : 0;
}

}  // namespace

int main(int argc, char** argv) {
  fs::path corpus;
  std::string only;  // "jpg" or "png": that type alone
  while (argc > 1 && std::string(argv[1]).rfind("--", 0) == 0) {
    const std::string arg = argv[1];
    if (arg.rfind("--corpus=", 0) == 0) corpus = fs::absolute(arg.substr(9));
    if (arg.rfind("--only=", 0) == 0) only = arg.substr(7);
    --argc;
    ++argv;
  }
  const fs::path work = fs::absolute(argc > 1 ? argv[1] : corpus.empty() ? "convert-bench-files" : "convert-bench-real");
  const fs::path in = work / "in";
  MakeInputs(in, corpus);
  fs::create_directories(work / "prog");
  const unsigned workers = pelmo::DefaultConvertWorkers();
  std::printf("%d files, %u cores; the tool runs with %u worker threads\n", kFiles,
              std::thread::hardware_concurrency(), workers);

  // Two references for 8-bit PNG: ImageMagick's colour reduction (a 256-colour palette, error
  // diffusion), and what its PNG writer does alone with more than 256 colours (it drops low bits
  // of each channel until few enough colours are left, without dithering): small files far from
  // the original, which the PSNR shows.
  struct Mode {
    const char* name;
    int type;
    const char* magickArgs;
    const char* extension;
  } modes[] = {
      {"JPG q75", 1, "-format jpg -quality 75", ".jpg"},
      {"8-bit PNG vs -colors 256", 3, "-format png -colors 256 -define png:format=png8", ".png"},
      {"8-bit PNG vs png8 bit-cutting", 3, "-format png -define png:format=png8", ".png"},
  };
  const int reps = argc > 2 ? std::atoi(argv[2]) : 3;
  auto median = [](std::vector<Result> v) {
    std::sort(v.begin(), v.end(), [](const Result& a, const Result& b) { return a.seconds < b.seconds; });
    return v[v.size() / 2];
  };
  for (const Mode& m : modes) {
    if ((only == "jpg" && m.type != 1) || (only == "png" && m.type != 3)) continue;
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
    std::printf("%-34s PSNR ours %.2f dB, mogrify %.2f dB (mean over the files; identical files count 99)\n", m.name,
                MeanPsnr(in, work / "out-ours", m.extension), MeanPsnr(in, work / "out-magick", m.extension));
    std::fflush(stdout);
  }
  return 0;
}
