// The settings window's keyboard: Tab and Shift+Tab walk the controls top to
// bottom and then the buttons (the layout builds them in that order), the
// arrows move between the server buttons, Ctrl+Tab and Ctrl+Page Down/Up switch
// the pages, and Esc in the log view is Skrýt.
#include "app/ODBackupDB.h"
#include "frontends/win32/SettingsView.h"
#include "frontends/win32/Win32Application.h"
#include "frontends/win32/Win32Errors.h"

namespace odb {
namespace {

constexpr UINT_PTR kDialogKeysId = 2;

// A multi-line edit wants every key, Tab and Esc too; in dialog mode it then
// sends its parent a close request on Esc. Leaving both keys to the dialog
// manager makes Tab leave it and Esc press Skrýt.
LRESULT CALLBACK DialogKeysProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
  if (msg == WM_GETDLGCODE && lParam) {
    const MSG& key = *reinterpret_cast<const MSG*>(lParam);
    if (key.message == WM_KEYDOWN && (key.wParam == VK_ESCAPE || key.wParam == VK_TAB)) {
      result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB);
    }
  }
  return result;
}

bool Held(int key) { return GetKeyState(key) < 0; }

}  // namespace

void LeaveDialogKeys(HWND edit) {
  if (!SetWindowSubclass(edit, DialogKeysProc, kDialogKeysId, 0)) win::ReportLastError("SetWindowSubclass");
}

bool TSettingsView::NavigationKey(WPARAM key) {
  const bool control = Held(VK_CONTROL);
  if (key == VK_TAB && control) {
    SwitchPage(Held(VK_SHIFT) ? -1 : 1);
    return true;
  }
  if ((key == VK_NEXT || key == VK_PRIOR) && control) {
    SwitchPage(key == VK_NEXT ? 1 : -1);
    return true;
  }
  if (key == VK_TAB && !Held(VK_MENU)) return FocusNext(Held(VK_SHIFT));
  if (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) {
    return SelectRadio(key == VK_RIGHT || key == VK_DOWN);
  }
  return false;
}

// Within buttons of one group, the arrows select the next one, as a click does.
bool TSettingsView::SelectRadio(bool forward) {
  const int at = IndexOf(GetFocus());
  if (at < 0 || children_[static_cast<size_t>(at)].kind != TChildKind::Radio) return false;
  const auto sameGroup = [&](int index) {
    const TChild& child = children_[static_cast<size_t>(index)];
    return child.kind == TChildKind::Radio && child.parent == children_[static_cast<size_t>(at)].parent;
  };
  const int count = static_cast<int>(children_.size());
  for (int index = (at + (forward ? 1 : count - 1)) % count; index != at;
       index = (index + (forward ? 1 : count - 1)) % count) {
    if (!sameGroup(index)) continue;
    HWND next = children_[static_cast<size_t>(index)].hwnd;
    SetFocus(next);
    SendMessageW(next, BM_CLICK, 0, 0);
    return true;
  }
  return true;
}

bool TSettingsView::TabStop(const TChild& child) const {
  // Of a group of radio buttons, only the selected one is a stop.
  if (child.kind == TChildKind::Radio && SendMessageW(child.hwnd, BM_GETCHECK, 0, 0) != BST_CHECKED) {
    return false;
  }
  return (GetWindowLongW(child.hwnd, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(child.hwnd) &&
         IsWindowEnabled(child.hwnd);
}

bool TSettingsView::FocusNext(bool back) {
  HWND focus = GetFocus();
  const int at = IndexOf(focus);
  // A part of a control (the grid's in-place editor) keeps its keys.
  if (at < 0 && focus && focus != window_) return false;
  const int count = static_cast<int>(children_.size());
  int index = at >= 0 ? at : (back ? 0 : count - 1);
  for (int step = 0; step < count; ++step) {
    index = (index + (back ? count - 1 : 1)) % count;
    if (TabStop(children_[static_cast<size_t>(index)])) {
      Focus(children_[static_cast<size_t>(index)]);
      return true;
    }
  }
  return true;
}

void TSettingsView::Focus(const TChild& child) {
  ScrollIntoView(child.hwnd);
  SetFocus(child.hwnd);
  // As the dialog manager does: an edit reached by Tab has its text selected.
  if (child.kind == TChildKind::Edit || child.kind == TChildKind::Spin) {
    SendMessageW(child.hwnd, EM_SETSEL, 0, -1);
  }
}

void TSettingsView::FocusFirst() {
  for (const TChild& child : children_) {
    if (TabStop(child)) {
      Focus(child);
      return;
    }
  }
}

void TSettingsView::SwitchPage(int delta) {
  const int count = static_cast<int>(pages_.size());
  const int page = (form_.PageControlParams.ActivePageIndex() + delta + count) % count;
  app_.Dispatch([&] { form_.PageControlParams.SetActivePageIndex(page); });
  // The focus does not stay on a control of the page that went away.
  HWND focus = GetFocus();
  if (!focus || !IsWindowVisible(focus)) SetFocus(children_[static_cast<size_t>(tab_)].hwnd);
}

}  // namespace odb
