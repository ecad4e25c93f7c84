#include "App.h"

#include "Wnd.h"

namespace fw {

App* App::current_ = nullptr;

App::App() { current_ = this; }

App::~App() {
  if (current_ == this) current_ = nullptr;
}

HINSTANCE App::ResourceInstance() {
  return current_ && current_->instance_ ? current_->instance_ : GetModuleHandleW(nullptr);
}

int App::Start(HINSTANCE instance) {
  instance_ = instance;
  wchar_t path[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  std::wstring full(path, n);
  const size_t slash = full.find_last_of(L"\\/");
  std::wstring base = slash == std::wstring::npos ? full : full.substr(slash + 1);
  const size_t dot = base.find_last_of(L'.');
  appName_ = dot == std::wstring::npos ? base : base.substr(0, dot);

  if (!InitInstance()) return ExitInstance();
  // An application that keeps running after InitInstance pumps here until WM_QUIT.
  while (PumpMessage()) {
  }
  return ExitInstance();
}

std::wstring LoadResString(UINT id) {
  const wchar_t* text = nullptr;
  // With a zero buffer size LoadStringW gives a read-only pointer into the resource.
  const int len = LoadStringW(App::ResourceInstance(), id, reinterpret_cast<LPWSTR>(&text), 0);
  return len > 0 && text ? std::wstring(text, static_cast<size_t>(len)) : std::wstring();
}

}  // namespace fw
