// The icon chooser window driven by real messages from inside its modal loop.
#include "frontends/win32/IconChooserWindow.h"

#include <gtest/gtest.h>

#include "ModalDriver_win.h"
#include "resources/ResourceIds.h"

namespace odb {
namespace {

using test::HiddenOwner;

HWND Chooser() { return FindWindowW(kIconChooserClass, nullptr); }
HWND Button(int id) { return GetDlgItem(Chooser(), id); }

void MoveOver(int id) { SendMessageW(Button(id), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10)); }

void CloseChooser() {
  if (HWND chooser = Chooser()) PostMessageW(chooser, WM_CLOSE, 0, 0);
}

// The centre pixel of preview i as it is on the screen, and as the icon draws it.
COLORREF PreviewCentre(int i) {
  HWND chooser = Chooser();
  RECT client{};
  GetClientRect(chooser, &client);
  const int frameLeft[2] = {client.right - 57 + 4, client.right - 57 + 29};
  const int frameTop[2] = {1, 26};
  HDC dc = GetDC(chooser);
  const COLORREF c = GetPixel(dc, frameLeft[i % 2] + 12, frameTop[i / 2] + 12);
  ReleaseDC(chooser, dc);
  return c;
}

COLORREF IconCentre(int resource) {
  const DWORD px = test::ResourceIconPixels(resource)[8 * 16 + 8];
  return RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF);
}

void RunChooser(TFrmSelectIconSet& chooser, HWND owner, const std::function<void()>& step) {
  // Away from the chooser, which opens in the middle of the screen: a real
  // cursor over a button would preview its set.
  SetCursorPos(0, 0);
  test::DuringModal(step, [&] { ShowIconChooser(owner, GetModuleHandleW(nullptr), chooser); },
                    CloseChooser);
}

TEST(IconChooser, PreviewsFollowTheMouseAndTitleBarCloseKeepsTheSet) {
  HiddenOwner owner;
  TFrmSelectIconSet chooser;
  chooser.SelectedSet = 2;
  RunChooser(chooser, owner.Get(), [&] {
    EXPECT_FALSE(IsWindowEnabled(owner.Get())) << "the owner takes no input meanwhile";
    EXPECT_EQ(chooser.ButtonDown(), 2);
    EXPECT_EQ(chooser.PreviewSet(), 2);
    MoveOver(kIdSBPrvni);
    EXPECT_EQ(chooser.PreviewSet(), 1);
    EXPECT_EQ(PreviewCentre(0), IconCentre(IDI_SET1_0));
    EXPECT_EQ(PreviewCentre(3), IconCentre(IDI_SET1_3));
    const int redraws = chooser.PreviewRedraws();
    MoveOver(kIdSBPrvni);
    EXPECT_EQ(chooser.PreviewRedraws(), redraws) << "no redraw while over the same button";
    MoveOver(kIdSBDruhy);
    EXPECT_EQ(chooser.PreviewSet(), 2);
    EXPECT_EQ(PreviewCentre(1), IconCentre(IDI_SET2_1));
    ASSERT_NE(IconCentre(IDI_SET1_1), IconCentre(IDI_SET2_1)) << "the pixel tells the sets apart";
    SendMessageW(Chooser(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(chooser.PreviewSet(), 2) << "leaving the buttons keeps the previews";
    PostMessageW(Chooser(), WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(chooser.SelectedSet, 2);
  EXPECT_EQ(Chooser(), nullptr) << "the window is gone";
  EXPECT_TRUE(IsWindowEnabled(owner.Get()));
}

TEST(IconChooser, ButtonsChooseTheirSet) {
  struct Case {
    int current;
    int button;
    bool byMouse;
    int chosen;
  } cases[] = {
      {2, kIdSBPrvni, false, 1},
      {1, kIdSBDruhy, false, 2},
      {1, kIdSBPrvni, true, 1},
      {2, kIdSBDruhy, true, 2},
      {0, kIdSBDruhy, true, 2},
  };
  HiddenOwner owner;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "current " << c.current << " button " << c.button);
    TFrmSelectIconSet chooser;
    chooser.SelectedSet = c.current;
    RunChooser(chooser, owner.Get(), [&] {
      HWND button = Button(c.button);
      if (!c.byMouse) {
        SendMessageW(button, BM_CLICK, 0, 0);
        return;
      }
      PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
      PostMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    });
    EXPECT_EQ(chooser.SelectedSet, c.chosen);
  }
}

TEST(IconChooser, UnknownSetShowsNoButtonDownAndNoPreview) {
  HiddenOwner owner;
  TFrmSelectIconSet chooser;
  chooser.SelectedSet = 5;
  RunChooser(chooser, owner.Get(), [&] {
    EXPECT_EQ(chooser.ButtonDown(), 0);
    EXPECT_EQ(chooser.PreviewSet(), 0);
    EXPECT_EQ(PreviewCentre(0), GetSysColor(COLOR_BTNFACE));
    SendMessageW(Chooser(), WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(Chooser(), WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(chooser.SelectedSet, 5);
}

TEST(IconChooser, ClientAreaIsTheDesignedSizeAtThisDpi) {
  HiddenOwner owner;
  TFrmSelectIconSet chooser;
  chooser.SelectedSet = 1;
  RunChooser(chooser, owner.Get(), [&] {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    RECT client{};
    GetClientRect(Chooser(), &client);
    EXPECT_EQ(client.right, MulDiv(192, dpi, 96));
    EXPECT_EQ(client.bottom, MulDiv(51, dpi, 96));
    RECT button{};
    GetClientRect(Button(kIdSBPrvni), &button);
    EXPECT_EQ(button.right, MulDiv(39, dpi, 96));
    EXPECT_EQ(button.bottom, MulDiv(38, dpi, 96));
    EXPECT_TRUE(GetWindowLongW(Chooser(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    wchar_t caption[64] = {};
    GetWindowTextW(Chooser(), caption, 64);
    EXPECT_STREQ(caption, L"Výběr sady ikon");
    CloseChooser();
  });
}

}  // namespace
}  // namespace odb
