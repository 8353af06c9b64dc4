// The resources linked into this test program are the ones the Windows program gets: every
// picture must load the way the window layer loads it, with its size and transparency.
#include "app/AppTexts.h"
#include "common/Utf16_win.h"
#include "resources/ResourceIds.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace odb {
namespace {

HINSTANCE Self() { return GetModuleHandleW(nullptr); }

struct Picture {
  int id;
  int width;
  int height;
};

SIZE IconSize(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return {0, 0};
  BITMAP bm{};
  GetObjectW(info.hbmColor, sizeof bm, &bm);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return {bm.bmWidth, bm.bmHeight};
}

// The AND mask of an icon, top row first, true where the icon is transparent.
std::vector<bool> IconMask(HICON icon, int size) {
  ICONINFO info{};
  EXPECT_TRUE(GetIconInfo(icon, &info));
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<DWORD> px(size * size);
  HDC dc = GetDC(nullptr);
  GetDIBits(dc, info.hbmMask, 0, size, px.data(), &bi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  std::vector<bool> mask;
  for (DWORD p : px) mask.push_back((p & 0xFFFFFF) != 0);
  return mask;
}

TEST(Resources, EveryIconLoadsAt16WithAMask) {
  const int ids[] = {IDI_APP,    IDI_SET1_0, IDI_SET1_1, IDI_SET1_2, IDI_SET1_3,
                     IDI_SET2_0, IDI_SET2_1, IDI_SET2_2, IDI_SET2_3};
  for (int id : ids) {
    SCOPED_TRACE(id);
    auto icon = static_cast<HICON>(
        LoadImageW(Self(), MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    ASSERT_NE(icon, nullptr);
    SIZE size = IconSize(icon);
    EXPECT_EQ(size.cx, 16);
    EXPECT_EQ(size.cy, 16);
    std::vector<bool> mask = IconMask(icon, 16);
    EXPECT_TRUE(mask[0]) << "the top left corner is transparent in every icon";
    EXPECT_FALSE(mask[8 * 16 + 8]) << "the centre is drawn";
    DestroyIcon(icon);
  }
}

TEST(Resources, ProgramIconHasA32PixelImage) {
  auto icon = static_cast<HICON>(
      LoadImageW(Self(), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(IconSize(icon).cx, 32);
  DestroyIcon(icon);
  EXPECT_NE(LoadIconW(Self(), MAKEINTRESOURCEW(IDI_APP)), nullptr);
}

// The tray takes its icon out of a masked image list, so the set icons must survive that trip.
TEST(Resources, IconSetGoesThroughAnImageList) {
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 0);
  ASSERT_NE(list, nullptr);
  for (int id : {IDI_SET2_0, IDI_SET2_1, IDI_SET2_2, IDI_SET2_3}) {
    auto icon = static_cast<HICON>(
        LoadImageW(Self(), MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    EXPECT_GE(ImageList_AddIcon(list, icon), 0);
    DestroyIcon(icon);
  }
  EXPECT_EQ(ImageList_GetImageCount(list), 4);
  HICON taken = ImageList_GetIcon(list, 3, ILD_NORMAL);
  ASSERT_NE(taken, nullptr);
  EXPECT_EQ(IconSize(taken).cx, 16);
  EXPECT_TRUE(IconMask(taken, 16)[0]);
  DestroyIcon(taken);
  ImageList_Destroy(list);
}

// Transparent pixels must be all zero (premultiplied), or menus and AlphaBlend show a colour.
TEST(Resources, EveryBitmapIs32BitWithCleanAlpha) {
  const Picture pictures[] = {
      {IDB_TRAYMENU, 16 * ODB_TRAYPIC_COUNT, 16},
      {IDB_FOLDER, 16, 16},           {IDB_FOLDER_DISABLED, 16, 16}, {IDB_CHANGE, 16, 16},
      {IDB_OK, 16, 16},               {IDB_HIDE, 16, 16},            {IDB_EXIT, 16, 16},
      {IDB_CHOOSER_SET1, 32, 32},     {IDB_CHOOSER_SET2, 32, 32},
  };
  for (const Picture& p : pictures) {
    SCOPED_TRACE(p.id);
    auto bitmap = static_cast<HBITMAP>(
        LoadImageW(Self(), MAKEINTRESOURCEW(p.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(bitmap, nullptr);
    DIBSECTION dib{};
    ASSERT_EQ(GetObjectW(bitmap, sizeof dib, &dib), static_cast<int>(sizeof dib));
    EXPECT_EQ(dib.dsBm.bmWidth, p.width);
    EXPECT_EQ(dib.dsBm.bmHeight, p.height);
    ASSERT_EQ(dib.dsBm.bmBitsPixel, 32);
    const auto* px = static_cast<const DWORD*>(dib.dsBm.bmBits);
    int clear = 0, solid = 0, stray = 0;
    for (int i = 0; i < p.width * p.height; ++i) {
      DWORD alpha = px[i] >> 24;
      if (px[i] == 0) ++clear;
      else if (alpha == 255) ++solid;
      else ++stray;
    }
    EXPECT_GT(clear, 0);
    EXPECT_GT(solid, 0);
    EXPECT_EQ(stray, 0);
    DeleteObject(bitmap);
  }
}

TEST(Resources, TrayMenuStripSplitsIntoFivePictures) {
  HIMAGELIST list = ImageList_LoadImageW(Self(), MAKEINTRESOURCEW(IDB_TRAYMENU), 16, 0,
                                         CLR_NONE, IMAGE_BITMAP, LR_CREATEDIBSECTION);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(list), ODB_TRAYPIC_COUNT);
  ImageList_Destroy(list);
}

std::wstring VersionString(const std::vector<char>& block, const wchar_t* path) {
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), path, &value, &length) || length == 0) return {};
  return static_cast<const wchar_t*>(value);
}

TEST(Resources, VersionInfoCarriesTheCzechTitle) {
  wchar_t exe[MAX_PATH];
  ASSERT_GT(GetModuleFileNameW(nullptr, exe, MAX_PATH), 0u);
  DWORD size = GetFileVersionInfoSizeW(exe, nullptr);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(exe, 0, size, block.data()));
  EXPECT_EQ(VersionString(block, L"\\StringFileInfo\\040504B0\\FileDescription"),
            Widen(msg::AppTitle));
  EXPECT_EQ(VersionString(block, L"\\StringFileInfo\\040504B0\\ProductVersion"),
            Widen(ODB_VERSION));
  EXPECT_EQ(VersionString(block, L"\\StringFileInfo\\040504B0\\ProductName"), L"ODBackup");
}

TEST(Resources, ManifestAsksForCommonControls6) {
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_MANIFEST);
  ASSERT_NE(found, nullptr);
  const char* text = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
  std::string manifest(text, SizeofResource(nullptr, found));
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(manifest.find("asInvoker"), std::string::npos);
}

}  // namespace
}  // namespace odb
