// The settings window's children: which real control stands for each model
// control, where it sits at 96 dpi, and how it follows the window's size.
#include "app/ODBackupDB.h"
#include "common/Utf16_win.h"
#include "frontends/win32/SettingsView.h"
#include "frontends/win32/TimesGrid.h"
#include "frontends/win32/Win32Application.h"
#include "frontends/win32/Win32Errors.h"
#include "frontends/win32/Win32Ui.h"
#include "resources/ResourceIds.h"

namespace odb {
namespace {

constexpr int kBorder = 2;
// Room for the status strip's four lines: last backup, next one, and a failed
// attempt with its error.
constexpr int kTopHeight = 56;
constexpr int kBottomHeight = 32;
constexpr int kDatabaseHeight = 200;
constexpr int kFirstId = 1000;

struct TClassStyle {
  const wchar_t* cls;
  DWORD style;
  DWORD exStyle;
};

TClassStyle ClassOf(TChildKind kind) {
  constexpr DWORD tab = WS_TABSTOP;
  switch (kind) {
    case TChildKind::Panel:
    case TChildKind::Lowered:
    case TChildKind::GroupBox:
    case TChildKind::Page: return {L"ODBPanel", WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT};
    case TChildKind::Label: return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
    case TChildKind::Bevel: return {L"STATIC", SS_ETCHEDHORZ, 0};
    case TChildKind::Edit:
    case TChildKind::Spin: return {L"EDIT", tab | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case TChildKind::UpDown: return {UPDOWN_CLASSW, UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0};
    case TChildKind::Check: return {L"BUTTON", tab | BS_CHECKBOX | BS_MULTILINE, 0};
    case TChildKind::Radio: return {L"BUTTON", tab | BS_RADIOBUTTON, 0};
    case TChildKind::Combo: return {L"COMBOBOX", tab | CBS_DROPDOWNLIST | WS_VSCROLL, 0};
    case TChildKind::Memo:
      return {L"EDIT", tab | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL, 0};
    case TChildKind::Tab: return {WC_TABCONTROLW, tab | WS_CLIPSIBLINGS, 0};
    case TChildKind::FlatButton: return {L"BUTTON", BS_OWNERDRAW, 0};
    case TChildKind::PushButton: return {L"BUTTON", tab | BS_OWNERDRAW, 0};
    case TChildKind::Grid:
      return {WC_LISTVIEWW, tab | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, WS_EX_CLIENTEDGE};
  }
  return {L"STATIC", 0, 0};
}

}  // namespace

TSettingsView::TSettingsView(TWin32Application& app, TFrmODBackupDB& form, HWND window, SIZE designClient)
    : app_(app), form_(form), window_(window), designClient_(designClient) {
  RegisterPanelClass(app.Instance());
  images_ = ImageList_Create(16, 16, ILC_COLOR32, 6, 0);
  if (!images_) win::ThrowLastError("ImageList_Create");
  // The order is the one ImageOf counts on.
  for (int id : {IDB_FOLDER, IDB_FOLDER_DISABLED, IDB_CHANGE, IDB_OK, IDB_HIDE, IDB_EXIT}) {
    auto bitmap = static_cast<HBITMAP>(LoadImageW(app.Instance(), MAKEINTRESOURCEW(id), IMAGE_BITMAP,
                                                  0, 0, LR_CREATEDIBSECTION));
    ImageList_Add(images_, bitmap, nullptr);
    DeleteObject(bitmap);
  }
  Build();
  for (TChild& child : children_) {
    if (child.model) child.model->SetView(this);
    Mirror(child);
  }
  Layout();
}

TSettingsView::~TSettingsView() {
  for (TChild& child : children_) {
    if (child.model && child.model->View() == this) child.model->SetView(nullptr);
  }
  grid_.reset();
  app_.UnmapTarget(form_.MemoFiles);
  if (tooltip_) DestroyWindow(tooltip_);
  // Children go with their parents; the first ones are the top-level panels.
  for (TChild& child : children_) {
    if (child.parent < 0) DestroyWindow(child.hwnd);
  }
  ImageList_Destroy(images_);
}

int TSettingsView::Add(TChildKind kind, TControl* model, int parent, TBox design, unsigned anchors,
                       DWORD style) {
  const int index = static_cast<int>(children_.size());
  children_.push_back({kind, model, parent, design, anchors});
  int id = kFirstId + index;
  if (model == &form_.BtnOK) id = IDOK;
  if (model == &form_.BtnCancel) id = IDCANCEL;
  children_.back().hwnd = CreateChild(children_.back(), id, style);
  children_.back().actual = design;
  if (model) byModel_[model] = index;
  return index;
}

HWND TSettingsView::CreateChild(const TChild& child, int id, DWORD style) {
  const TClassStyle cls = ClassOf(child.kind);
  HWND parent = child.parent < 0 ? window_ : children_[static_cast<size_t>(child.parent)].hwnd;
  const std::wstring text = child.model ? Widen(child.model->Caption()) : std::wstring();
  const DWORD visible = child.kind == TChildKind::Page ? 0 : WS_VISIBLE;
  HWND hwnd = CreateWindowExW(cls.exStyle, cls.cls, text.c_str(),
                              WS_CHILD | visible | cls.style | style, win::Scale(child.design.x),
                              win::Scale(child.design.y), win::Scale(child.design.w),
                              win::Scale(child.design.h), parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), app_.Instance(),
                              nullptr);
  if (!hwnd) win::ThrowLastError("CreateWindowExW");
  const bool bold = child.model == &form_.laAction || child.model == &form_.cbAction;
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(win::WindowFont(bold)), FALSE);
  if (std::wstring(cls.cls) == L"ODBPanel") SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  return hwnd;
}

