// The body of the settings window on a screen too short for its layout: the
// log group gives up its height first, down to its least; what is still
// missing the body makes up by scrolling, between the status strip and the
// button bar, which stay in view.
#include <algorithm>

#include "app/ODBackupDB.h"
#include "frontends/win32/SettingsView.h"
#include "frontends/win32/Win32Ui.h"

namespace odb {
namespace {

bool HasScrollBar(HWND hwnd) { return (GetWindowLongW(hwnd, GWL_STYLE) & WS_VSCROLL) != 0; }

}  // namespace

TSettingsView::TBox TSettingsView::BodyChildBox(const TChild& child) const {
  const TChild& body = children_[static_cast<size_t>(body_)];
  const int dw = bodyContent_.w - body.design.w;
  const int dh = bodyContent_.h - body.design.h;
  TBox box = child.design;
  if (child.anchors & akRight) (child.anchors & akLeft ? box.w : box.x) += dw;
  // Taller than the layout, the middle group grows; shorter, the log shrinks
  // and the groups above it keep every row.
  if (dh >= 0 && (child.anchors & akBottom)) (child.anchors & akTop ? box.h : box.y) += dh;
  if (dh < 0 && child.model == &form_.GBInfo) box.h += dh;
  return box;
}

void TSettingsView::FitBodyScroll(const TChild& body) {
  const int least = body.design.h - (kInfoHeight - kInfoLeastHeight);
  const bool scrolls = body.actual.h < least;
  if (scrolls != HasScrollBar(body.hwnd)) ShowScrollBar(body.hwnd, SB_VERT, scrolls);
  if (!scrolls) {
    bodyContent_ = {0, 0, body.actual.w, body.actual.h};
    bodyScroll_ = 0;
    return;
  }
  RECT rc{};
  GetClientRect(body.hwnd, &rc);
  bodyContent_ = {0, 0, win::Unscale(rc.right), least};
  const int content = win::Scale(least);
  bodyScroll_ = std::clamp(bodyScroll_, 0, std::max(0, content - static_cast<int>(rc.bottom)));
  SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, content - 1, static_cast<UINT>(rc.bottom),
                  bodyScroll_, 0};
  SetScrollInfo(body.hwnd, SB_VERT, &info, TRUE);
}

void TSettingsView::ScrollBodyTo(int px) {
  HWND body = children_[static_cast<size_t>(body_)].hwnd;
  SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
  GetScrollInfo(body, SB_VERT, &info);
  px = std::clamp(px, 0, std::max(0, info.nMax + 1 - static_cast<int>(info.nPage)));
  if (px == bodyScroll_) return;
  bodyScroll_ = px;
  info.fMask = SIF_POS;
  info.nPos = px;
  SetScrollInfo(body, SB_VERT, &info, TRUE);
  for (TChild& child : children_) {
    if (child.parent == body_) Place(child, child.actual, bodyScroll_);
  }
  RedrawWindow(body, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool TSettingsView::ScrollMessage(HWND panel, UINT msg, WPARAM wParam) {
  if (body_ < 0 || panel != children_[static_cast<size_t>(body_)].hwnd || !HasScrollBar(panel)) return false;
  SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
  GetScrollInfo(panel, SB_VERT, &info);
  const int line = win::Scale(20);
  const int page = static_cast<int>(info.nPage);
  if (msg == WM_MOUSEWHEEL) {
    ScrollBodyTo(info.nPos - MulDiv(GET_WHEEL_DELTA_WPARAM(wParam), 3 * line, WHEEL_DELTA));
    return true;
  }
  switch (LOWORD(wParam)) {
    case SB_LINEUP: ScrollBodyTo(info.nPos - line); break;
    case SB_LINEDOWN: ScrollBodyTo(info.nPos + line); break;
    case SB_PAGEUP: ScrollBodyTo(info.nPos - page); break;
    case SB_PAGEDOWN: ScrollBodyTo(info.nPos + page); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: ScrollBodyTo(info.nTrackPos); break;
    case SB_TOP: ScrollBodyTo(0); break;
    case SB_BOTTOM: ScrollBodyTo(info.nMax); break;
    default: break;
  }
  return true;
}

void TSettingsView::ScrollIntoView(HWND hwnd) {
  HWND body = body_ < 0 ? nullptr : children_[static_cast<size_t>(body_)].hwnd;
  if (!body || !HasScrollBar(body) || !IsChild(body, hwnd)) return;
  RECT r{};
  GetWindowRect(hwnd, &r);
  MapWindowPoints(nullptr, body, reinterpret_cast<POINT*>(&r), 2);
  RECT view{};
  GetClientRect(body, &view);
  const int margin = win::Scale(4);
  if (r.top < margin) {
    ScrollBodyTo(bodyScroll_ + r.top - margin);
  } else if (r.bottom > view.bottom - margin) {
    // A control taller than the view shows its top.
    ScrollBodyTo(bodyScroll_ + std::min(r.bottom - view.bottom + margin, r.top - margin));
  }
}

}  // namespace odb
