// The tray entry against a recording shell: the record it sends, the icon of
// each set and action, and the entry's life (added again for a new taskbar).
#include "app/AppTexts.h"
#include "frontends/win32/TrayEntry.h"

#include <gtest/gtest.h>

#include "ModalDriver_win.h"
#include "resources/ResourceIds.h"

namespace odb {
namespace {

using test::HiddenOwner;

struct ShellCall {
  DWORD message;
  NOTIFYICONDATAW data;
  std::vector<DWORD> iconPixels;
};

// What the shell saw, with the icon's looks copied out during the call (the
// entry destroys its icon right after).
class RecordingShell {
 public:
  TWin32TrayEntry::TShellNotify Notify() {
    return [this](DWORD message, NOTIFYICONDATAW& data) {
      std::vector<DWORD> pixels;
      if (data.hIcon) pixels = test::IconPixels(data.hIcon);
      calls.push_back({message, data, pixels});
      return TRUE;
    };
  }
  std::vector<ShellCall> calls;
};

const std::string kTip(msg::TrayTip);

TEST(TrayEntry, AddSendsTheWholeRecord) {
  HiddenOwner owner;
  RecordingShell shell;
  TWin32TrayEntry entry(owner.Get(), GetModuleHandleW(nullptr), shell.Notify());
  entry.Add(1, 0, kTip);
  ASSERT_EQ(shell.calls.size(), 1u);
  const ShellCall& call = shell.calls[0];
  EXPECT_EQ(call.message, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(call.data.hWnd, owner.Get());
  EXPECT_EQ(call.data.uID, 0u);
  EXPECT_EQ(call.data.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(call.data.uCallbackMessage, 1025u);
  EXPECT_EQ(std::wstring(call.data.szTip), L"Ordava backup client.");
  // Destroyed right after the call: the shell keeps a copy of its own.
  ICONINFO info{};
  EXPECT_FALSE(GetIconInfo(call.data.hIcon, &info));
}

TEST(TrayEntry, IconFollowsSetAndIndex) {
  struct Case {
    int set, index, resource;
  } cases[] = {
      {1, 0, IDI_SET1_0}, {1, 1, IDI_SET1_1}, {1, 2, IDI_SET1_2}, {1, 3, IDI_SET1_3},
      {2, 0, IDI_SET2_0}, {2, 1, IDI_SET2_1}, {2, 2, IDI_SET2_2}, {2, 3, IDI_SET2_3},
      // Set numbers other than 1 and 2 fall back to set 1; a stray index shows "other".
      {0, 1, IDI_SET1_1}, {7, 2, IDI_SET1_2}, {-1, 0, IDI_SET1_0},
      {1, -1, IDI_SET1_3}, {2, 9, IDI_SET2_3},
  };
  HiddenOwner owner;
  RecordingShell shell;
  TWin32TrayEntry entry(owner.Get(), GetModuleHandleW(nullptr), shell.Notify());
  entry.Add(1, 0, kTip);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "set " << c.set << " index " << c.index);
    entry.Modify(c.set, c.index, kTip);
    ASSERT_FALSE(shell.calls.empty());
    EXPECT_EQ(shell.calls.back().message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(shell.calls.back().iconPixels, test::ResourceIconPixels(c.resource));
    EXPECT_EQ(std::wstring(shell.calls.back().data.szTip), L"Ordava backup client.");
  }
}

TEST(TrayEntry, NewTaskbarGetsTheEntryAgainWithItsCurrentIcon) {
  HiddenOwner owner;
  RecordingShell shell;
  TWin32TrayEntry entry(owner.Get(), GetModuleHandleW(nullptr), shell.Notify());
  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  entry.Add(1, 0, kTip);
  entry.Modify(2, 2, kTip);
  EXPECT_FALSE(entry.HandleMessage(WM_USER + 7));
  ASSERT_TRUE(entry.HandleMessage(taskbarCreated));
  ASSERT_EQ(shell.calls.size(), 3u);
  EXPECT_EQ(shell.calls[2].message, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(shell.calls[2].iconPixels, test::ResourceIconPixels(IDI_SET2_2));

  // A deleted entry stays deleted.
  entry.Delete();
  EXPECT_TRUE(entry.HandleMessage(taskbarCreated));
  ASSERT_EQ(shell.calls.size(), 4u);
  EXPECT_EQ(shell.calls[3].message, static_cast<DWORD>(NIM_DELETE));
}

TEST(TrayEntry, OwnsTheEntry) {
  HiddenOwner owner;
  RecordingShell shell;
  {
    TWin32TrayEntry entry(owner.Get(), GetModuleHandleW(nullptr), shell.Notify());
    entry.Modify(1, 1, kTip);  // nothing to modify before the entry is added
    EXPECT_TRUE(shell.calls.empty());
    entry.Add(1, 1, kTip);
  }
  ASSERT_EQ(shell.calls.size(), 2u);
  EXPECT_EQ(shell.calls[1].message, static_cast<DWORD>(NIM_DELETE));

  shell.calls.clear();
  {
    TWin32TrayEntry entry(owner.Get(), GetModuleHandleW(nullptr), shell.Notify());
    entry.Add(1, 1, kTip);
    entry.Delete();
    entry.Delete();
  }
  ASSERT_EQ(shell.calls.size(), 2u) << "one delete, none from the second call or the destructor";
}

// The real shell call: Wine's notification area accepts the record and knows the
// entry until it is deleted.
TEST(TrayEntry, RealShellAcceptsTheRecord) {
  HiddenOwner owner;
  std::vector<std::pair<DWORD, BOOL>> results;
  {
    TWin32TrayEntry entry(owner.Get(), GetModuleHandleW(nullptr),
                          [&](DWORD message, NOTIFYICONDATAW& data) {
                            const BOOL ok = Shell_NotifyIconW(message, &data);
                            results.emplace_back(message, ok);
                            return ok;
                          });
    entry.Add(1, 0, kTip);
    entry.Modify(2, 1, kTip);
  }
  for (const auto& [message, ok] : results) {
    SCOPED_TRACE(message);
    EXPECT_TRUE(ok);
  }
  NOTIFYICONDATAW gone{};
  gone.cbSize = sizeof gone;
  gone.hWnd = owner.Get();
  gone.uFlags = NIF_TIP;
  EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &gone)) << "the destructor removed the entry";
}

}  // namespace
}  // namespace odb
