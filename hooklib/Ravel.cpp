// ravel.dll: the hook procedures run in the input threads of every hooked process, so they only
// test and set words of the shared section and post; they never allocate, block or call out.
#include "hooklib/Ravel.h"

#include <atomic>

namespace {

using pelmo::ravel::kKeyTableEntries;
using pelmo::ravel::SharedState;

// One copy for every process that maps the library.
__attribute__((section("MAIN_WIN"), shared)) SharedState g_shared = {
    1,     // key-down enabled
    0,     // not installed
    {},    // no key down
    0, 0, 0, 0,  // message numbers
    0, 0, 0,     // window and hook handles
};

HINSTANCE g_module = nullptr;  // per process

// Every shared field is an aligned word read and written whole, from many processes at once.
template <class T>
T Load(T& field) {
  return std::atomic_ref<T>(field).load(std::memory_order_relaxed);
}
template <class T>
void Store(T& field, T value) {
  std::atomic_ref<T>(field).store(value, std::memory_order_relaxed);
}

// Handles are 32-bit values on every Windows; widen them the way the system does (sign-extend).
uint32_t HandleToWord(const void* h) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(h)); }
template <class H>
H WordToHandle(uint32_t w) {
  return reinterpret_cast<H>(static_cast<intptr_t>(static_cast<int32_t>(w)));
}

HWND MainWindow() { return WordToHandle<HWND>(Load(g_shared.mainWindow)); }

void ClearKeyTable() {
  for (int32_t& entry : g_shared.keys) Store(entry, 0);
}

bool IsButtonDown(WPARAM msg) {
  return msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN ||
         msg == WM_NCLBUTTONDOWN || msg == WM_NCRBUTTONDOWN || msg == WM_NCMBUTTONDOWN;
}

bool IsButtonUp(WPARAM msg) {
  return msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP ||
         msg == WM_NCLBUTTONUP || msg == WM_NCRBUTTONUP || msg == WM_NCMBUTTONUP;
}

// Keyboard messages name Shift, Ctrl and Alt by their side-neutral codes 16..18, which no binding
// made with the polling source holds (it reports 160..165, as the default bindings use). Report the
// side the key is on, so both sources send the same codes.
WPARAM SideSpecificKey(WPARAM vk, LPARAM flags) {
  const bool extended = (static_cast<uint32_t>(flags) & (1u << 24)) != 0;
  const uint32_t scanCode = (static_cast<uint32_t>(flags) >> 16) & 0xFF;
  switch (vk) {
    case VK_SHIFT: return scanCode == 0x36 ? VK_RSHIFT : VK_LSHIFT;
    case VK_CONTROL: return extended ? VK_RCONTROL : VK_LCONTROL;
    case VK_MENU: return extended ? VK_RMENU : VK_LMENU;
    default: return vk;
  }
}

LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && (wParam & 0xFFFF) != 0 && wParam < static_cast<WPARAM>(kKeyTableEntries)) {
    const WPARAM key = SideSpecificKey(wParam, lParam);
    int32_t& entry = g_shared.keys[key];
    const bool released = (static_cast<uint32_t>(lParam) & 0x80000000u) != 0;
    if (!released) {
      if (Load(entry) == 0) {  // a repeat finds the entry set and posts nothing
        Store(entry, 1);
        const uint32_t msg = Load(g_shared.keyDownMessage);
        const HWND target = MainWindow();
        if (msg != 0 && target != nullptr && Load(g_shared.keyDownEnabled) != 0) {
          PostMessageW(target, msg, key, lParam);
        }
      }
    } else if (Load(entry) != 0) {
      Store(entry, 0);
      const uint32_t msg = Load(g_shared.keyUpMessage);
      const HWND target = MainWindow();
      if (msg != 0 && target != nullptr) PostMessageW(target, msg, key, lParam);
    }
  }
  return CallNextHookEx(WordToHandle<HHOOK>(Load(g_shared.keyboardHook)), code, wParam, lParam);
}

LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const bool down = IsButtonDown(wParam);
    if (down || IsButtonUp(wParam)) {
      const int32_t key = rvTransVKeyMouseCode(static_cast<uint32_t>(wParam), 0, 0);
      int32_t& entry = g_shared.keys[key];
      if (down ? Load(entry) == 0 : Load(entry) != 0) {
        Store(entry, down ? 1 : 0);
        const uint32_t msg = Load(down ? g_shared.mouseDownMessage : g_shared.mouseUpMessage);
        const HWND target = MainWindow();
        if (msg != 0 && target != nullptr) PostMessageW(target, msg, static_cast<WPARAM>(key), lParam);
      }
    }
  }
  return CallNextHookEx(WordToHandle<HHOOK>(Load(g_shared.mouseHook)), code, wParam, lParam);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
  g_module = instance;
  return TRUE;
}

