// The application object: one per process, started from wWinMain.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

class Wnd;

class App {
 public:
  App();
  virtual ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // Called by wWinMain. Returns the process exit code.
  int Start(HINSTANCE instance);

  static App* Current() { return current_; }
  // The module that holds the resources (the executable).
  static HINSTANCE ResourceInstance();

  HINSTANCE instance() const { return instance_; }
  // The executable's file name without its extension.
  const std::wstring& appName() const { return appName_; }

  Wnd* mainWnd() const { return mainWnd_; }
  void SetMainWnd(Wnd* wnd) { mainWnd_ = wnd; }

 protected:
  // FALSE ends the program at once (after ExitInstance), as a window-less application does.
  virtual BOOL InitInstance() { return TRUE; }
  virtual int ExitInstance() { return 0; }

 private:
  static App* current_;
  HINSTANCE instance_ = nullptr;
  std::wstring appName_;
  Wnd* mainWnd_ = nullptr;
};

}  // namespace fw
