// Encoding time, file size and decoded PSNR of our encoder against libjpeg-turbo on the same
// images, quality and subsampling, measured in the same run and printed as ratios.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
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

const std::vector<Subject>& Subjects() {
  static const std::vector<Subject> subjects = {
      {"screen1920x1080", jpegtest::MakeScreenshot(1920, 1080)},
      {"screen3840x2160", jpegtest::MakeScreenshot(3840, 2160)},
      {"photo1920x1080", jpegtest::MakePhoto(1920, 1080)},
  };
  return subjects;
}

struct Mode {
  const char* name;
  bool progressive;
  bool subsample420;
  bool optimize;  // ours only: fitted Huffman tables for a sequential file
};

constexpr Mode kModes[] = {{"baseline-420", false, true, false},
                           {"baseline-444", false, false, false},
                           {"progressive-420", true, true, false},
                           {"baseline-420-optimised", false, true, true}};

std::vector<uint8_t> EncodeOurs(const jpegtest::Image& image, int quality, const Mode& mode) {
  imgctl::jpeg::EncodeOptions options;
  options.quality = quality;
  options.progressive = mode.progressive;
  options.subsample420 = mode.subsample420;
  options.optimizeCoding = mode.optimize;
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
      const auto [it, added] = times_.emplace(run.run_name.function_name, run.GetAdjustedCPUTime());
      if (!added) it->second = std::min(it->second, run.GetAdjustedCPUTime());
    }
  }
  const std::map<std::string, double>& Times() const { return times_; }

 private:
  std::map<std::string, double> times_;
};

std::string BenchmarkName(const std::string& key) { return "jpeg/" + key; }

}  // namespace

int main(int argc, char** argv) {
  const int qualities[] = {75, 90};
  for (const Subject& subject : Subjects()) {
    for (int quality : qualities) {
      for (const Mode& mode : kModes) {
        const std::string key = subject.name + " q" + std::to_string(quality) + " " + mode.name;
        benchmark::RegisterBenchmark(BenchmarkName(key + " ours").c_str(), [&subject, quality, &mode](benchmark::State& s) {
          Measure(s, subject, quality, mode, true);
        })->Unit(benchmark::kMillisecond)->MinTime(0.3)->Repetitions(5)->ReportAggregatesOnly(false);
        if (!mode.optimize) {
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
      for (const Mode& mode : kModes) {
        const std::string key = subject.name + " q" + std::to_string(quality) + " " + mode.name;
        // The optimised run is compared with libjpeg-turbo's plain baseline at the same sampling.
        const std::string turboKey = subject.name + " q" + std::to_string(quality) + " " +
                                     (mode.optimize ? std::string("baseline-420") : std::string(mode.name));
        const auto ours = reporter.Times().find(BenchmarkName(key + " ours"));
        const auto turbo = reporter.Times().find(BenchmarkName(turboKey + " turbo"));
        if (ours == reporter.Times().end() || turbo == reporter.Times().end()) continue;
        const Result& o = g_results[key + " ours"];
        const Result& t = g_results[turboKey + " turbo"];
        std::printf("%-52s %9.2f %9.2f %8.2f %8.3f %10.2f %10.2f\n", key.c_str(), ours->second, turbo->second,
                    ours->second / turbo->second, o.bytes / t.bytes, o.psnr, t.psnr);
      }
    }
  }
  return 0;
}
