// Encoding time, file size and decoded PSNR of our encoder against libjpeg-turbo on the same
// images, quality and subsampling, measured in the same run and printed as ratios. With
// --corpus=DIR (see scripts/make-corpus) the images are the PNG files of DIR, coded as baseline
// 4:2:0, single-threaded (CPU time) and split across threads (wall time).
#include <benchmark/benchmark.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "JpegEncoder.h"
#include "reference_codecs.h"
#include "test_images.h"

namespace {

struct Subject {
  std::string name;
  jpegtest::Image image;
};

std::string g_corpus;

// A PNG file as B,G,R,X pixels, as the screen copy delivers them.
bool ReadPng(const std::string& file, jpegtest::Image& image) {
  png_image pi{};
  pi.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&pi, file.c_str())) return false;
  pi.format = PNG_FORMAT_BGRA;
  image.width = static_cast<int>(pi.width);
  image.height = static_cast<int>(pi.height);
  image.bytesPerPixel = 4;
  image.pixels.resize(PNG_IMAGE_SIZE(pi));
  return png_image_finish_read(&pi, nullptr, image.pixels.data(), 0, nullptr) != 0;
}

const std::vector<Subject>& Subjects() {
  static const std::vector<Subject> subjects = [] {
    if (g_corpus.empty()) {
      return std::vector<Subject>{
          {"screen1920x1080", jpegtest::MakeScreenshot(1920, 1080)},
          {"screen3840x2160", jpegtest::MakeScreenshot(3840, 2160)},
          {"photo1920x1080", jpegtest::MakePhoto(1920, 1080)},
      };
    }
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(g_corpus))
      if (e.path().extension() == ".png") files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    std::vector<Subject> v;
    for (const std::string& file : files) {
      Subject s{std::filesystem::path(file).stem().string(), {}};
      if (!ReadPng(file, s.image)) {
        std::fprintf(stderr, "cannot read %s\n", file.c_str());
        std::exit(1);
      }
      v.push_back(std::move(s));
    }
    return v;
  }();
  return subjects;
}

struct Mode {
  const char* name;
  bool progressive;
  bool subsample420;
  bool optimize;  // ours only: fitted Huffman tables for a sequential file
  int threads = 1;  // ours only: 0 lets the encoder split large images across threads
};

constexpr Mode kModes[] = {{"baseline-420", false, true, false},
                           {"baseline-444", false, false, false},
                           {"progressive-420", true, true, false},
                           {"baseline-420-optimised", false, true, true}};
constexpr Mode kCorpusModes[] = {{"baseline-420", false, true, false}, {"baseline-420-threads", false, true, false, 0}};

std::span<const Mode> Modes() {
  if (g_corpus.empty()) return kModes;
  return kCorpusModes;
}
bool Threaded(const Mode& mode) { return mode.threads != 1; }

std::vector<uint8_t> EncodeOurs(const jpegtest::Image& image, int quality, const Mode& mode) {
  imgctl::jpeg::EncodeOptions options;
  options.quality = quality;
  options.progressive = mode.progressive;
  options.subsample420 = mode.subsample420;
  options.optimizeCoding = mode.optimize;
  options.threads = mode.threads;
  std::vector<uint8_t> out;
  imgctl::jpeg::Encode(image.pixels.data(), image.width, image.height, image.Stride(), image.bytesPerPixel,
                       options, out);
  return out;
}

struct Result {
  double seconds = 0;
  double bytes = 0;
  double psnr = 0;
};
std::map<std::string, Result> g_results;  // key: subject/q/mode/encoder

void Measure(benchmark::State& state, const Subject& subject, int quality, const Mode& mode, bool ours) {
  std::vector<uint8_t> file;
  for (auto _ : state) {
    file = ours ? EncodeOurs(subject.image, quality, mode)
                : jpegtest::EncodeWithLibjpeg(subject.image, quality, mode.subsample420, mode.progressive);
    benchmark::DoNotOptimize(file.data());
  }
  const jpegtest::Decoded decoded = jpegtest::DecodeWithLibjpeg(file);
  const double psnr = decoded.ok ? jpegtest::Psnr(subject.image, decoded.rgb) : 0;
  state.counters["bytes"] = static_cast<double>(file.size());
  state.counters["psnr"] = psnr;
  state.SetItemsProcessed(state.iterations() * subject.image.width * subject.image.height);
  Result& result = g_results[subject.name + " q" + std::to_string(quality) + " " + mode.name + (ours ? " ours" : " turbo")];
  result.bytes = static_cast<double>(file.size());
  result.psnr = psnr;
}

