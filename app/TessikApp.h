// The application object: single instance, then the hidden main window's modal loop.
#pragma once

#include "framework/App.h"
#include "framework/Handles.h"

namespace pelmo {

class CTessikApp : public fw::App {
 protected:
  BOOL InitInstance() override;

 private:
  fw::UniqueKernelHandle mutex_;
};

}  // namespace pelmo
