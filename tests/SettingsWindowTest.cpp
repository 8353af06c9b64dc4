// The settings window: control coupling, the event action with the tray icon,
// the browse buttons and the window's lifecycle, headless.
#include <gtest/gtest.h>

#include "FormFixture.h"
#include "platform/SelectIconSet.h"

namespace odb {
namespace {

using test::FormFixture;

// Which of Po..Ne, Prac.dny, Víkendy are ticked, as "1010100 10".
std::string Days(TFrmODBackupDB& f) {
  std::string s;
  for (TCheckBox* box : {&f.cbPo, &f.cbUt, &f.cbSt, &f.cbCt, &f.cbPa, &f.cbSo, &f.cbNe}) {
    s += box->Checked() ? '1' : '0';
  }
  return s + ' ' + (f.cbPracDny.Checked() ? '1' : '0') + (f.cbVikendy.Checked() ? '1' : '0');
}

class SettingsWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    fx.WriteIni("[Settings]\nDays=\n");
    fx.Start();
  }
  TFrmODBackupDB& f() { return *fx.form; }
  FormFixture fx;
};

// Every edit reaches the live settings at once, unsaved: the next backup and
// the next tick read them there. The text of a setting's key in the file shows it.
TEST_F(SettingsWindow, EditsReachTheLiveSettingsAtOnce) {
  struct Case {
    const char* name;
    std::function<void(TFrmODBackupDB&)> edit;
    const char* written;
  };
  const Case cases[] = {
      {"server on another computer", [](auto& f) { f.RBHost.Click(); }, "LocalHost=N\r\n"},
      {"server name", [](auto& f) { f.EdtServer.SetText("fbhost"); }, "ServerName=fbhost\r\n"},
      {"database", [](auto& f) { f.EdtPath.SetText("/d/o.fdb"); }, "DatabaseName=/d/o.fdb\r\n"},
      {"log file", [](auto& f) { f.EdtLogFilePath.SetText("/l/a.log"); }, "LogFileName=/l/a.log\r\n"},
      {"backup folder", [](auto& f) { f.EdtBackupPath.SetText("/b/"); }, "BackupPath=/b/\r\n"},
      {"backup count", [](auto& f) { f.sedtBackupCount.SetText("7"); }, "BackupCount=7\r\n"},
      {"log to file", [](auto& f) { f.CBLogActivity.Click(); }, "LogToFile=A\r\n"},
      {"clear log", [](auto& f) { f.CB_ClearLog.Click(); }, "ClearLog=N\r\n"},
      {"run minimised", [](auto& f) { f.CB_RunMinimalized.Click(); }, "RunMinimalized=A\r\n"},
      {"verify", [](auto& f) { f.CBVerifyBackup.Click(); }, "VerifyBackup=A\r\n"},
      {"action picked", [](auto& f) { f.cbAction.UserPick(2); }, "EventAction=PauseBackup\r\n"},
      {"weekend", [](auto& f) { f.cbVikendy.Click(); }, "Days=6,7\r\n"},
      {"a time", [](auto& f) {
         f.Data.MemTimes.Append();
         f.Data.MemTimes.SetTimeText("7:30");
         f.Data.MemTimes.Post();
       }, "Time_1=07:30:00\r\n"},
  };
  for (const Case& c : cases) {
    FormFixture local;
    local.WriteIni("[Settings]\nDays=\n");
    TFrmODBackupDB& f = local.Start();
    const std::string before = local.Ini();
    c.edit(f);
    EXPECT_NE(f.Settings().SettingsText().find(c.written), std::string::npos) << c.name;
    EXPECT_EQ(local.Ini(), before) << c.name << ": nothing is saved";
  }
}

