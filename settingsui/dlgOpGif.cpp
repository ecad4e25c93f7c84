#include "dlgOpGif.h"

#include "core/resource.h"
#include "framework/CommonDialogs.h"
#include "settingsui/PageControls.h"

namespace pelmo {

CdlgOpGif::CdlgOpGif(CGifProfile& gif) : SettingsPage(IDD_OP_GIF), gif_(gif), chooser_(&fw::ChooseColour) {}

BOOL CdlgOpGif::OnInitDialog() {
  Refresh();
  return TRUE;
}

void CdlgOpGif::EnableTransparentGroup(bool on) {
  for (int id : {IDC_GIF_TRANS_TEXT, IDC_GIF_TRANS_SWATCH, IDC_GIF_TRANS_CHOOSE, IDC_GIF_BACKGROUND}) page::Enable(Item(id), on);
}

void CdlgOpGif::EnableBackgroundGroup(bool on) {
  // The background colour only matters with a transparent colour, and only when asked for.
  if (on && !page::IsChecked(Item(IDC_GIF_BACKGROUND))) return;
  for (int id : {IDC_GIF_BACK_TEXT, IDC_GIF_BACK_SWATCH, IDC_GIF_BACK_CHOOSE}) page::Enable(Item(id), on);
}

void CdlgOpGif::ShowColors() {
  const RgbColor& t = gif_.GetTransparencyColor();
  const RgbColor& b = gif_.GetBackgroundColor();
  transparentPacked_ = t.Packed();
  backgroundPacked_ = b.Packed();
  page::SetText(Item(IDC_GIF_TRANS_TEXT), ColorComponentsText(t.r, t.g, t.b));
  page::SetText(Item(IDC_GIF_BACK_TEXT), ColorComponentsText(b.r, b.g, b.b));
  for (int id : {IDC_GIF_TRANS_SWATCH, IDC_GIF_BACK_SWATCH}) {
    RedrawWindow(Item(id), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
}

void CdlgOpGif::Refresh() {
  page::SetChecked(Item(IDC_GIF_INTERLACE), gif_.GetGifInterlace() != 0);
  ShowColors();
  page::SetChecked(Item(IDC_GIF_BACKGROUND), gif_.GetGifBackground() != 0);
  EnableBackgroundGroup(gif_.GetGifBackground() != 0);
  const bool transparent = gif_.GetGifTransparency() != 0;
  page::SetChecked(Item(IDC_GIF_TRANSPARENCY), transparent);
  EnableTransparentGroup(transparent);
  EnableBackgroundGroup(transparent);
}

void CdlgOpGif::ChooseColor(bool background) {
  // Owned by the settings window (the top-level window above the page).
  HWND owner = GetAncestor(hwnd_, GA_ROOT);
  const std::optional<COLORREF> chosen = chooser_(owner, RGB(0, 0, 0));
  if (!chosen) return;
  const RgbColor c{GetRValue(*chosen), GetGValue(*chosen), GetBValue(*chosen)};
  if (background) {
    gif_.SetBackgroundColor(c);
  } else {
    gif_.SetTransparencyColor(c);
  }
  ShowColors();
}

bool CdlgOpGif::OnCommand(UINT id, UINT code, HWND control) {
  if (code != BN_CLICKED) return false;
  switch (id) {
    case IDC_GIF_INTERLACE:
      gif_.SetGifInterlace(page::IsChecked(control) ? 1 : 0);
      return true;
    case IDC_GIF_TRANSPARENCY: {
      const bool on = page::IsChecked(control);
      gif_.SetGifTransparency(on ? 1 : 0);
      EnableTransparentGroup(on);
      EnableBackgroundGroup(on);
      return true;
    }
    case IDC_GIF_BACKGROUND: {
      const bool on = page::IsChecked(control);
      gif_.SetGifBackground(on ? 1 : 0);
      EnableBackgroundGroup(on);
      return true;
    }
    case IDC_GIF_TRANS_CHOOSE:
      ChooseColor(false);
      return true;
    case IDC_GIF_BACK_CHOOSE:
      ChooseColor(true);
      return true;
    default:
      return false;
  }
}

std::optional<LRESULT> CdlgOpGif::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_CTLCOLORSTATIC) return std::nullopt;
  const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
  if (id != IDC_GIF_TRANS_SWATCH && id != IDC_GIF_BACK_SWATCH) return std::nullopt;
  const COLORREF colour = id == IDC_GIF_TRANS_SWATCH ? transparentPacked_ : backgroundPacked_;
  // One brush at a time: the one handed out last is in use until the next paint.
  swatchBrush_.reset(CreateSolidBrush(colour));
  HDC dc = reinterpret_cast<HDC>(wParam);
  SetBkColor(dc, colour);
  SetTextColor(dc, colour);
  return reinterpret_cast<LRESULT>(swatchBrush_.get());
}

}  // namespace pelmo
