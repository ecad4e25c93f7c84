#include "OpSoundDlg.h"

#include <commdlg.h>

#include <vector>

#include "core/Strings.h"
#include "core/resource.h"
#include "output/EventSound.h"
#include "settings/TemplateFile.h"
#include "settingsui/PageControls.h"

namespace pelmo {
namespace {
constexpr int kFileColumn = 2;
constexpr int kOutputColumn = 1;
}  // namespace

COpSoundDlg::COpSoundDlg(CSndProfile& sounds) : SettingsPage(IDD_OP_SOUND), sounds_(sounds), chooser_(&ChooseWaveFile) {}

std::optional<std::wstring> COpSoundDlg::ChooseWaveFile(HWND owner) {
  static const wchar_t kFilter[] = L"Waveファイル (*.wav)\0*.wav\0\0";
  std::vector<wchar_t> buf(CSndProfile::kPathBuffer, L'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = kFilter;
  ofn.lpstrFile = buf.data();
  ofn.nMaxFile = static_cast<DWORD>(buf.size());
  // The current folder stays the program's: relative sound paths are looked up there.
  ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&ofn)) return std::nullopt;
  return std::wstring(buf.data());
}

BOOL COpSoundDlg::OnInitDialog() {
  HWND list = Item(IDC_OP_EVENT_LIST);
  page::SetupReportList(list);
  const std::vector<int> widths = ColumnWidths(page::ListWidth(list), 25, {0.6, 0.15, 0.25});
  page::AddColumn(list, 0, L"イベント名", widths[0]);
  page::AddColumn(list, 1, L"出力", widths[1]);
  page::AddColumn(list, 2, L"ファイル名", widths[2]);
  for (int i = 0; i < kEventCount; ++i) page::InsertRow(list, i, LoadResString(IDS_EVENT_FIRST + i));
  HWND combo = Item(IDC_SOUND_FILE);
  SendMessageW(combo, CB_LIMITTEXT, CSndProfile::kPathBuffer, 0);
  std::wstring path;
  for (size_t i = 0; TemplateFile::GetSoundTemplatePath(i, path); ++i) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path.c_str()));
  }
  Refresh();
  return TRUE;
}

void COpSoundDlg::ShowRow(int row) {
  HWND list = Item(IDC_OP_EVENT_LIST);
  const auto e = static_cast<CaptureEventId>(row);
  page::SetCell(list, row, kOutputColumn, sounds_.GetSoundOn(e) ? L"on" : L"");
  page::SetCell(list, row, kFileColumn, FileNamePart(sounds_.GetSoundFile(e)));
}

void COpSoundDlg::EnableFileControls(bool on) {
  for (int id : {IDC_SOUND_FILE, IDC_SOUND_BROWSE, IDC_SOUND_PLAY, IDC_SOUND_STOP}) page::Enable(Item(id), on);
}

void COpSoundDlg::ShowCurrent() {
  const auto e = static_cast<CaptureEventId>(current_);
  page::SetText(Item(IDC_SOUND_FILE), sounds_.GetSoundFile(e));
  const bool on = sounds_.GetSoundOn(e) != 0;
  page::SetChecked(Item(IDC_SOUND_ON), on);
  EnableFileControls(on && !sounds_.GetAllSoundOff());
}

void COpSoundDlg::ApplyAllOff() {
  const bool off = sounds_.GetAllSoundOff() != 0;
  page::SetChecked(Item(IDC_SOUND_ALL_OFF), off);
  page::Enable(Item(IDC_OP_EVENT_LIST), !off);
  page::Enable(Item(IDC_SOUND_ON), !off);
  EnableFileControls(!off && sounds_.GetSoundOn(static_cast<CaptureEventId>(current_)) != 0);
}

void COpSoundDlg::Refresh() {
  // Row 0 becomes current first, so the selection's own notification changes nothing.
  current_ = 0;
  page::SelectRow(Item(IDC_OP_EVENT_LIST), 0);
  for (int i = 0; i < kEventCount; ++i) ShowRow(i);
  ShowCurrent();
  ApplyAllOff();
}

void COpSoundDlg::ToggleAllSoundOff() {
  sounds_.SetAllSoundOff(sounds_.GetAllSoundOff() ? 0 : 1);
  ApplyAllOff();
}

bool COpSoundDlg::OnCommand(UINT id, UINT code, HWND control) {
  // The tray's switch arrives as a menu command; its code 0 is also BN_CLICKED's.
  if (id == IDM_SOUNDS_OFF && !control) {
    ToggleAllSoundOff();
    return true;
  }
  const auto e = static_cast<CaptureEventId>(current_);
  if (code == BN_CLICKED) {
    switch (id) {
      case IDC_SOUND_ON: {
        const bool on = page::IsChecked(control);
        sounds_.SetSoundOn(e, on ? 1 : 0);
        EnableFileControls(on);
        ShowRow(current_);
        return true;
      }
      case IDC_SOUND_ALL_OFF:
        sounds_.SetAllSoundOff(page::IsChecked(control) ? 1 : 0);
        ApplyAllOff();
        return true;
      case IDC_SOUND_PLAY:
        PlayEventSound(sounds_, e);
        return true;
      case IDC_SOUND_STOP:
        StopEventSound();
        return true;
      case IDC_SOUND_BROWSE:
        if (std::optional<std::wstring> file = chooser_(GetAncestor(hwnd_, GA_ROOT))) {
          sounds_.SetSoundFile(e, *file);
          page::SetText(Item(IDC_SOUND_FILE), *file);
          ShowRow(current_);
        }
        return true;
      default:
        return false;
    }
  }
  if (id == IDC_SOUND_FILE && code == CBN_KILLFOCUS) {
    // The combo box always shows the current event's file (a row change sets it), so leaving it
    // stores what it shows.
    sounds_.SetSoundFile(e, page::GetText(control));
    ShowRow(current_);
    return true;
  }
  return false;
}

std::optional<LRESULT> COpSoundDlg::OnMessage(UINT msg, WPARAM, LPARAM lParam) {
  if (msg != WM_NOTIFY) return std::nullopt;
  const std::optional<int> row = page::NewlySelectedEventRow(lParam, current_);
  if (!row) return std::nullopt;
  if (*row < 0) return 0;
  current_ = *row;
  ShowCurrent();
  return 0;
}

}  // namespace pelmo