TEST_F(SettingsWindow, DayCoupling) {
  struct Case {
    const char* name;
    std::function<void(TFrmODBackupDB&)> act;
    const char* days;
  };
  const Case cases[] = {
      {"four working days", [](auto& f) { for (auto* b : {&f.cbPo, &f.cbUt, &f.cbSt, &f.cbCt}) b->Click(); },
       "1111000 00"},
      {"the fifth ticks Prac.dny",
       [](auto& f) { for (auto* b : {&f.cbPo, &f.cbUt, &f.cbSt, &f.cbCt, &f.cbPa}) b->Click(); },
       "1111100 10"},
      {"unticking one working day keeps the other four",
       [](auto& f) { f.cbPracDny.Click(); f.cbSt.Click(); }, "1101100 00"},
      {"Prac.dny ticks the five, weekend untouched", [](auto& f) { f.cbPracDny.Click(); }, "1111100 10"},
      {"Prac.dny off unticks the five", [](auto& f) { f.cbPracDny.Click(); f.cbSo.Click(); f.cbPracDny.Click(); },
       "0000010 00"},
      {"Víkendy with So ticked adds Ne", [](auto& f) { f.cbSo.Click(); f.cbVikendy.Click(); }, "0000011 01"},
      {"Víkendy off unticks both", [](auto& f) { f.cbVikendy.Click(); f.cbVikendy.Click(); }, "0000000 00"},
      {"So and Ne tick Víkendy", [](auto& f) { f.cbSo.Click(); f.cbNe.Click(); }, "0000011 01"},
  };
  for (const Case& c : cases) {
    FormFixture local;
    local.WriteIni("[Settings]\nDays=\n");
    TFrmODBackupDB& form = local.Start();
    c.act(form);
    EXPECT_EQ(Days(form), c.days) << c.name;
    // Neither click guard stays raised: both kinds of box still couple.
    form.cbPracDny.SetChecked(false);
    form.cbPracDny.SetChecked(true);
    EXPECT_EQ(Days(form).substr(0, 5), "11111") << c.name;
    form.cbPo.Click();
    EXPECT_FALSE(form.cbPracDny.Checked()) << c.name;
  }
}

TEST_F(SettingsWindow, CheckWeekdayTicksOnlyAndRecomputesGroups) {
  for (int day : {0, 8, -1}) f().CheckWeekday(day);
  EXPECT_EQ(Days(f()), "0000000 00");
  for (int day : {6, 7, 7}) f().CheckWeekday(day);
  EXPECT_EQ(Days(f()), "0000011 01");
  for (int day = 1; day <= 5; ++day) f().CheckWeekday(day);
  EXPECT_EQ(Days(f()), "1111111 11");
  EXPECT_EQ(f().TickedDays(), 0xFE);
}

TEST(ActionNames, BothWays) {
  const std::pair<int, const char*> toName[] = {
      {0, "OnceBackup"}, {1, "BackupOnTimer"}, {2, "PauseBackup"}, {-1, "BackupOnTimer"}, {3, "BackupOnTimer"}};
  for (const auto& [index, name] : toName) EXPECT_EQ(ActionToName(index), name) << index;
  const std::pair<const char*, int> toIndex[] = {
      {"OnceBackup", 0}, {"BackupOnTimer", 1}, {"PauseBackup", 2}, {"pausebackup", 1}, {"", 1}, {"Foo", 1}};
  for (const auto& [name, index] : toIndex) EXPECT_EQ(NameToAction(name), index) << name;
}

TEST(ActionNames, AnUnknownNameIsCarriedUnchanged) {
  struct Case {
    const char* name;
    TActionKind kind;
    int index;
  };
  const Case cases[] = {{"OnceBackup", TActionKind::OnceBackup, 0},
                        {"BackupOnTimer", TActionKind::BackupOnTimer, 1},
                        {"PauseBackup", TActionKind::PauseBackup, 2},
                        {"Foo", TActionKind::Unknown, 1},
                        {"pausebackup", TActionKind::Unknown, 1},
                        {" OnceBackup", TActionKind::Unknown, 1},
                        {"", TActionKind::Unknown, 1}};
  for (const Case& c : cases) {
    const TEventAction action = TEventAction::FromName(c.name);
    EXPECT_EQ(action.Kind(), c.kind) << c.name;
    EXPECT_EQ(action.Name(), c.name);
    EXPECT_EQ(action.ItemIndex(), c.index) << c.name;
  }
  EXPECT_NE(TEventAction::FromName("Foo"), TEventAction::FromName("Bar"));
  // The list never gives an unknown action.
  for (int index = -1; index <= 3; ++index) {
    const TEventAction picked = TEventAction::FromItemIndex(index);
    EXPECT_NE(picked.Kind(), TActionKind::Unknown) << index;
    EXPECT_EQ(picked.ItemIndex(), index >= 0 && index <= 2 ? index : 1) << index;
  }
}

