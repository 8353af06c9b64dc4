#pragma once
// The times grid: a report list view over MemTimes with a row indicator, the
// columns "P.Č." and "Čas", in-place editing of the time, Insert (or moving
// down past the last row) to add a row and Ctrl+Delete to delete one.
#include <windows.h>
// The model's TApplication::PostMessage is not the API macro.
#undef PostMessage
#include <commctrl.h>

#include <string>

namespace odb {

class TApplication;
class TMemTimes;

class TTimesGrid {
 public:
  TTimesGrid(TApplication& app, TMemTimes& table, HWND list);
  ~TTimesGrid();
  TTimesGrid(const TTimesGrid&) = delete;
  TTimesGrid& operator=(const TTimesGrid&) = delete;

  HWND Handle() const { return list_; }
  HWND Editor() const { return editor_; }
  bool Editing() const { return editing_; }
  LRESULT Notify(NMHDR& header);
  // Shows the table as it is now (the table's view observer).
  void Refresh();
  // Keys of the grid; true when handled.
  bool KeyDown(WPARAM key);
  void StartEdit();
  void CommitEdit();
  void CancelEdit();

 private:
  static LRESULT CALLBACK ListProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR self);
  static LRESULT CALLBACK EditorProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR self);
  int DisplayRows() const;
  std::wstring CellText(int row, int column) const;
  void MoveTo(int row);
  void AppendRow();
  void DeleteRow();

  TApplication& app_;
  TMemTimes& table_;
  HWND list_;
  HWND editor_ = nullptr;
  bool editing_ = false;
  bool syncing_ = false;
};

}  // namespace odb