// The children are built top to bottom and the button bar last: that is the
// order Tab walks them in.
void TSettingsView::Build() {
  BuildTop();
  const int w = designClient_.cx - 2 * kBorder;
  const int bodyHeight = designClient_.cy - 2 * kBorder - kTopHeight - kBottomHeight;
  const int body = Add(TChildKind::Lowered, &form_.PnlBody, -1,
                       {kBorder, kBorder + kTopHeight, w, bodyHeight}, akAll);
  body_ = body;
  bodyContent_ = children_[static_cast<size_t>(body)].design;
  BuildDatabase(body);
  BuildData(body);
  const int info = Add(TChildKind::GroupBox, &form_.GBInfo, body,
                       {2, bodyHeight - 2 - kInfoHeight, w - 4, kInfoHeight}, akLeft | akRight | akBottom);
  Add(TChildKind::Memo, &form_.MemoFiles, info, {6, 16, w - 16, kInfoHeight - 22}, akAll);
  SendMessageW(WindowOf(form_.MemoFiles), EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
  LeaveDialogKeys(WindowOf(form_.MemoFiles));
  app_.MapTarget(form_.MemoFiles, WindowOf(form_.MemoFiles));
  BuildBottom();
  AddHints();
}

void TSettingsView::BuildTop() {
  const int w = designClient_.cx - 2 * kBorder;
  const int top = Add(TChildKind::Panel, &form_.PnlTop, -1, {kBorder, kBorder, w, kTopHeight}, akLTR);
  // Drawn line by line, each cut to the width (SS_NOTIFY: the tooltip with
  // the whole text needs the mouse).
  Add(TChildKind::Label, &form_.LaStatus, top, {4, 1, w - 8, kTopHeight - 2}, akLTR, SS_OWNERDRAW | SS_NOTIFY);
}

void TSettingsView::BuildBottom() {
  const int w = designClient_.cx - 2 * kBorder;
  const int bottom = Add(TChildKind::Panel, &form_.PnlBottom, -1,
                         {kBorder, designClient_.cy - kBorder - kBottomHeight, w, kBottomHeight},
                         akLeft | akRight | akBottom);
  Add(TChildKind::FlatButton, &form_.SBExit, bottom, {3, 4, 64, 24}, akLT);
  Add(TChildKind::FlatButton, &form_.SBComStart, bottom, {69, 4, 58, 24}, akLT);
  Add(TChildKind::PushButton, &form_.BtnOK, bottom, {w - 138, 4, 64, 24}, akTop | akRight);
  Add(TChildKind::PushButton, &form_.BtnCancel, bottom, {w - 70, 4, 66, 24}, akTop | akRight);
}

void TSettingsView::BuildDatabase(int body) {
  const int w = designClient_.cx - 2 * kBorder - 4;
  const int gb = Add(TChildKind::GroupBox, &form_.GBDatabaze, body, {2, 2, w, kDatabaseHeight}, akLTR);
  Add(TChildKind::Radio, &form_.RBLocal, gb, {8, 18, 120, 17}, akLT);
  Add(TChildKind::Radio, &form_.RBHost, gb, {w - 120, 18, 114, 17}, akTop | akRight);
  Add(TChildKind::Label, &form_.LaServer, gb, {8, 48, 78, 13}, akLT);
  Add(TChildKind::Edit, &form_.EdtServer, gb, {88, 44, w - 120, 21}, akLTR);
  Add(TChildKind::FlatButton, &form_.SBServer, gb, {w - 30, 44, 22, 21}, akTop | akRight);
  Add(TChildKind::Label, &form_.LaPath, gb, {8, 76, 78, 13}, akLT);
  Add(TChildKind::Edit, &form_.EdtPath, gb, {88, 72, w - 120, 21}, akLTR);
  Add(TChildKind::FlatButton, &form_.SBDBPath, gb, {w - 30, 72, 22, 21}, akTop | akRight);
  const int onStart = Add(TChildKind::GroupBox, &form_.GBOnStart, gb, {6, 102, w - 12, 88}, akLTR);
  Add(TChildKind::Check, &form_.CB_RunMinimalized, onStart, {8, 18, w - 28, 30}, akLTR);
  Add(TChildKind::Check, &form_.CB_ClearLog, onStart, {8, 52, w - 28, 30}, akLTR);
}

void TSettingsView::BuildData(int body) {
  const int w = designClient_.cx - 2 * kBorder - 4;
  const int bodyHeight = designClient_.cy - 2 * kBorder - kTopHeight - kBottomHeight;
  const int h = bodyHeight - 4 - kDatabaseHeight - kInfoHeight;
  const int gb = Add(TChildKind::GroupBox, &form_.GBData, body, {2, 2 + kDatabaseHeight, w, h}, akAll);
  tab_ = Add(TChildKind::Tab, &form_.PageControlParams, gb, {6, 16, w - 12, h - 22}, akAll);
  HWND tab = children_[static_cast<size_t>(tab_)].hwnd;
  for (size_t i = 0; i < form_.PageControlParams.Pages.size(); ++i) {
    std::wstring caption = Widen(form_.PageControlParams.Pages[i]);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    SendMessageW(tab, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  const TBox page = PageBox();
  pages_ = {Add(TChildKind::Page, nullptr, gb, page, akAll),
            Add(TChildKind::Page, nullptr, gb, page, akAll)};
  for (int index : pages_) {
    SetWindowPos(children_[static_cast<size_t>(index)].hwnd, HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE);
  }
  BuildPathsPage(pages_[0]);
  BuildPlanPage(pages_[1]);
}

void TSettingsView::BuildPathsPage(int page) {
  const int w = children_[static_cast<size_t>(page)].design.w;
  Add(TChildKind::Label, &form_.LaBackupPath, page, {8, 8, w - 16, 13}, akLTR);
  Add(TChildKind::Edit, &form_.EdtBackupPath, page, {8, 23, w - 42, 21}, akLTR);
  Add(TChildKind::FlatButton, &form_.SBInFilesPath, page, {w - 30, 23, 22, 21}, akTop | akRight);
  Add(TChildKind::Label, &form_.laBackupCount, page, {8, 56, 150, 13}, akLT);
  AddSpin(form_.sedtBackupCount, updown_, page, 160, 52);
  Add(TChildKind::Bevel, &bevHoriz_, page, {8, 82, w - 16, 2}, akLTR);
  Add(TChildKind::Check, &form_.CBLogActivity, page, {8, 90, w - 16, 17}, akLTR);
  Add(TChildKind::Label, &form_.laLogFile, page, {8, 114, w - 16, 13}, akLTR);
  Add(TChildKind::Edit, &form_.EdtLogFilePath, page, {8, 129, w - 42, 21}, akLTR);
  Add(TChildKind::FlatButton, &form_.SBLogFilePath, page, {w - 30, 129, 22, 21}, akTop | akRight);
  // A row of its own below the others, which keep their places.
  Add(TChildKind::Check, &form_.CBVerifyBackup, page, {8, 158, w - 16, 17}, akLTR);
  // The mirror: laid out as the backup folder's rows at the top.
  Add(TChildKind::Label, &form_.laMirrorPath, page, {8, 184, w - 16, 13}, akLTR);
  Add(TChildKind::Edit, &form_.EdtMirrorPath, page, {8, 199, w - 42, 21}, akLTR);
  Add(TChildKind::FlatButton, &form_.SBMirrorPath, page, {w - 30, 199, 22, 21}, akTop | akRight);
  Add(TChildKind::Label, &form_.laMirrorCount, page, {8, 232, 150, 13}, akLT);
  AddSpin(form_.sedtMirrorCount, mirrorUpdown_, page, 160, 228);
}

void TSettingsView::AddSpin(TSpinEdit& spin, TControl& buttons, int page, int x, int y) {
  const int edit = Add(TChildKind::Spin, &spin, page, {x, y, 50, 21}, akLT);
  FilterSpinKeys(children_[static_cast<size_t>(edit)].hwnd);
  HWND updown = children_[static_cast<size_t>(Add(TChildKind::UpDown, &buttons, page, {x + 50, y, 16, 21}, akLT))].hwnd;
  SendMessageW(updown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(children_[static_cast<size_t>(edit)].hwnd), 0);
  SendMessageW(updown, UDM_SETRANGE32, 0, 100);
}

void TSettingsView::BuildPlanPage(int page) {
  const TBox box = children_[static_cast<size_t>(page)].design;
  Add(TChildKind::Label, &form_.laAction, page, {6, 10, 92, 13}, akLT);
  const int combo = Add(TChildKind::Combo, &form_.cbAction, page, {100, 6, box.w - 106, 120}, akLTR);
  for (const std::string& item : form_.cbAction.Items) {
    SendMessageW(children_[static_cast<size_t>(combo)].hwnd, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(Widen(item).c_str()));
  }
  const int sh = box.h - 38;
  const int settings = Add(TChildKind::Lowered, &form_.pnlSettings, page, {4, 34, box.w - 8, sh}, akAll);
  const int days = Add(TChildKind::Lowered, &form_.pnlDays, settings, {2, 2, 120, sh - 4},
                       akLeft | akTop | akBottom);
  constexpr DWORD left = BS_LEFTTEXT | BS_RIGHTBUTTON;
  TCheckBox* const workDays[] = {&form_.cbPo, &form_.cbUt, &form_.cbSt, &form_.cbCt, &form_.cbPa};
  for (int i = 0; i < 5; ++i) Add(TChildKind::Check, workDays[i], days, {6, 5 + 19 * i, 36, 17}, akLT, left);
  Add(TChildKind::Check, &form_.cbSo, days, {50, 5, 62, 17}, akLT, left);
  Add(TChildKind::Check, &form_.cbNe, days, {50, 24, 62, 17}, akLT, left);
  Add(TChildKind::Label, &form_.laPracDny, days, {50, 47, 46, 13}, akLT);
  Add(TChildKind::Check, &form_.cbPracDny, days, {98, 45, 14, 17}, akLT);
  Add(TChildKind::Label, &form_.laVikendy, days, {50, 66, 46, 13}, akLT);
  Add(TChildKind::Check, &form_.cbVikendy, days, {98, 64, 14, 17}, akLT);
  const int grid = Add(TChildKind::Grid, &form_.grdTimes, settings, {124, 2, box.w - 8 - 126, sh - 4}, akAll);
  grid_ = std::make_unique<TTimesGrid>(app_, form_.Data.MemTimes, children_[static_cast<size_t>(grid)].hwnd);
}

void TSettingsView::AddHints() {
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                             nullptr, app_.Instance(), nullptr);
  // The window works without its hints.
  if (!tooltip_) {
    win::ReportLastError("CreateWindowExW");
    return;
  }
  SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, win::Scale(300));
  for (const TChild& child : children_) {
    if (!child.model || child.model->Hint.empty()) continue;
    std::wstring hint = Widen(child.model->Hint);
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = window_;
    info.uId = reinterpret_cast<UINT_PTR>(child.hwnd);
    info.lpszText = hint.data();
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  }
  AddStripTip();
}

TSettingsView::TBox TSettingsView::PageBox() const {
  const TChild& tab = children_[static_cast<size_t>(tab_)];
  RECT rc{win::Scale(tab.actual.x), win::Scale(tab.actual.y), win::Scale(tab.actual.x + tab.actual.w),
          win::Scale(tab.actual.y + tab.actual.h)};
  SendMessageW(tab.hwnd, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rc));
  return {win::Unscale(rc.left), win::Unscale(rc.top), win::Unscale(rc.right - rc.left),
          win::Unscale(rc.bottom - rc.top)};
}

