// The folder choosers behind the browse buttons, shown for real: a timer finds
// the chooser, notes what it shows and presses one of its buttons.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "ModalDriver_win.h"
#include "TempDir.h"
#include "common/Utf16_win.h"
#include "frontends/win32/Win32Application.h"
#include "frontends/win32/Win32Dialogs.h"
#include "platform/FolderDialog.h"

namespace odb {
namespace {

struct TSeenChooser {
  HWND window = nullptr;
  std::string caption;
  bool prompt = false;  // a child shows the dialog's prompt
};

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
  wchar_t cls[16] = L"";
  GetClassNameW(window, cls, 16);
  if (IsWindowVisible(window) && std::wstring(cls) == L"#32770") {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindChooser() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::string Text(HWND window) {
  wchar_t text[512] = L"";
  GetWindowTextW(window, text, 512);
  return Narrow(text);
}

struct TextSearch {
  std::string text;
  bool found = false;
};

// Named CALLBACKs, not lambdas: the 32-bit enumerator wants stdcall.
BOOL CALLBACK MatchText(HWND child, LPARAM data) {
  auto& s = *reinterpret_cast<TextSearch*>(data);
  s.found = s.found || Text(child) == s.text;
  return !s.found;
}

BOOL CALLBACK MatchVisibleEdit(HWND child, LPARAM data) {
  wchar_t cls[16] = L"";
  GetClassNameW(child, cls, 16);
  if (!IsWindowVisible(child) || std::wstring(cls) != L"Edit") return TRUE;
  *reinterpret_cast<HWND*>(data) = child;
  return FALSE;
}

bool HasChildText(HWND parent, const std::string& text) {
  TextSearch search{text};
  EnumChildWindows(parent, MatchText, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindEdit(HWND dialog) {
  HWND found = nullptr;
  EnumChildWindows(dialog, MatchVisibleEdit, reinterpret_cast<LPARAM>(&found));
  return found;
}

void Press(HWND dialog, int button) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

// What the user does in the chooser: types a name (Wine's picker takes the
// folder it shows only with "." typed) and presses a button.
struct TUserAction {
  std::wstring typed;
  int button;
};

using TChooser = std::optional<std::string> (*)(TApplication&, HWND, const TFolderDialog&);

std::optional<std::string> ChooseAndPress(TChooser chooser, const TFolderDialog& dialog,
                                          const TUserAction& action, TSeenChooser& seen) {
  TWin32Application app(GetModuleHandleW(nullptr));
  test::HiddenOwner owner;
  std::optional<std::string> chosen;
  test::DuringModalSteps(
      {[&] {
         seen.window = FindChooser();
         if (!seen.window) return;
         seen.caption = Text(seen.window);
         seen.prompt = HasChildText(seen.window, dialog.Prompt);
         if (HWND edit = FindEdit(seen.window); edit && !action.typed.empty()) {
           SetWindowTextW(edit, action.typed.c_str());
         }
         Press(seen.window, action.button);
       }},
      [&] { chosen = chooser(app, owner.Get(), dialog); },
      [] {
        if (HWND stuck = FindChooser()) Press(stuck, IDCANCEL);
      });
  return chosen;
}

std::string Windows(const std::filesystem::path& p) { return test::Utf8(p.lexically_normal().make_preferred()); }

TEST(FolderChooser, OpensAtTheEditsFolderOrTheNearestOneAbove) {
  test::TempDir dir;
  const auto backups = dir.Path() / test::FromUtf8("Zálohy");
  std::filesystem::create_directories(backups);
  struct Case {
    const char* what;
    TChooser chooser;
    std::string edit;
    TUserAction action;
    std::optional<std::string> expected;
  } cases[] = {
      {"picker, existing folder", win::SelectFolder, Windows(backups), {L".", IDOK}, Windows(backups)},
      {"picker, trailing backslash", win::SelectFolder, Windows(backups) + "\\", {L".", IDOK},
       Windows(backups)},
      {"picker, missing folders below", win::SelectFolder,
       Windows(backups / test::FromUtf8("chybí") / test::FromUtf8("další")), {L".", IDOK}, Windows(backups)},
      {"picker, cancelled", win::SelectFolder, Windows(backups), {L"", IDCANCEL}, std::nullopt},
      {"classic, missing folder below", win::SelectFolderClassic,
       Windows(backups / test::FromUtf8("chybí")), {L"", IDOK}, Windows(backups)},
      {"classic, cancelled", win::SelectFolderClassic, Windows(backups), {L"", IDCANCEL}, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const TFolderDialog dialog{"Vyberte složku záloh", "Vyberte složku, do které se budou ukládat zálohy:",
                               c.edit};
    TSeenChooser seen;
    EXPECT_EQ(ChooseAndPress(c.chooser, dialog, c.action, seen), c.expected);
    ASSERT_NE(seen.window, nullptr) << "no chooser came up";
    if (c.chooser == win::SelectFolder) {
      EXPECT_EQ(seen.caption, dialog.Title);
    } else {
      EXPECT_TRUE(seen.prompt) << "the classic chooser shows no prompt";
    }
  }
}

TEST(FolderChooser, StartFolder) {
  test::TempDir dir;
  const std::string root = Windows(dir.Path());
  struct Case {
    std::string text, expected;
  } cases[] = {
      {root, root},
      {root + "\\a\\b", root},
      {root + "  ", root},
      {"", ""},
      {"relativni", ""},
      {"Q:\\nikde\\nic", ""},  // no such drive
  };
  for (const Case& c : cases) EXPECT_EQ(win::StartFolder(c.text), c.expected) << c.text;
}

}  // namespace
}  // namespace odb
