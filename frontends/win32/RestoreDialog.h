#pragma once
// The tray's "Obnovit ze zálohy…" dialog: the backups, the new database, the
// restore with its progress, and what to do with the result.
#include <windows.h>

#include "platform/RestoreDialog.h"

namespace odb::win {

inline constexpr int kRestoreList = 201;
inline constexpr int kRestoreTarget = 202;
inline constexpr int kRestoreProgress = 203;
inline constexpr int kRestoreResult = 204;

// Modal over owner. The restore runs inside the click on "Obnovit" and lets
// the message loop run, as a backup does, so the dialog stays responsive; it
// cannot be closed until the restore has ended.
void ShowRestoreDialog(HINSTANCE instance, HWND owner, TRestoreDialog& dialog);

}  // namespace odb::win