TEST_F(SettingsWindow, ServerCoupling) {
  // The load selected the local server of the layout: no coupling ran.
  EXPECT_TRUE(f().EdtServer.Enabled());
  f().RBHost.Click();
  f().EdtServer.SetText("fbserver");
  f().RBLocal.Click();
  EXPECT_EQ(f().EdtServer.Text(), "localhost");
  EXPECT_FALSE(f().EdtServer.Enabled());
  EXPECT_EQ(f().EdtServer.FontColor(), clInactiveCaption);
  f().RBHost.Click();
  EXPECT_EQ(f().EdtServer.Text(), "localhost");
  EXPECT_TRUE(f().EdtServer.Enabled());
  EXPECT_EQ(f().EdtServer.FontColor(), clWindowText);
}

TEST_F(SettingsWindow, TrayIconFollowsTheActionListAtOnceWithoutSaving) {
  ASSERT_TRUE(fx.app.TrayEntry.Present);
  EXPECT_EQ(fx.app.TrayEntry.IconIndex, 0);
  EXPECT_EQ(fx.app.TrayEntry.Tip, "Ordava backup client.");
  const std::string before = fx.Ini();
  f().cbAction.UserPick(2);
  EXPECT_EQ(f().EventAction().Name(), "PauseBackup");
  EXPECT_EQ(fx.app.TrayEntry.IconIndex, 2);
  EXPECT_EQ(fx.Ini(), before);
  // An operation setting the index raises nothing; an edit's change or Změň does.
  f().cbAction.SetItemIndex(1);
  EXPECT_EQ(fx.app.TrayEntry.IconIndex, 2);
  f().EdtPath.SetText("/other.fdb");
  EXPECT_EQ(fx.app.TrayEntry.IconIndex, 1);
  f().cbAction.SetItemIndex(0);
  f().SBComStart.Click();
  EXPECT_EQ(f().EventAction().Name(), "OnceBackup");
  EXPECT_EQ(fx.app.TrayEntry.IconIndex, 0);
  EXPECT_EQ(fx.Ini(), before);
}

TEST_F(SettingsWindow, BrowseButtonsTakeTheChoiceAndCancelChangesNothing) {
  struct Case {
    TButton& button;
    TEdit& edit;
    std::string choice;
  };
  const Case cases[] = {{f().SBServer, f().EdtServer, "PC-RECEPCE"},
                        {f().SBDBPath, f().EdtPath, "/data/x.fdb"},
                        {f().SBInFilesPath, f().EdtBackupPath, "/zalohy"},
                        {f().SBMirrorPath, f().EdtMirrorPath, "/mnt/usb"},
                        {f().SBLogFilePath, f().EdtLogFilePath, "/log/a.log"}};
  f().RBHost.Click();
  f().RBLocal.Click();  // the server edit is disabled, its button is not
  for (const Case& c : cases) {
    const std::string before = c.edit.Text();
    fx.app.DialogAnswers = {std::nullopt};
    c.button.Click();
    EXPECT_EQ(c.edit.Text(), before) << c.edit.Name;
    f().cbAction.SetItemIndex(2);
    fx.app.DialogAnswers = {c.choice};
    c.button.Click();
    EXPECT_EQ(c.edit.Text(), c.choice) << c.edit.Name;
    EXPECT_EQ(f().EventAction().Name(), "PauseBackup") << "the change handler ran for " << c.edit.Name;
    f().cbAction.SetItemIndex(0);
  }
  // The folder chooser opens at the edit's folder, with the backup folder's texts.
  fx.app.DialogAnswers = {std::nullopt};
  f().SBInFilesPath.Click();
  EXPECT_EQ(fx.app.LastFolderDialog.Folder, "/zalohy");
  EXPECT_EQ(fx.app.LastFolderDialog.Title, "Vyberte složku záloh");
  EXPECT_FALSE(fx.app.LastFolderDialog.Prompt.empty());
  fx.app.DialogAnswers = {std::nullopt};
  f().SBMirrorPath.Click();
  EXPECT_EQ(fx.app.LastFolderDialog.Folder, "/mnt/usb");
  EXPECT_EQ(fx.app.LastFolderDialog.Title, "Vyberte složku pro kopie záloh");
  // The file dialogs remember the last choice for the next opening.
  EXPECT_EQ(f().OpenDialogDB.FileName, "/data/x.fdb");
  EXPECT_EQ(f().OpenDialogLog.FileName, "/log/a.log");
}

TEST(SettingsWindowStart, RunMinimisedHidesOnceAfterTheLoopShowsIt) {
  FormFixture fx;
  fx.WriteIni("[Settings]\nRunMinimalized=A\n");
  TFrmODBackupDB& f = fx.Create();
  EXPECT_FALSE(f.Visible());
  EXPECT_EQ(fx.app.PendingMessages(), 1u);
  f.Show();
  EXPECT_TRUE(f.Visible());
  fx.app.ProcessMessages();
  EXPECT_FALSE(f.Visible());
  f.miOpenFormClick();
  f.WMHideAtStart();
  fx.app.ProcessMessages();
  EXPECT_TRUE(f.Visible());
}

