// PNG encoding: our writer against libpng at its default settings (zlib level 6, adaptive
// filters), the same pixels in memory, no file system. Prints time and size ratios at the end.
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "Depth.h"
#include "PngWriter.h"
#include "Quantize.h"
#include "SyntheticImages.h"

namespace {

using imgctl::Image;

struct TestImage {
  const char* name;
  Image img;
};

std::vector<TestImage>& Images() {
  static std::vector<TestImage> images = [] {
    std::vector<TestImage> v;
    v.push_back({"screenshot 1920x1080", imgctl::testing::Screenshot(1920, 1080)});
    v.push_back({"screenshot 3840x2160", imgctl::testing::Screenshot(3840, 2160)});
    v.push_back({"rich screenshot 1920x1080", imgctl::testing::RichScreenshot(1920, 1080)});
    v.push_back({"photo 1920x1080", imgctl::testing::Photo(1920, 1080)});
    return v;
  }();
  return images;
}

void Append(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}

// What a screenshot tool gets from libpng without tuning: RGB rows, every default.
bool LibpngDefault(const Image& img, std::vector<uint8_t>& out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  std::vector<uint8_t> row(static_cast<size_t>(img.width) * 3);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &out, Append, nullptr);
  png_set_IHDR(png, info, static_cast<png_uint_32>(img.width), static_cast<png_uint_32>(img.height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  int bpp = img.bpp / 8;
  for (int y = 0; y < img.height; ++y) {
    const uint8_t* s = img.Row(y);
    for (int x = 0; x < img.width; ++x) {
      row[3 * x] = s[bpp * x + 2];
      row[3 * x + 1] = s[bpp * x + 1];
      row[3 * x + 2] = s[bpp * x];
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

std::map<std::string, double> g_size;

void BM_Ours(benchmark::State& state) {
  const TestImage& t = Images()[static_cast<size_t>(state.range(0))];
  std::vector<uint8_t> out;
  for (auto _ : state) {
    out.clear();
    if (!imgctl::EncodePng(t.img, false, out)) state.SkipWithError("encode failed");
  }
  g_size[std::string("ours/") + t.name] = static_cast<double>(out.size());
  state.SetLabel(t.name);
  state.counters["bytes"] = static_cast<double>(out.size());
}

void BM_Libpng(benchmark::State& state) {
  const TestImage& t = Images()[static_cast<size_t>(state.range(0))];
  std::vector<uint8_t> out;
  for (auto _ : state) {
    out.clear();
    if (!LibpngDefault(t.img, out)) state.SkipWithError("libpng failed");
  }
  g_size[std::string("libpng/") + t.name] = static_cast<double>(out.size());
  state.SetLabel(t.name);
  state.counters["bytes"] = static_cast<double>(out.size());
}

// The screenshot written at 8 bits: depth conversion (exact colours) plus the writer.
void BM_Ours8Bit(benchmark::State& state) {
  const TestImage& t = Images()[static_cast<size_t>(state.range(0))];
  std::vector<uint8_t> out;
  for (auto _ : state) {
    Image copy = t.img;
    imgctl::ConvertTo8(copy, imgctl::kTo8ExactFirst | imgctl::kTo8Dither);
    out.clear();
    imgctl::EncodePng(copy, false, out);
  }
  state.SetLabel(t.name);
}

BENCHMARK(BM_Ours)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_Libpng)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_Ours8Bit)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// Keeps every run's time so the ratios can be printed after the console table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      // "BM_Ours/0/min_time:1.000" -> "BM_Ours/0"; CPU time, as the machine may be shared.
      std::string name = r.benchmark_name();
      size_t cut = name.find('/', name.find('/') + 1);
      times_[name.substr(0, cut)] = r.GetAdjustedCPUTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    std::printf("\n%-28s %12s %12s %12s %12s\n", "image", "ours ms cpu", "libpng ms cpu", "speed-up", "size ratio");
    for (size_t i = 0; i < Images().size(); ++i) {
      const char* name = Images()[i].name;
      auto ours = times_.find("BM_Ours/" + std::to_string(i));
      auto ref = times_.find("BM_Libpng/" + std::to_string(i));
      if (ours == times_.end() || ref == times_.end()) continue;
      double so = g_size[std::string("ours/") + name], sr = g_size[std::string("libpng/") + name];
      std::printf("%-28s %12.1f %12.1f %11.2fx %12.3f\n", name, ours->second, ref->second,
                  ref->second / ours->second, so / sr);
    }
    for (size_t i = 0; i < 2; ++i) {
      Image copy = Images()[i].img;
      imgctl::ConvertTo8(copy, imgctl::kTo8ExactFirst | imgctl::kTo8Dither);
      bool exact = true;
      for (int y = 0; y < copy.height && exact; ++y)
        for (int x = 0; x < copy.width; ++x)
          if (!(imgctl::PixelAt(copy, copy.Row(y), x) == imgctl::PixelAt(Images()[i].img, Images()[i].img.Row(y), x))) {
            exact = false;
            break;
          }
      std::printf("%s at 8 bits: %zu colours, %s\n", Images()[i].name, copy.palette.size(),
                  exact ? "every pixel unchanged" : "COLOURS CHANGED");
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
