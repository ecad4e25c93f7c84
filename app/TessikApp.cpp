#include "TessikApp.h"

#include <commctrl.h>

#include <memory>

#include "app/TessikDlg.h"
#include "capture/SystemCursors.h"
#include "core/resource.h"

namespace pelmo {

BOOL CTessikApp::InitInstance() {
  INITCOMMONCONTROLSEX icc{sizeof(icc), 0xFF};
  InitCommonControlsEx(&icc);

  // A second start finds the mutex held and ends silently, leaving the first one alone.
  mutex_.reset(CreateMutexW(nullptr, FALSE, appName().c_str()));
  if (!mutex_) return FALSE;
  const DWORD wait = WaitForSingleObject(mutex_.get(), 0);
  // WAIT_ABANDONED: an earlier instance died holding it; the mutex is ours now.
  if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) {
    mutex_.reset();
    return FALSE;
  }

  // The last run may have been killed inside a screen cut, with every cursor a cross-hair.
  RestoreCursorsAfterInterruptedCut();

  {
    auto mainWnd = std::make_unique<CTessikDlg>();
    if (mainWnd->Create(nullptr)) {
      SetMainWnd(mainWnd.get());
      // Hidden for good: no MLF_SHOWONIDLE.
      mainWnd->RunModalLoop(fw::MLF_NOKICKIDLE);
    }
    SetMainWnd(nullptr);
    ReleaseMutex(mutex_.get());
    mainWnd->Destroy();
  }
  mutex_.reset();
  return FALSE;
}

}  // namespace pelmo
