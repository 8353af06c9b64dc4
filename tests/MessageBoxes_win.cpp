// The program's message boxes as the user meets them on any Windows language:
// its own Czech button captions, the icon of their kind (none for a plain
// notice), the standard default button and what Esc does. Wine answers Esc in
// a box without Storno with "Cancel"; the program reads every answer by the
// buttons the box has, so the result is the same as on Windows.
#include "frontends/win32/Win32Application.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ModalDriver_win.h"
#include "app/AppTexts.h"
#include "common/Utf16_win.h"
#include "platform/PlatformTexts.h"
#include "frontends/win32/Win32Texts.h"
#include "frontends/win32/Win32Ui.h"

namespace odb {
namespace {

struct TSeenBox {
  bool found = false;
  std::wstring title;
  std::vector<std::string> buttons;  // left to right
  bool icon = false;
  std::string defaultButton;
  bool openAfterEsc = false;
};

// A CALLBACK function, not a lambda: the calling convention differs on 32-bit.
BOOL CALLBACK TakeVisibleBox(HWND hwnd, LPARAM out) {
  wchar_t cls[16] = L"";
  GetClassNameW(hwnd, cls, 16);
  if (std::wstring(cls) != L"#32770" || !IsWindowVisible(hwnd)) return TRUE;
  *reinterpret_cast<HWND*>(out) = hwnd;
  return FALSE;
}

HWND FindBox() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), TakeVisibleBox, reinterpret_cast<LPARAM>(&found));
  return found;
}

void Look(HWND box, TSeenBox& seen) {
  seen.found = true;
  seen.title = Widen(win::WindowText(box));
  std::vector<std::pair<LONG, std::string>> buttons;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    wchar_t cls[16] = L"";
    GetClassNameW(child, cls, 16);
    RECT r{};
    GetWindowRect(child, &r);
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    if (std::wstring(cls) == L"Button") {
      buttons.emplace_back(r.left, win::WindowText(child));
      if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) seen.defaultButton = win::WindowText(child);
    }
    if (std::wstring(cls) == L"Static" && (style & SS_TYPEMASK) == SS_ICON &&
        SendMessageW(child, STM_GETICON, 0, 0)) {
      seen.icon = true;
    }
  }
  std::sort(buttons.begin(), buttons.end());
  for (const auto& [left, text] : buttons) seen.buttons.push_back(text);
}

// Shows the box for real, looks at it, presses Esc, and closes it with its
// last button if Esc left it open.
TBoxResult ShowAndPressEsc(TApplication& app, const TMessageBox& box, TSeenBox& seen) {
  TBoxResult answer = TBoxResult::Ok;
  test::DuringModalSteps(
      {[&] {
         HWND shown = FindBox();
         ASSERT_NE(shown, nullptr);
         Look(shown, seen);
         HWND focus = GetFocus() ? GetFocus() : shown;
         PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 1);
         PostMessageW(focus, WM_KEYUP, VK_ESCAPE, 0xC0000001);
       },
       [&] {
         HWND still = FindBox();
         seen.openAfterEsc = still != nullptr;
         if (!still) return;
         HWND last = nullptr;
         for (HWND child = GetWindow(still, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
           wchar_t cls[16] = L"";
           GetClassNameW(child, cls, 16);
           if (std::wstring(cls) == L"Button" && IsWindowVisible(child)) last = child;
         }
         PostMessageW(last, BM_CLICK, 0, 0);
       }},
      [&] { answer = app.ShowMessageBox(box); },
      [] {
        if (HWND stuck = FindBox()) EndDialog(stuck, IDCANCEL);
      });
  return answer;
}

TEST(MessageBoxes, CzechCaptionsWithTheStandardIconsDefaultsAndEsc) {
  TWin32Application app(GetModuleHandleW(nullptr));
  app.SetTitle(std::string(msg::AppTitle));
  struct Case {
    const char* kind;
    TMessageBox box;
    std::vector<std::string> buttons;
    bool icon;
    std::string defaultButton;
    bool closedByEsc;  // a Yes/No box: Windows keeps it open, Wine closes it
    TBoxResult answer;  // Esc's, or Ne's where Esc left the box open
  } cases[] = {
      {"confirmation", {"Přejete si skutečně toto rozhraní ukončit?", std::string(msg::ConfirmTitle),
                        TBoxButtons::YesNo, TBoxIcon::Question},
       {"&Ano", "&Ne"}, true, "&Ano", false, TBoxResult::No},
      {"record deletion", {std::string(msg::DeleteRecord), std::string(msg::ConfirmTitle),
                           TBoxButtons::OkCancel, TBoxIcon::Question},
       {"OK", "Storno"}, true, "OK", true, TBoxResult::Cancel},
      {"error", {"Chyba zápisu.", std::string(msg::ErrorTitle), TBoxButtons::Ok, TBoxIcon::Error},
       {"OK"}, true, "OK", true, TBoxResult::Ok},
      {"plain notice", {"Tato ikona reaguje na PRAVÉ tlačítko myši!", std::string(msg::AppTitle),
                        TBoxButtons::Ok, TBoxIcon::None},
       {"OK"}, false, "OK", true, TBoxResult::Ok},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    TSeenBox seen;
    const TBoxResult answer = ShowAndPressEsc(app, c.box, seen);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.title, Widen(c.box.title));
    EXPECT_EQ(seen.buttons, c.buttons);
    EXPECT_EQ(seen.icon, c.icon);
    EXPECT_EQ(seen.defaultButton, c.defaultButton);
    if (c.closedByEsc) {
      EXPECT_FALSE(seen.openAfterEsc);
    }
    EXPECT_EQ(answer, c.answer) << "Esc never answers Ano or OK where there is a choice";
  }
}

}  // namespace
}  // namespace odb
