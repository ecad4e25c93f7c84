#include "cut_driver.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_WINDOWS_UTF8
#include <stb/stb_image.h>

namespace pelmo::test {

Image DecodeImage(const std::wstring& path) {
  Image d;
  const std::string bytes = ReadFileBytes(path);
  int channels = 0;
  stbi_uc* px = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), static_cast<int>(bytes.size()),
                                      &d.width, &d.height, &channels, 3);
  if (!px) return {};
  d.rgb.assign(px, px + static_cast<size_t>(d.width) * d.height * 3);
  stbi_image_free(px);
  return d;
}

namespace {

// One absolute move through the input system, in the 0..65535 units of the virtual screen.
void SendMove(LONG nx, LONG ny) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = nx;
  in.mi.dy = ny;
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
  SendInput(1, &in, sizeof(in));
}

LONG ToUnits(int v, int origin, int size) {
  return static_cast<LONG>(((static_cast<int64_t>(v - origin) * 65535) + size - 1) / size);
}

}  // namespace

void MoveTo(int x, int y) {
  const int vx = GetSystemMetrics(SM_XVIRTUALSCREEN), vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int vw = GetSystemMetrics(SM_CXVIRTUALSCREEN), vh = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  LONG nx = ToUnits(x, vx, vw), ny = ToUnits(y, vy, vh);
  // The units do not map one to one onto pixels: correct by the error seen, then wait for it.
  for (int attempt = 0; attempt < 6; ++attempt) {
    SendMove(nx, ny);
    POINT p{};
    for (int i = 0; i < 20; ++i) {
      PumpFor(10);
      GetCursorPos(&p);
      if (p.x == x && p.y == y) break;
    }
    if (p.x == x && p.y == y) break;
    nx += (x - p.x) * 65535 / vw + (x > p.x ? 1 : (x < p.x ? -1 : 0));
    ny += (y - p.y) * 65535 / vh + (y > p.y ? 1 : (y < p.y ? -1 : 0));
  }
  PumpFor(50);
}

namespace {
void Button(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  SendInput(1, &in, sizeof(in));
  PumpFor(60);
}
}  // namespace

void LeftDown() { Button(MOUSEEVENTF_LEFTDOWN); }
void LeftUp() { Button(MOUSEEVENTF_LEFTUP); }
void RightClick() {
  Button(MOUSEEVENTF_RIGHTDOWN);
  Button(MOUSEEVENTF_RIGHTUP);
}

std::vector<std::wstring> FilesUnder(const std::wstring& folder) {
  std::vector<std::wstring> files, dirs{folder};
  while (!dirs.empty()) {
    const std::wstring dir = dirs.back();
    dirs.pop_back();
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) continue;
    do {
      const std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? dirs : files).push_back(dir + L"\\" + name);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  return files;
}

bool CutSession::Start(const std::wstring& extra, const std::wstring& fileName) {
  out_ = pelmo.path(L"out");
  if (!CreateDirectoryW(out_.c_str(), nullptr)) return false;
  TestProfile profile;
  profile.name = L"cut";
  profile.saveFolder = out_;
  profile.imageType = 3;
  profile.fileName = fileName;
  profile.keys = {{L"ScreenCut", VK_F5}, {L"ScreenCutRect", VK_F6}, {L"ScreenCutTarget", VK_F7},
                  {L"SetClipboard", VK_F8}};
  profile.extraSections = L"[PNG]\r\nPngColor=24\r\n" + extra;
  if (!InstallProfile(pelmo.folder().path(), profile)) return false;
  if (!pelmo.Start()) return false;
  return pelmo.WaitForMainWindow() != nullptr;
}

bool CutSession::BeginCut(WORD key) {
  const size_t before = monitor.Lines(L"cut overlay shown").size();
  PressKey(key, 80);
  return monitor.WaitFor(L"cut overlay shown", before + 1, 10000).size() > before;
}

bool CutSession::WaitEventDone(int id, size_t count, DWORD ms) {
  return monitor.WaitFor(L"event " + std::to_wstring(id) + L" ", count, ms).size() >= count;
}

}  // namespace pelmo::test
