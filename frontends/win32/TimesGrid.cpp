#include "frontends/win32/TimesGrid.h"

#include "common/Utf16_win.h"
#include "platform/Application.h"
#include "platform/PlatformTexts.h"
#include "frontends/win32/Win32Errors.h"
#include "frontends/win32/Win32Texts.h"
#include "frontends/win32/Win32Ui.h"
#include "schedule/MemTimes.h"

namespace odb {
namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr int kTimeColumn = 2;

void AddColumn(HWND list, int index, const std::string& caption, int width) {
  std::wstring text = Widen(caption);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = text.data();
  column.cx = win::Scale(width);
  SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

}  // namespace

TTimesGrid::TTimesGrid(TApplication& app, TMemTimes& table, HWND list)
    : app_(app), table_(table), list_(list) {
  SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES,
               LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  AddColumn(list_, 0, "", 16);
  AddColumn(list_, 1, table_.FieldID.DisplayLabel, 8 * table_.FieldID.DisplayWidth + 2);
  AddColumn(list_, kTimeColumn, table_.FieldTIME.DisplayLabel, 52);
  editor_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 0, 0, list_,
                            nullptr, nullptr, nullptr);
  if (!editor_) win::ThrowLastError("CreateWindowExW");
  SendMessageW(editor_, WM_SETFONT, reinterpret_cast<WPARAM>(win::WindowFont()), FALSE);
  // Without them the grid shows the times but takes no edits.
  if (!SetWindowSubclass(list_, ListProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)) ||
      !SetWindowSubclass(editor_, EditorProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
    win::ReportLastError("SetWindowSubclass");
  }
  table_.SetViewObserver([this] { Refresh(); });
  Refresh();
}

TTimesGrid::~TTimesGrid() {
  table_.SetViewObserver(nullptr);
  RemoveWindowSubclass(list_, ListProc, kSubclassId);
  RemoveWindowSubclass(editor_, EditorProc, kSubclassId);
}

int TTimesGrid::DisplayRows() const {
  return table_.RecordCount() + (table_.State() == TDataSetState::Insert ? 1 : 0);
}

std::wstring TTimesGrid::CellText(int row, int column) const {
  const bool pending = (table_.State() == TDataSetState::Insert || table_.State() == TDataSetState::Edit) &&
                      row == table_.RecNo();
  if (column == 0) {
    if (row != table_.RecNo()) return L"";
    return table_.State() == TDataSetState::Insert ? L"*" : pending ? L"I" : L">";
  }
  std::optional<int32_t> id;
  std::optional<TDateTime> time;
  if (pending) {
    id = table_.ID();
    time = table_.Time();
  } else {
    const int stored = table_.State() == TDataSetState::Insert && row > table_.RecNo() ? row - 1 : row;
    id = table_.Row(stored).id;
    time = table_.Row(stored).time;
  }
  if (column == 1) return id ? std::to_wstring(*id) : L"";
  return time ? Widen(FormatTime(*time)) : L"";
}

void TTimesGrid::Refresh() {
  syncing_ = true;
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
  const int rows = table_.Active() ? DisplayRows() : 0;
  for (int row = 0; row < rows; ++row) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    for (int column = 0; column <= kTimeColumn; ++column) {
      std::wstring text = CellText(row, column);
      item.iSubItem = column;
      item.pszText = text.data();
      SendMessageW(list_, column == 0 ? LVM_INSERTITEMW : LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
  }
  if (rows > 0) {
    LVITEMW state{};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(table_.RecNo()), reinterpret_cast<LPARAM>(&state));
    SendMessageW(list_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(table_.RecNo()), FALSE);
  }
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
  syncing_ = false;
}

void TTimesGrid::MoveTo(int row) {
  if (row == table_.RecNo() && table_.State() == TDataSetState::Browse) return;
  app_.Dispatch([&] {
    TControlsDisabled quiet(table_);
    table_.First();
    for (int i = 0; i < row && !table_.Eof(); ++i) table_.Next();
  });
  Refresh();
}

LRESULT TTimesGrid::Notify(NMHDR& header) {
  if (header.code == static_cast<UINT>(LVN_ITEMCHANGED) && !syncing_) {
    const auto& change = reinterpret_cast<NMLISTVIEW&>(header);
    if ((change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED)) MoveTo(change.iItem);
  } else if (header.code == static_cast<UINT>(NM_DBLCLK)) {
    StartEdit();
  }
  return 0;
}

