// The whole conversion tool under Wine against ImageMagick's mogrify on the same 200 screenshots:
// the program is started from a fresh program folder, the files are dropped on its settings
// window, "変換" is pressed, and the time runs until every row has its mark. mogrify converts
// the same files in one process, started from here, in the same run.
//
//   convert_wine_bench.exe <input folder with shot000.png ... shot199.png> [repetitions, default 3]
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "convert_wine_driver.h"

using namespace pelmo::test::convert;

namespace {

constexpr int kFiles = 200;

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t;
}

unsigned long long FolderBytes(const std::wstring& dir, int* count) {
  unsigned long long total = 0;
  *count = 0;
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  do {
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    total += (static_cast<unsigned long long>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
    ++*count;
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return total;
}

struct Result {
  double seconds = 0;
  unsigned long long bytes = 0;
  int files = 0;
};

Result RunTool(const std::wstring& in, int type, const std::wstring& sections) {
  Result r;
  pelmo::test::PelmoProcess pelmo;
  const std::wstring out = pelmo.path(L"out");
  CreateDirectoryW(out.c_str(), nullptr);
  pelmo::test::TestProfile profile;
  profile.name = L"bench";
  profile.saveFolder = pelmo.path(L"shots");
  profile.imageType = type;
  profile.extraSections = sections + L"[TRANSLATE]\r\nEnableSaveDirectory=1\r\nSaveDirectory=" + out + L"\r\n";
  if (!pelmo::test::InstallProfile(pelmo.folder().path(), profile) || !pelmo.Start() || !pelmo.WaitForMainWindow()) {
    std::fprintf(stderr, "the program did not start\n");
    return r;
  }
  HWND settings = pelmo::test::FindPelmoSettingsWindow(pelmo.process().pid());
  HWND page = settings ? FindToolPage(settings) : nullptr;
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pelmo.process().pid());
  if (!page || !process) {
    std::fprintf(stderr, "no tool page\n");
    return r;
  }
  HWND list = GetDlgItem(page, 1095);
  std::vector<std::wstring> paths;
  for (int i = 0; i < kFiles; ++i) {
    wchar_t name[32];
    swprintf(name, 32, L"shot%03d.png", i);
    paths.push_back(in + L"\\" + name);
  }
  PostDrop(process, settings, paths);
  WaitUntil([&] { return SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == kFiles; }, 30000);
  const DWORD pid = pelmo.process().pid();
  const LARGE_INTEGER start = Now();
  PostMessageW(page, WM_COMMAND, MAKEWPARAM(1096, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, 1096)));
  // Done when the last row carries its mark and the progress window is gone.
  for (;;) {
    if (ListRowImage(process, list, kFiles - 1) != 0 && !ProgramWindow(pid, L"イメージ変換中")) break;
    Sleep(10);
  }
  r.seconds = Seconds(start, Now());
  CloseHandle(process);
  r.bytes = FolderBytes(out, &r.files);
  return r;
}

Result RunMagick(const std::wstring& in, const std::wstring& out, const std::string& args) {
  Result r;
  CreateDirectoryW(out.c_str(), nullptr);
  const LARGE_INTEGER start = Now();
  const std::string said =
      RunUnix("cd " + Quote(UnixPath(in)) + " && /usr/bin/mogrify -path " + Quote(UnixPath(out)) + " " + args + " *.png", 900000);
  r.seconds = Seconds(start, Now());
  r.bytes = FolderBytes(out, &r.files);
  if (r.files == 0) std::fprintf(stderr, "mogrify: %s\n", said.c_str());
  return r;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: convert_wine_bench.exe <folder of shot000.png ...>\n");
    return 2;
  }
  const std::wstring in = argv[1];
  struct Mode {
    const char* name;
    int type;
    const wchar_t* sections;
    const char* magick;
  } modes[] = {
      {"JPG q75", 1, L"[JPG]\r\nJpgCompression=75\r\nJpgProgression=0\r\n", "-format jpg -quality 75"},
      // ImageMagick's colour reduction, and its PNG writer's own bit-cutting (see convert_bench).
      {"PNG8 -colors", 3, L"[PNG]\r\nPngColor=8\r\nPngInterlace=0\r\n",
       "-format png -colors 256 -define png:format=png8"},
      {"PNG8 cut", 3, L"[PNG]\r\nPngColor=8\r\nPngInterlace=0\r\n", "-format png -define png:format=png8"},
  };
  const int reps = argc > 2 ? _wtoi(argv[2]) : 3;
  int i = 0;
  for (const Mode& m : modes) {
    // Each side `reps` times, alternating (the machine is shared); the median of each.
    std::vector<Result> theirs, mine;
    for (int rep = 0; rep < reps; ++rep) {
      // Beside the inputs: a folder of the Unix file system, seen the same from both sides.
      const std::wstring out = in + L"\\..\\wine-magick-out" + std::to_wstring(i++);
      RunUnix("rm -rf " + Quote(UnixPath(out)));
      theirs.push_back(RunMagick(in, out, m.magick));
      mine.push_back(RunTool(in, m.type, m.sections));
      RunUnix("rm -rf " + Quote(UnixPath(out)));
    }
    auto median = [](std::vector<Result> v) {
      std::sort(v.begin(), v.end(), [](const Result& a, const Result& b) { return a.seconds < b.seconds; });
      return v[v.size() / 2];
    };
    const Result magick = median(theirs), ours = median(mine);
    std::printf("%-12s tool %7.2f s %9.1f KiB (%d files) | mogrify %7.2f s %9.1f KiB (%d files) | time %.3f size %.3f\n",
                m.name, ours.seconds, ours.bytes / 1024.0, ours.files, magick.seconds, magick.bytes / 1024.0,
                magick.files, ours.seconds / magick.seconds,
                static_cast<double>(ours.bytes) / static_cast<double>(magick.bytes));
    std::fflush(stdout);
  }
  return 0;
}
