// The mirror's row on the paths page of the real window: loaded from the
// configuration, edited like the rows above it, and written back by OK.
#include "tests/SettingsWindowFixture_win.h"

#include <vector>

#include "common/Cp1250.h"
#include "common/FileSystem.h"
#include "common/Utf16_win.h"
#include "frontends/win32/Win32Ui.h"

namespace odb {
namespace {

class Win32MirrorRow : public test::Win32SettingsWindow {
 protected:
  std::string Ini() const override {
    return std::string(test::kIni) + "[Backups]\r\nMirrorPath=\\\\nas\\z\xe1lohy\r\nMirrorCount=2\r\n";
  }
  std::string Saved() const { return Cp1250ToUtf8(fs::ReadFile(dir / "odbackup.ini").value_or("")); }
};

TEST_F(Win32MirrorRow, ShowsLoadsAndSavesTheMirror) {
  const std::vector<const TControl*> controls = {&form->laMirrorPath, &form->EdtMirrorPath, &form->SBMirrorPath,
                                            &form->laMirrorCount, &form->sedtMirrorCount};
  for (const TControl* control : controls) {
    EXPECT_TRUE(IsWindowVisible(Hwnd(*control))) << control->Name;
  }
  EXPECT_EQ(win::WindowText(Hwnd(form->laMirrorPath)), "Kopie záloh (jiný disk nebo síť)");
  EXPECT_EQ(win::WindowText(Hwnd(form->EdtMirrorPath)), "\\\\nas\\zálohy");
  EXPECT_EQ(win::WindowText(Hwnd(form->sedtMirrorCount)), "2");
  // Below the rows above it, inside the page.
  RECT above{}, row{}, page{};
  GetWindowRect(Hwnd(form->CBVerifyBackup), &above);
  GetWindowRect(Hwnd(form->sedtMirrorCount), &row);
  GetWindowRect(app.SettingsView()->PageWindow(TabSheetPaths), &page);
  EXPECT_GT(row.top, above.bottom);
  EXPECT_LE(row.bottom, page.bottom);

  SetWindowTextW(Hwnd(form->EdtMirrorPath), L"E:\\kopie");
  app.ProcessMessages();
  // The arrow steps this row's count, not the backups' one.
  SetFocus(Hwnd(form->sedtMirrorCount));
  Press(VK_UP);
  EXPECT_EQ(win::WindowText(Hwnd(form->sedtBackupCount)), "5");
  Click(form->BtnOK);
  const std::string saved = Saved();
  EXPECT_NE(saved.find("MirrorPath=E:\\kopie\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("MirrorCount=3\r\n"), std::string::npos) << saved;
}

}  // namespace
}  // namespace odb
