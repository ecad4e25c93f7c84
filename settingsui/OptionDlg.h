// The settings window: profile selector, page list and pages. It owns the capture engine (which
// is also the profile manager) and the system settings of setting.ini.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "capture/ScreenShot.h"
#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "settings/SystemSettings.h"
#include "settingsui/SettingsPage.h"

namespace pelmo {

class COpGeneralDlg;
class CUnknownDlg;

class CdlgOption : public fw::Dialog {
 public:
  // Rows of the page list, in order; any other index shows the quick-start page.
  enum Page : int {
    kPageGeneral = 0, kPageFileName, kPageKey, kPageSound, kPageBmp, kPageJpg, kPageGif, kPagePng,
    kPageResize, kPageScreenCut, kPageDisplay, kPageAutoCapture, kPageTool, kPageOptions, kPageVersion,
    kPageCount
  };

  explicit CdlgOption(fw::Wnd& mainWindow);
  ~CdlgOption() override;

  CScreenShot& engine() { return engine_; }
  SystemSettings& systemSettings() { return system_; }

  // Profile list access for the tray menu: -1 when the selector is empty.
  int ProfileCount() const;
  std::wstring ProfileText(int index) const;
  int SelectedProfile() const;
  std::vector<std::wstring> ProfileNames() const;
  bool IsProfileLoaded() const { return profileLoaded_ != 0; }

  // The common option "Show": open this window at start-up.
  bool ShowAtStart() const { return engine_.Current().other.GetShow() != 0; }
  // Tray commands, carried out by the pages that show the values, so they never show stale ones.
  void ToggleInputDisabledMode();
  void ToggleAllSoundOff();
  void SelectFormat(int type);

  // Called once when the program ends: saves (asking unless atLogoff) and records the last profile.
  void SaveOnExit(int atLogoff);

  HWND PageWindow(int index) const;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override;
  bool OnCommand(UINT id, UINT code, HWND control) override;
  std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  bool PreTranslateMessage(MSG& msg) override;

 private:
  void BuildPageTable();
  void InitPageList();
  void CreatePages();
  void LayOut();
  void ShowPage(int index);
  bool InsidePage(HWND window) const;
  void RefreshPages();

  void ChangeProfileState(int loaded);
  bool LoadWithFallback(std::wstring name);
  void SwitchProfile();
  // True to go on (saved, or not to be saved), false to keep the profile being edited.
  bool AskSaveQuestion();
  // Writes the profile; tells the user when the write failed.
  bool SaveWithMessage();
  int AddEntry(const std::wstring& name);
  void RemoveEntry(int index);
  int FindExact(const std::wstring& name) const;
  int Ask(UINT stringId, UINT type, const std::wstring& suffix = L"");

  void OnNewProfile();
  void OnSaveProfile();
  void OnDeleteProfile();
  void OnRenameProfile();
  void OnQuickStart();
  std::optional<LRESULT> OnCtlColor(WPARAM dc, HWND control);

  // One row of the page list: the page and how it fills itself from the profile. A page of a
  // lower folder (the conversion tool page) is a plain dialog with a refresh of its own.
  struct PageSlot {
    std::unique_ptr<fw::Dialog> page;
    std::function<void()> refresh;  // empty for pages that show nothing of the profile
  };
  template <typename Page>
  static PageSlot Slot(std::unique_ptr<Page> page) {
    Page* p = page.get();
    return PageSlot{std::move(page), [p] { p->Refresh(); }};
  }

  fw::Wnd& mainWindow_;
  CScreenShot engine_;
  SystemSettings system_;
  // The page table, in page-list order, and the quick-start page.
  std::array<PageSlot, kPageCount> pages_;
  std::unique_ptr<CUnknownDlg> quickStart_;
  COpGeneralDlg* general_ = nullptr;

  HIMAGELIST pageImages_ = nullptr;  // destroyed with the list control (no LVS_SHAREIMAGELISTS)
  fw::UniqueFont listFont_;
  fw::UniqueFont selectorFont_;
  fw::UniqueBrush white_;
  fw::UniqueIcon bigIcon_;
  fw::UniqueIcon smallIcon_;
  int profileLoaded_ = 0;
};

}  // namespace pelmo