TEST(SettingsWindowStart, WithoutRunMinimisedStaysShownOnThePathsTab) {
  FormFixture fx;
  TFrmODBackupDB& f = fx.Create();
  f.PageControlParams.SetActivePageIndex(TabSheetPort);
  f.Show();
  fx.app.ProcessMessages();
  EXPECT_TRUE(f.Visible());
  EXPECT_EQ(f.PageControlParams.ActivePageIndex(), TabSheetPaths);
  EXPECT_TRUE(fx.app.Boxes.empty());
  ASSERT_NE(f.Backup().BackupSettings(), nullptr);
  EXPECT_EQ(f.GBDatabaze.Color(), Rgb(215, 215, 255));
  EXPECT_EQ(f.GBData.Color(), Rgb(200, 200, 255));
  EXPECT_EQ(f.GBInfo.Color(), Rgb(185, 185, 255));
}

TEST(SettingsWindowStart, LoadFailureStillGivesTrayEntryAndJobRecordButNoHide) {
  FormFixture fx;
  fx.WriteIni("[Settings]\nRunMinimalized=A\nEventAction=PauseBackup\nTime_1=10:00\n");
  fx.data = std::make_unique<TDataODBackup>(fx.fb);
  // The times table refuses a further row number: the load ends by an error.
  fx.data->LastTimeId = 30;
  TFrmODBackupDB& f = fx.Create();
  ASSERT_EQ(fx.app.Boxes.size(), 1u);
  EXPECT_EQ(fx.app.Boxes[0].text,
            "Nepodařilo se načíst konfigurační soubor zálohování.\r\n           Program nemusí správně fungovat.");
  EXPECT_EQ(fx.app.Boxes[0].title, "Chyba");
  EXPECT_FALSE(f.Settings().SettingsFileBusy());
  EXPECT_TRUE(fx.app.TrayEntry.Present);
  EXPECT_EQ(fx.app.TrayEntry.IconIndex, 2);
  EXPECT_NE(f.Backup().BackupSettings(), nullptr);
  EXPECT_TRUE(f.CB_RunMinimalized.Checked());
  EXPECT_EQ(fx.app.PendingMessages(), 0u);
  f.Show();
  fx.app.ProcessMessages();
  EXPECT_TRUE(f.Visible());
}

TEST(SettingsWindowStart, TimerRuleOnShowAndHide) {
  struct Case {
    const char* action;
    bool shown, hidden;
  };
  for (const Case& c : {Case{"OnceBackup", false, true}, Case{"BackupOnTimer", true, true},
                        Case{"PauseBackup", false, false}, Case{"Foo", false, true}}) {
    FormFixture fx;
    fx.WriteIni(std::string("[Settings]\nEventAction=") + c.action + "\n");
    TFrmODBackupDB& f = fx.Create();
    EXPECT_TRUE(f.TimerTS.Enabled()) << "runs from creation";
    f.Show();
    EXPECT_EQ(f.TimerTS.Enabled(), c.shown) << c.action;
    f.miCloseFormClick();
    EXPECT_EQ(f.TimerTS.Enabled(), c.hidden) << c.action;
  }
}

TEST(SettingsWindowStart, ShowPostsTheScrollRequestOnlyWhileLogging) {
  for (const char* logToFile : {"A", "N"}) {
    FormFixture fx;
    fx.WriteIni(std::string("[Settings]\nLogToFile=") + logToFile + "\n");
    TFrmODBackupDB& f = fx.Start();
    EXPECT_EQ(f.MemoFiles.CaretScrolls(), logToFile[0] == 'A' ? 1 : 0) << logToFile;
  }
}

TEST_F(SettingsWindow, HideWritesNothingAndKeepsTheEdits) {
  const std::string before = fx.Ini();
  f().EdtPath.SetText("/edited.fdb");
  f().BtnCancel.Click();
  EXPECT_FALSE(f().Visible());
  EXPECT_EQ(fx.Ini(), before);
  EXPECT_EQ(f().EdtPath.Text(), "/edited.fdb");
}

