// Small helpers the settings pages share for moving values in and out of their controls.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>

#include "core/CaptureEvents.h"
#include "core/resource.h"

#include "settingsui/PageRules.h"

namespace pelmo::page {

// The event row a WM_NOTIFY of a page's event list newly selects: nothing for other notices (the
// page passes them on), -1 for a change that selects no new event row (the page answers 0).
inline std::optional<int> NewlySelectedEventRow(LPARAM lParam, int currentRow) {
  const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
  if (hdr->idFrom != IDC_OP_EVENT_LIST || hdr->code != LVN_ITEMCHANGED) return std::nullopt;
  const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
  if (!(change->uNewState & LVIS_SELECTED) || change->iItem < 0 || change->iItem >= kEventCount) return -1;
  return change->iItem == currentRow ? -1 : change->iItem;
}

inline std::wstring GetText(HWND control) {
  const int n = GetWindowTextLengthW(control);
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  const int got = GetWindowTextW(control, s.data(), n + 1);
  s.resize(static_cast<size_t>(got < 0 ? 0 : got));
  return s;
}

inline void SetText(HWND control, const std::wstring& text) { SetWindowTextW(control, text.c_str()); }
inline void SetNumber(HWND control, int32_t value) { SetText(control, std::to_wstring(value)); }

inline bool IsChecked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }
inline void SetChecked(HWND button, bool on) { SendMessageW(button, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }

inline void Enable(HWND control, bool on) { EnableWindow(control, on ? TRUE : FALSE); }

// A number edit with its up-down control: the range lives in the control, the rule in the page.
class NumberField {
 public:
  NumberField(HWND edit, HWND spin, NumberRange range, OutOfRange rule) : edit_(edit), spin_(spin), range_(range), rule_(rule) {}

  void Setup(int textLimit) const {
    SendMessageW(spin_, UDM_SETRANGE32, static_cast<WPARAM>(range_.low), static_cast<LPARAM>(range_.high));
    if (textLimit > 0) SendMessageW(edit_, EM_LIMITTEXT, static_cast<WPARAM>(textLimit), 0);
  }
  // Shows a stored value as the field can hold it; returns what it shows.
  int32_t Show(int64_t value) const {
    const int32_t v = ClampToRange(value, range_);
    SendMessageW(spin_, UDM_SETPOS32, 0, static_cast<LPARAM>(v));
    SetNumber(edit_, v);
    return v;
  }
  // The value after the user left the edit, shown back in the edit.
  int32_t Take(int32_t stored) const {
    const int32_t previous = ClampToRange(stored, range_);
    return Show(NumberFromFieldText(GetText(edit_), previous, range_, rule_));
  }
  void Enable(bool on) const {
    page::Enable(edit_, on);
    page::Enable(spin_, on);
  }
  HWND edit() const { return edit_; }

 private:
  HWND edit_;
  HWND spin_;
  NumberRange range_;
  OutOfRange rule_;
};

// Report-view list with full-row selection; columns share width - margin.
inline void SetupReportList(HWND list) {
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
}

inline void AddColumn(HWND list, int index, const wchar_t* title, int width) {
  LVCOLUMNW col{};
  col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  col.pszText = const_cast<wchar_t*>(title);
  col.cx = width;
  col.iSubItem = index;
  SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&col));
}

inline void InsertRow(HWND list, int row, const std::wstring& text) {
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

inline void SetCell(HWND list, int row, int column, const std::wstring& text) {
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

inline void SelectRow(HWND list, int row) {
  ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

inline int ListWidth(HWND list) {
  RECT r{};
  GetClientRect(list, &r);
  return r.right - r.left;
}

}  // namespace pelmo::page