extern "C" {

int32_t WINAPI rvInstallHook() {
#ifdef RAVEL_REFUSE_INSTALL  // a test build: the system refuses the hooks
  return 0;
#endif
  const HHOOK keyboard = SetWindowsHookExW(WH_KEYBOARD, KeyboardProc, g_module, 0);
  Store(g_shared.keyboardHook, HandleToWord(keyboard));
  if (keyboard == nullptr) return 0;
  const HHOOK mouse = SetWindowsHookExW(WH_MOUSE, MouseProc, g_module, 0);
  Store(g_shared.mouseHook, HandleToWord(mouse));
  if (mouse == nullptr) {
    // A half-installed pair would keep hooking every process with nobody to remove it.
    UnhookWindowsHookEx(keyboard);
    Store(g_shared.keyboardHook, 0u);
    return 0;
  }
  Store(g_shared.installed, 1);
  ClearKeyTable();
  return 1;
}

int32_t WINAPI rvUnInstallHook() {
  if (!UnhookWindowsHookEx(WordToHandle<HHOOK>(Load(g_shared.keyboardHook)))) return 0;
  if (!UnhookWindowsHookEx(WordToHandle<HHOOK>(Load(g_shared.mouseHook)))) return 0;
  Store(g_shared.installed, 0);
  return 1;
}

int32_t WINAPI rvSetMainHwnd(HWND hwnd) {
  Store(g_shared.mainWindow, HandleToWord(hwnd));
  return hwnd != nullptr ? 1 : 0;
}

HWND WINAPI rvGetMainHwnd() { return MainWindow(); }

uint32_t WINAPI rvInstallCallBackKeyBoardDown(uint32_t msg) {
  Store(g_shared.keyDownMessage, msg);
  return msg;
}

uint32_t WINAPI rvInstallCallBackKeyBoardUp(uint32_t msg) {
  Store(g_shared.keyUpMessage, msg);
  return msg;
}

uint32_t WINAPI rvInstallCallBackMouseDown(uint32_t msg) {
  Store(g_shared.mouseDownMessage, msg);
  return msg;
}

uint32_t WINAPI rvInstallCallBackMouseUp(uint32_t msg) {
  Store(g_shared.mouseUpMessage, msg);
  return msg;
}

uint32_t WINAPI rvGetCallBackKeyBoardDown() { return Load(g_shared.keyDownMessage); }
uint32_t WINAPI rvGetCallBackKeyBoardUp() { return Load(g_shared.keyUpMessage); }
uint32_t WINAPI rvGetCallBackMouseDown() { return Load(g_shared.mouseDownMessage); }
uint32_t WINAPI rvGetCallBackMouseUp() { return Load(g_shared.mouseUpMessage); }

int32_t WINAPI rvResetSetting() {
  Store(g_shared.mainWindow, 0u);
  Store(g_shared.keyDownMessage, 0u);
  Store(g_shared.keyUpMessage, 0u);
  Store(g_shared.mouseDownMessage, 0u);
  Store(g_shared.mouseUpMessage, 0u);
  ClearKeyTable();
  return 0;
}

int32_t* WINAPI rvGetVKeyCode() { return g_shared.keys; }

int32_t WINAPI rvGetState() { return Load(g_shared.installed); }

int32_t WINAPI rvCompInstallHwnd(HWND hwnd) { return hwnd == MainWindow() ? 1 : 0; }

int32_t WINAPI rvTransVKeyMouseCode(uint32_t mouseMsg, int32_t, int32_t) {
  switch (mouseMsg) {
    case WM_NCLBUTTONDOWN: case WM_NCLBUTTONUP: case WM_LBUTTONDOWN: case WM_LBUTTONUP:
      return VK_LBUTTON;
    case WM_NCRBUTTONDOWN: case WM_NCRBUTTONUP: case WM_RBUTTONDOWN: case WM_RBUTTONUP:
      return VK_RBUTTON;
    case WM_NCMBUTTONDOWN: case WM_NCMBUTTONUP: case WM_MBUTTONDOWN: case WM_MBUTTONUP:
      return VK_MBUTTON;
    default:
      return 0;
  }
}

int32_t WINAPI rvEnableKeyDown(int32_t flag) {
  const int32_t value = flag != 0 ? 1 : 0;
  Store(g_shared.keyDownEnabled, value);
  return value;
}

}  // extern "C"
