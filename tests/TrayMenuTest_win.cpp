// The tray menu through its real modal loop: keys posted from a timer pick an
// item or dismiss the menu.
#include "frontends/win32/TrayMenu.h"

#include <gtest/gtest.h>

#include <vector>

#include "ModalDriver_win.h"

namespace odb {
namespace {

using test::HiddenOwner;

void PostKeys(HWND target, const std::vector<WPARAM>& keys) {
  for (WPARAM key : keys) {
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
  }
}

TTrayCommand PickWithKeys(const std::vector<WPARAM>& keys) {
  HiddenOwner owner;
  TTrayCommand picked = TTrayCommand::OpenForm;
  test::DuringModal([&] { PostKeys(owner.Get(), keys); },
                    [&] { picked = TrackTrayMenu(owner.Get(), GetModuleHandleW(nullptr)); },
                    [] { EndMenu(); });
  return picked;
}

TEST(TrayMenu, ItemsInOrderWithSeparatorsSkipped) {
  struct Case {
    std::vector<WPARAM> keys;
    TTrayCommand expected;
  } cases[] = {
      {{VK_DOWN, VK_RETURN}, TTrayCommand::OpenForm},
      {{VK_DOWN, VK_DOWN, VK_RETURN}, TTrayCommand::CloseForm},
      {{VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, TTrayCommand::AnimateIcons},
      {{VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, TTrayCommand::Login},
      {{VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, TTrayCommand::Restore},
      {{VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, TTrayCommand::End},
      {{VK_UP, VK_RETURN}, TTrayCommand::End},
      {{VK_ESCAPE}, TTrayCommand::None},
      {{VK_DOWN, VK_ESCAPE}, TTrayCommand::None},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.keys.size() << " keys, last " << c.keys.back());
    EXPECT_EQ(PickWithKeys(c.keys), c.expected);
  }
}

TEST(TrayMenu, CancelModeDismisses) {
  HiddenOwner owner;
  TTrayCommand picked = TTrayCommand::End;
  test::DuringModal([&] { PostMessageW(owner.Get(), WM_CANCELMODE, 0, 0); },
                    [&] { picked = TrackTrayMenu(owner.Get(), GetModuleHandleW(nullptr)); },
                    [] { EndMenu(); });
  EXPECT_EQ(picked, TTrayCommand::None);
}

TEST(TrayMenu, OpensAtTheCursorWithPictures) {
  HiddenOwner owner;
  SetCursorPos(200, 150);
  RECT where{};
  HMENU shown = nullptr;
  test::DuringModal(
      [&] {
        HWND popup = FindWindowW(L"#32768", nullptr);
        ASSERT_NE(popup, nullptr);
        GetWindowRect(popup, &where);
        shown = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(GetMenuItemCount(shown), 8);
        wchar_t text[64] = {};
        GetMenuStringW(shown, 0, text, 64, MF_BYPOSITION);
        EXPECT_STREQ(text, L"Otevři nastavení");
        GetMenuStringW(shown, 4, text, 64, MF_BYPOSITION);
        EXPECT_STREQ(text, L"Přihlašovací údaje…");
        GetMenuStringW(shown, 5, text, 64, MF_BYPOSITION);
        EXPECT_STREQ(text, L"Obnovit ze zálohy…");
        GetMenuStringW(shown, 7, text, 64, MF_BYPOSITION);
        EXPECT_STREQ(text, L"Konec");
        for (UINT pos : {0u, 1u, 3u, 4u, 5u, 7u}) {
          MENUITEMINFOW info{};
          info.cbSize = sizeof info;
          info.fMask = MIIM_BITMAP | MIIM_STATE | MIIM_FTYPE;
          GetMenuItemInfoW(shown, pos, TRUE, &info);
          EXPECT_NE(info.hbmpItem, nullptr) << pos;
          EXPECT_EQ(info.fState & MFS_DISABLED, 0u) << pos;
        }
        MENUITEMINFOW separator{};
        separator.cbSize = sizeof separator;
        separator.fMask = MIIM_FTYPE;
        GetMenuItemInfoW(shown, 2, TRUE, &separator);
        EXPECT_TRUE(separator.fType & MFT_SEPARATOR);
        EndMenu();
      },
      [&] { TrackTrayMenu(owner.Get(), GetModuleHandleW(nullptr)); }, [] { EndMenu(); });
  EXPECT_EQ(where.left, 200);
  EXPECT_EQ(where.top, 150);
  EXPECT_FALSE(IsMenu(shown)) << "the menu is destroyed when it closes";
}

}  // namespace
}  // namespace odb