void TSettingsView::Place(TChild& child, TBox box, int shiftPx) {
  child.actual = box;
  MoveWindow(child.hwnd, win::Scale(box.x), win::Scale(box.y) - shiftPx, win::Scale(box.w), win::Scale(box.h), TRUE);
}

void TSettingsView::Layout() {
  RECT rc{};
  GetClientRect(window_, &rc);
  const TBox client{0, 0, win::Unscale(rc.right), win::Unscale(rc.bottom)};
  for (TChild& child : children_) {
    if (child.kind == TChildKind::Page) {
      Place(child, PageBox());
      continue;
    }
    if (child.parent >= 0 && child.parent == body_) {
      Place(child, BodyChildBox(child), bodyScroll_);
      continue;
    }
    const TBox parentDesign = child.parent < 0 ? TBox{0, 0, designClient_.cx, designClient_.cy}
                                               : children_[static_cast<size_t>(child.parent)].design;
    const TBox parentActual = child.parent < 0 ? client : children_[static_cast<size_t>(child.parent)].actual;
    const int dw = parentActual.w - parentDesign.w;
    const int dh = parentActual.h - parentDesign.h;
    TBox box = child.design;
    if (child.anchors & akRight) (child.anchors & akLeft ? box.w : box.x) += dw;
    if (child.anchors & akBottom) (child.anchors & akTop ? box.h : box.y) += dh;
    Place(child, box);
    if (child.model == &form_.PnlBody) FitBodyScroll(child);
  }
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

HWND TSettingsView::WindowOf(const TControl& control) const {
  const auto found = byModel_.find(&control);
  return found == byModel_.end() ? nullptr : children_[static_cast<size_t>(found->second)].hwnd;
}

HWND TSettingsView::PageWindow(int page) const {
  return children_[static_cast<size_t>(pages_.at(static_cast<size_t>(page)))].hwnd;
}

int TSettingsView::IndexOf(HWND hwnd) const {
  for (size_t i = 0; i < children_.size(); ++i) {
    if (children_[i].hwnd == hwnd) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace odb
