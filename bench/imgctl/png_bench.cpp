// PNG encoding: our writer against libpng at its default settings (zlib level 6, adaptive
// filters), the same pixels in memory. Prints time and size ratios at the end. With
// --corpus=DIR (see scripts/make-corpus) the images are the PNG files of DIR (real screenshots
// and photographs); without it, generated ones.
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <algorithm>
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

std::string g_corpus;
std::vector<std::string> g_names;

// A PNG file as a 32-bit screen-copy-like image (B,G,R,X, no alpha).
bool ReadPng(const std::string& file, Image& img) {
  FILE* f = std::fopen(file.c_str(), "rb");
  if (!f) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_read_info(png, info);
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_strip_alpha(png);
  png_set_bgr(png);
  png_set_filler(png, 0xff, PNG_FILLER_AFTER);
  png_read_update_info(png, info);
  int w = static_cast<int>(png_get_image_width(png, info)), h = static_cast<int>(png_get_image_height(png, info));
  if (!imgctl::Allocate(img, w, h, 32)) longjmp(png_jmpbuf(png), 1);
  std::vector<png_bytep> rows(static_cast<size_t>(h));
  for (int y = 0; y < h; ++y) rows[static_cast<size_t>(y)] = img.Row(y);
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(f);
  return true;
}

std::vector<TestImage>& Images() {
  static std::vector<TestImage> images = [] {
    std::vector<TestImage> v;
    if (!g_corpus.empty()) {
      std::vector<std::string> files;
      for (const auto& e : std::filesystem::directory_iterator(g_corpus))
        if (e.path().extension() == ".png") files.push_back(e.path().string());
      std::sort(files.begin(), files.end());
      for (const std::string& file : files) {
        Image img;
        if (!ReadPng(file, img)) {
          std::fprintf(stderr, "cannot read %s\n", file.c_str());
          std::exit(1);
        }
        g_names.push_back(std::filesystem::path(file).stem().string());
        v.push_back({g_names.back().c_str(), std::move(img)});
      }
      for (size_t i = 0; i < v.size(); ++i) v[i].name = g_names[i].c_str();
      return v;
    }
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

// libpng reads our file back from memory; true when every pixel matches the source.
bool LibpngReadsBackExactly(const std::vector<uint8_t>& file, const Image& src) {
  png_image pi{};
  pi.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&pi, file.data(), file.size())) return false;
  pi.format = PNG_FORMAT_BGRA;
  std::vector<uint8_t> px(PNG_IMAGE_SIZE(pi));
  if (!png_image_finish_read(&pi, nullptr, px.data(), 0, nullptr)) return false;
  if (static_cast<int>(pi.width) != src.width || static_cast<int>(pi.height) != src.height) return false;
  for (int y = 0; y < src.height; ++y) {
    const uint8_t* a = px.data() + static_cast<size_t>(y) * pi.width * 4;
    for (int x = 0; x < src.width; ++x) {
      imgctl::Bgra c = imgctl::PixelAt(src, src.Row(y), x);
      if (a[4 * x] != c.b || a[4 * x + 1] != c.g || a[4 * x + 2] != c.r || a[4 * x + 3] != c.a) return false;
    }
  }
  return true;
}

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
    std::printf("\n%-28s %12s %12s %12s %12s %12s  %s\n", "image", "ours ms cpu", "libpng ms cpu", "time ratio",
                "speed-up", "size ratio", "libpng reads back");
    double sumOurs = 0, sumRef = 0, sumSo = 0, sumSr = 0;
    for (size_t i = 0; i < Images().size(); ++i) {
      const char* name = Images()[i].name;
      auto ours = times_.find("BM_Ours/" + std::to_string(i));
      auto ref = times_.find("BM_Libpng/" + std::to_string(i));
      if (ours == times_.end() || ref == times_.end()) continue;
      double so = g_size[std::string("ours/") + name], sr = g_size[std::string("libpng/") + name];
      std::vector<uint8_t> file;
      imgctl::EncodePng(Images()[i].img, false, file);
      bool exact = LibpngReadsBackExactly(file, Images()[i].img);
      std::printf("%-28s %12.1f %12.1f %12.3f %11.2fx %12.3f  %s\n", name, ours->second, ref->second,
                  ours->second / ref->second, ref->second / ours->second, so / sr, exact ? "exact" : "MISMATCH");
      sumOurs += ours->second;
      sumRef += ref->second;
      sumSo += so;
      sumSr += sr;
    }
    std::printf("%-28s %12.1f %12.1f %12.3f %11.2fx %12.3f\n", "whole set", sumOurs, sumRef, sumOurs / sumRef,
                sumRef / sumOurs, sumSo / sumSr);
    if (!g_corpus.empty()) return;
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
  // --corpus=DIR: our own flag, taken out before the benchmark library sees the arguments.
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--corpus=", 9) == 0) g_corpus = argv[i] + 9;
    else argv[kept++] = argv[i];
  }
  argc = kept;
  benchmark::Initialize(&argc, argv);
  const int n = static_cast<int>(Images().size());
  for (int i = 0; i < n; ++i)
    benchmark::RegisterBenchmark("BM_Ours", BM_Ours)->Arg(i)->Unit(benchmark::kMillisecond)->MinTime(1.0);
  for (int i = 0; i < n; ++i)
    benchmark::RegisterBenchmark("BM_Libpng", BM_Libpng)->Arg(i)->Unit(benchmark::kMillisecond)->MinTime(1.0);
  if (g_corpus.empty())
    benchmark::RegisterBenchmark("BM_Ours8Bit", BM_Ours8Bit)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->MinTime(1.0);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
