// Whole-profile load and save, our store against the platform's private-profile functions
// doing the same keys one call each. Prints medians and ratios measured in this run.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/AppDirectory.h"
#include "settings/IniDocument.h"
#include "settings/IniStore.h"
#include "settings/Profile.h"
#include "core/TextCodec.h"

using namespace pelmo;
using Clock = std::chrono::steady_clock;

namespace {

struct Key {
  std::wstring section, key, value;
  bool numeric;
};

std::string ReadAll(const std::wstring& path) {
  std::string bytes;
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return bytes;
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got) bytes.append(buf, got);
  CloseHandle(f);
  return bytes;
}

// The keys of a saved profile, in file order.
std::vector<Key> KeysOf(const std::wstring& path) {
  std::vector<Key> keys;
  std::wstring text = DecodeIniText(ReadAll(path));
  std::wstring section;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find(L"\r\n", pos);
    if (end == std::wstring::npos) end = text.size();
    std::wstring line = text.substr(pos, end - pos);
    pos = end + 2;
    if (line.size() > 2 && line[0] == L'[') {
      section = line.substr(1, line.size() - 2);
    } else if (size_t eq = line.find(L'='); eq != std::wstring::npos) {
      std::wstring value = line.substr(eq + 1);
      bool numeric = !value.empty() && value.find_first_not_of(L"-0123456789") == std::wstring::npos;
      keys.push_back({section, line.substr(0, eq), value, numeric});
    }
  }
  return keys;
}

template <typename F>
double MedianMicros(int runs, F&& f) {
  std::vector<double> t;
  for (int i = 0; i < runs; ++i) {
    auto a = Clock::now();
    f(i);
    t.push_back(std::chrono::duration<double, std::micro>(Clock::now() - a).count());
  }
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

}  // namespace

int wmain() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring dir = std::wstring(temp) + L"pelmo-settings-bench-" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(dir.c_str(), nullptr);
  SetAppDirectoryForTesting(dir);

  CProfile m;
  if (m.CreateProfile(L"bench", false) != 1) {
    std::printf("could not create the profile\n");
    return 1;
  }
  m.SetCurrentName(L"bench");
  std::wstring ours;
  m.GetProfilePath(ours);
  const std::vector<Key> keys = KeysOf(ours);
  const std::wstring theirs = dir + L"\\Profile\\platform.ini";
  for (const auto& k : keys) WritePrivateProfileStringW(k.section.c_str(), k.key.c_str(), k.value.c_str(), theirs.c_str());

  const int runs = 41;
  volatile int32_t sink = 0;

  double ourLoad = MedianMicros(runs, [&](int) { sink = sink + m.LoadCurrent(); });
  double theirLoad = MedianMicros(runs, [&](int) {
    wchar_t buf[2048];
    for (const auto& k : keys) {
      if (k.numeric) {
        sink = sink + static_cast<int32_t>(GetPrivateProfileIntW(k.section.c_str(), k.key.c_str(), 0, theirs.c_str()));
      } else {
        sink = sink + static_cast<int32_t>(
                          GetPrivateProfileStringW(k.section.c_str(), k.key.c_str(), L"", buf, 2048, theirs.c_str()));
      }
    }
  });

  // A save after one edit, and a save in which every value changed.
  double ourSaveOne = MedianMicros(runs, [&](int i) {
    m.Current().jpg.SetJpgCompression(50 + i % 2);
    m.SaveCurrent();
  });
  double theirSaveOne = MedianMicros(runs, [&](int i) {
    for (const auto& k : keys) {
      std::wstring v = k.value;
      if (k.key == L"JpgCompression") v = std::to_wstring(50 + i % 2);
      WritePrivateProfileStringW(k.section.c_str(), k.key.c_str(), v.c_str(), theirs.c_str());
    }
  });
  double ourSaveAll = MedianMicros(runs, [&](int i) {
    IniBatch batch;
    for (const auto& k : keys) IniStore::WriteString(ours, k.section, k.key, k.value + std::to_wstring(i % 2));
  });
  double theirSaveAll = MedianMicros(runs, [&](int i) {
    for (const auto& k : keys) {
      std::wstring v = k.value + std::to_wstring(i % 2);
      WritePrivateProfileStringW(k.section.c_str(), k.key.c_str(), v.c_str(), theirs.c_str());
    }
  });

  std::printf("whole profile: %zu keys, %d runs, medians in microseconds\n", keys.size(), runs);
  std::printf("load                 ours %9.0f  platform %9.0f  platform/ours %6.2f\n", ourLoad, theirLoad,
              theirLoad / ourLoad);
  std::printf("save, one value new  ours %9.0f  platform %9.0f  platform/ours %6.2f\n", ourSaveOne, theirSaveOne,
              theirSaveOne / ourSaveOne);
  std::printf("save, all values new ours %9.0f  platform %9.0f  platform/ours %6.2f\n", ourSaveAll, theirSaveAll,
              theirSaveAll / ourSaveAll);

  DeleteFileW(theirs.c_str());
  DeleteFileW(ours.c_str());
  DeleteFileW((dir + L"\\common.ini").c_str());
  RemoveDirectoryW((dir + L"\\Profile").c_str());
  RemoveDirectoryW(dir.c_str());
  return sink == -12345 ? 2 : 0;
}
