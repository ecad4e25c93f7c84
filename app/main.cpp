#include <windows.h>

#include "app/TessikApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  pelmo::CTessikApp app;
  return app.Start(instance);
}