bool TTimesGrid::KeyDown(WPARAM key) {
  const bool control = GetKeyState(VK_CONTROL) < 0;
  const bool lastRow = table_.RecNo() + 1 >= table_.RecordCount();
  if (key == VK_INSERT || (key == VK_DOWN && lastRow && table_.State() == TDataSetState::Browse)) {
    AppendRow();
  } else if (key == VK_DELETE && control) {
    DeleteRow();
  } else if (key == VK_RETURN || key == VK_F2) {
    StartEdit();
  } else {
    return false;
  }
  return true;
}

void TTimesGrid::AppendRow() {
  bool started = false;
  app_.Dispatch([&] {
    table_.Append();
    started = true;
  });
  if (started) StartEdit();
}

void TTimesGrid::DeleteRow() {
  if (!table_.Active() || (table_.RecordCount() == 0 && table_.State() != TDataSetState::Insert)) return;
  const TBoxResult answer = app_.ShowMessageBox({std::string(msg::DeleteRecord), std::string(msg::ConfirmTitle),
                                                 TBoxButtons::OkCancel, TBoxIcon::Question});
  if (answer == TBoxResult::Ok) app_.Dispatch([&] { table_.Delete(); });
}

void TTimesGrid::StartEdit() {
  if (!table_.Active()) return;
  if (DisplayRows() == 0) return AppendRow();
  RECT cell{};
  cell.top = kTimeColumn;
  cell.left = LVIR_BOUNDS;
  SendMessageW(list_, LVM_GETSUBITEMRECT, static_cast<WPARAM>(table_.RecNo()), reinterpret_cast<LPARAM>(&cell));
  const auto time = table_.Time();
  SetWindowTextW(editor_, time ? Widen(FormatTime(*time)).c_str() : L"");
  SetWindowPos(editor_, HWND_TOP, cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top,
               SWP_SHOWWINDOW);
  editing_ = true;
  SetFocus(editor_);
  SendMessageW(editor_, EM_SETSEL, 0, -1);
}

void TTimesGrid::CommitEdit() {
  if (!editing_) return;
  editing_ = false;
  const std::string text = win::WindowText(editor_);
  ShowWindow(editor_, SW_HIDE);
  bool failed = true;
  app_.Dispatch([&] {
    if (table_.State() == TDataSetState::Browse) table_.Edit();
    table_.SetTimeText(text);
    table_.Post();
    failed = false;
  });
  // A time the table refused stays in editing, for the user to correct or drop with Esc.
  if (failed && table_.State() != TDataSetState::Browse) {
    StartEdit();
    SetWindowTextW(editor_, Widen(text).c_str());
  } else {
    SetFocus(list_);
  }
}

void TTimesGrid::CancelEdit() {
  editing_ = false;
  ShowWindow(editor_, SW_HIDE);
  app_.Dispatch([&] { table_.Cancel(); });
  SetFocus(list_);
}

LRESULT CALLBACK TTimesGrid::ListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
  // The grid takes Enter itself instead of leaving it to the OK button.
  if (msg == WM_GETDLGCODE && lParam && reinterpret_cast<MSG*>(lParam)->wParam == VK_RETURN) {
    return DLGC_WANTMESSAGE | DefSubclassProc(hwnd, msg, wParam, lParam);
  }
  if (msg == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_INSERT || wParam == VK_DOWN)) {
    auto& grid = *reinterpret_cast<TTimesGrid*>(self);
    if (wParam != VK_DOWN || grid.table_.RecNo() + 1 >= grid.table_.RecordCount()) {
      if (grid.KeyDown(wParam)) return 0;
    }
  }
  if (msg == WM_KEYDOWN && wParam == VK_DELETE && reinterpret_cast<TTimesGrid*>(self)->KeyDown(wParam)) return 0;
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK TTimesGrid::EditorProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
  auto& grid = *reinterpret_cast<TTimesGrid*>(self);
  if (msg == WM_GETDLGCODE) return DLGC_WANTALLKEYS | DefSubclassProc(hwnd, msg, wParam, lParam);
  if (msg == WM_KEYDOWN && wParam == VK_RETURN) {
    grid.CommitEdit();
    return 0;
  }
  if (msg == WM_KEYDOWN && wParam == VK_ESCAPE) {
    grid.CancelEdit();
    return 0;
  }
  if (msg == WM_CHAR && (wParam == L'\r' || wParam == 27)) return 0;
  if (msg == WM_KILLFOCUS && grid.editing_) grid.CommitEdit();
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace odb