TEST_F(SettingsWindow, OkSavesActsAndHides) {
  struct Case {
    int action;
    bool timer;
    int backups;
  };
  for (const Case& c : {Case{0, true, 1}, Case{1, true, 0}, Case{2, false, 0}}) {
    FormFixture local;
    local.WriteIni("[OrdavaDB]\nDatabaseName=/db.fdb\n[Backups]\nBackupPath=" + local.BackupDir() +
                   "\n[Settings]\nLogToFile=A\nDays=\n");
    TFrmODBackupDB& form = local.Start();
    form.cbAction.UserPick(c.action);
    local.ScriptOutput(3);
    bool shownDuringBackup = false;
    local.fb.BeforeQuery = [&] { shownDuringBackup = form.Visible(); };
    form.BtnOK.Click();
    EXPECT_FALSE(form.Visible()) << c.action;
    EXPECT_EQ(form.TimerTS.Enabled(), c.timer) << c.action;
    EXPECT_EQ(local.fb.starts, c.backups) << c.action;
    EXPECT_EQ(shownDuringBackup, c.backups == 1) << "the window hides after the backup";
    EXPECT_NE(local.Ini().find("EventAction=" + ActionToName(c.action) + "\r\n"), std::string::npos);
  }
}

TEST_F(SettingsWindow, KonecAsksAndEndsOnlyOnAno) {
  const std::string question =
      "Uzavřením tohoto uživatelského rozhraní končí funkce Ordava backup,\r\n"
      "                 naplánované úlohy nebudou realizovány.\r\n"
      "               Přejete si skutečně toto rozhraní ukončit?";
  fx.app.BoxAnswers = {TBoxResult::No};
  f().SBExit.Click();
  ASSERT_EQ(fx.app.Boxes.size(), 1u);
  EXPECT_EQ(fx.app.Boxes[0].text, question);
  EXPECT_EQ(fx.app.Boxes[0].title, "Potvrzení");
  EXPECT_EQ(fx.app.Boxes[0].buttons, TBoxButtons::YesNo);
  EXPECT_FALSE(fx.app.Terminated());
  EXPECT_TRUE(f().Visible());
  fx.app.BoxAnswers = {TBoxResult::Yes};
  f().miEndClick();
  EXPECT_TRUE(fx.app.Terminated());
  fx.Destroy();
  EXPECT_FALSE(fx.app.TrayEntry.Present);
}

TEST_F(SettingsWindow, TrayMenuReachesTheWindow) {
  fx.app.TrayEntry.Modifies = 0;
  f().HandleMessage(WM_TRAYNOTIFY, 0, WM_LBUTTONDOWN_MSG);
  ASSERT_EQ(fx.app.Boxes.size(), 1u);
  EXPECT_EQ(fx.app.Boxes[0].text, "Tato ikona reaguje na PRAVÉ tlačítko myši!");
  fx.app.MenuAnswers = {TTrayCommand::CloseForm, TTrayCommand::OpenForm};
  f().HandleMessage(WM_TRAYNOTIFY, 0, WM_RBUTTONDOWN_MSG);
  EXPECT_FALSE(f().Visible());
  f().HandleMessage(WM_TRAYNOTIFY, 0, WM_RBUTTONDOWN_MSG);
  EXPECT_TRUE(f().Visible());
  // The icon chooser: picking set 2 switches the tray icons at once.
  fx.app.MenuAnswers = {TTrayCommand::AnimateIcons};
  fx.app.WhileChooserOpen = [](TFrmSelectIconSet& chooser) {
    EXPECT_EQ(chooser.ButtonDown(), 1);
    chooser.SBDruhyMouseMove();
    EXPECT_EQ(chooser.PreviewSet(), 2);
    chooser.SBDruhyClick();
  };
  f().HandleMessage(WM_TRAYNOTIFY, 0, WM_RBUTTONDOWN_MSG);
  EXPECT_EQ(f().IconSetIndex(), 2);
  EXPECT_EQ(fx.app.TrayEntry.IconSet, 2);
  EXPECT_EQ(fx.app.TrayEntry.Modifies, 1);
}

TEST(SettingsWindowStart, IconSetOtherThanOneOrTwoFallsBackToSetOne) {
  for (const auto& [value, set] : {std::pair{"2", 2}, std::pair{"7", 1}, std::pair{"x", 1}}) {
    FormFixture fx;
    fx.WriteIni(std::string("[UserInterface]\nIconSet=") + value + "\n");
    fx.Create();
    EXPECT_EQ(fx.app.TrayEntry.IconSet, set) << value;
  }
}

}  // namespace
}  // namespace odb