// Reports like the console reporter and keeps each benchmark's best time per iteration.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
      // CPU time, not wall time: the machine is shared. The fastest repetition is the one least
      // disturbed by other work.
      // Threaded runs are judged by wall time, the time a capture waits for its file.
      const bool wall = run.run_name.function_name.find("threads") != std::string::npos;
      const double t = wall ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime();
      const auto [it, added] = times_.emplace(run.run_name.function_name, t);
      if (!added) it->second = std::min(it->second, t);
      const auto [w, wadded] = wall_.emplace(run.run_name.function_name, run.GetAdjustedRealTime());
      if (!wadded) w->second = std::min(w->second, run.GetAdjustedRealTime());
    }
  }
  const std::map<std::string, double>& Times() const { return times_; }
  const std::map<std::string, double>& WallTimes() const { return wall_; }

 private:
  std::map<std::string, double> times_;
  std::map<std::string, double> wall_;
};

std::string BenchmarkName(const std::string& key) { return "jpeg/" + key; }

}  // namespace

int main(int argc, char** argv) {
  // --corpus=DIR: our own flag, taken out before the benchmark library sees the arguments.
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--corpus=", 9) == 0) g_corpus = argv[i] + 9;
    else argv[kept++] = argv[i];
  }
  argc = kept;
  const int qualities[] = {75, 90};
  for (const Subject& subject : Subjects()) {
    for (int quality : qualities) {
      for (const Mode& mode : Modes()) {
        const std::string key = subject.name + " q" + std::to_string(quality) + " " + mode.name;
        auto* ours = benchmark::RegisterBenchmark(BenchmarkName(key + " ours").c_str(), [&subject, quality, &mode](benchmark::State& s) {
          Measure(s, subject, quality, mode, true);
        })->Unit(benchmark::kMillisecond)->MinTime(0.3)->Repetitions(5)->ReportAggregatesOnly(false);
        if (Threaded(mode)) ours->UseRealTime();
        if (!mode.optimize && !Threaded(mode)) {
          benchmark::RegisterBenchmark(BenchmarkName(key + " turbo").c_str(), [&subject, quality, &mode](benchmark::State& s) {
            Measure(s, subject, quality, mode, false);
          })->Unit(benchmark::kMillisecond)->MinTime(0.3)->Repetitions(5)->ReportAggregatesOnly(false);
        }
      }
    }
  }
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf("\n%-52s %9s %9s %8s %8s %10s %10s\n", "image / quality / mode", "ours ms", "turbo ms", "time x",
              "size x", "PSNR ours", "PSNR turbo");
  for (const Subject& subject : Subjects()) {
    for (int quality : qualities) {
      for (const Mode& mode : Modes()) {
        const std::string key = subject.name + " q" + std::to_string(quality) + " " + mode.name;
        // The optimised run is compared with libjpeg-turbo's plain baseline at the same sampling.
        // Threaded runs against libjpeg-turbo's (single-threaded) wall time.
        const std::string turboKey = subject.name + " q" + std::to_string(quality) + " " +
                                     (mode.optimize || Threaded(mode) ? std::string("baseline-420") : std::string(mode.name));
        const auto ours = reporter.Times().find(BenchmarkName(key + " ours"));
        const auto& turboTimes = Threaded(mode) ? reporter.WallTimes() : reporter.Times();
        const auto turbo = turboTimes.find(BenchmarkName(turboKey + " turbo"));
        if (ours == reporter.Times().end() || turbo == turboTimes.end()) continue;
        const Result& o = g_results[key + " ours"];
        const Result& t = g_results[turboKey + " turbo"];
        std::printf("%-52s %9.2f %9.2f %8.2f %8.3f %10.2f %10.2f\n", key.c_str(), ours->second, turbo->second,
                    ours->second / turbo->second, o.bytes / t.bytes, o.psnr, t.psnr);
      }
    }
  }
  return 0;
}
