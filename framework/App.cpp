#include "App.h"

#include "Wnd.h"
#include "core/AppDirectory.h"

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
  const std::wstring& full = pelmo::GetExecutablePath();
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


}  // namespace fw
