// The configuration file read into the window at start and written by OK.
#include <gtest/gtest.h>

#include "FormFixture.h"

namespace odb {
namespace {

using test::FormFixture;

std::vector<std::string> Times(TDataODBackup& data) {
  std::vector<std::string> times;
  TControlsDisabled quiet(data.MemTimes);
  for (data.MemTimes.First(); !data.MemTimes.Eof(); data.MemTimes.Next()) {
    times.push_back(FormatTime(*data.MemTimes.Time()));
  }
  return times;
}

// Everything the configuration puts into the window, as one text.
std::string WindowState(TFrmODBackupDB& f) {
  std::string s = std::string(f.RBLocal.Checked() ? "local" : "host") + "|" + f.EdtServer.Text() + "|" +
                  f.EdtPath.Text() + "|" + f.EdtLogFilePath.Text() + "|" + f.EdtBackupPath.Text() + "|" +
                  f.sedtBackupCount.Text() + "|" + FormatDateTime(f.Settings().Live.LastRun) + "|" +
                  (f.CBLogActivity.Checked() ? "log" : "-") + (f.CB_ClearLog.Checked() ? "clear" : "-") +
                  (f.CB_RunMinimalized.Checked() ? "min" : "-") + "|" + f.EventAction().Name() + "|" +
                  std::to_string(f.cbAction.ItemIndex()) + "|" + std::to_string(f.TickedDays()) + "|" +
                  std::to_string(f.IconSetIndex()) + "|";
  for (const std::string& t : Times(f.Data)) s += t + " ";
  return s;
}

TEST(SettingsFile, NoFileGivesTheDefaults) {
  FormFixture fx;
  TFrmODBackupDB& f = fx.Create();
  EXPECT_TRUE(f.RBLocal.Checked());
  EXPECT_FALSE(f.RBHost.Checked());
  EXPECT_EQ(f.EdtServer.Text(), "localhost");
  EXPECT_EQ(f.EdtPath.Text(), "Ordava.fdb");
  EXPECT_EQ(f.EdtLogFilePath.Text(), fx.LogPath());
  EXPECT_EQ(f.EdtBackupPath.Text(), fx.dir.Str() + fs::PathDelimiter());
  EXPECT_EQ(f.sedtBackupCount.Text(), "5");
  EXPECT_FALSE(f.CBLogActivity.Checked());
  EXPECT_TRUE(f.CB_ClearLog.Checked());
  EXPECT_FALSE(f.CB_RunMinimalized.Checked());
  EXPECT_EQ(f.EventAction().Name(), "OnceBackup");
  EXPECT_EQ(f.cbAction.ItemIndex(), 0);
  EXPECT_EQ(f.TickedDays(), 0xFE);
  EXPECT_TRUE(f.cbPracDny.Checked() && f.cbVikendy.Checked());
  EXPECT_TRUE(fx.data->MemTimes.Active());
  EXPECT_EQ(fx.data->MemTimes.RecordCount(), 0);
  EXPECT_EQ(fx.form->Settings().Live.LastRun, BaseDateTime);
  EXPECT_EQ(f.IconSetIndex(), 1);
  EXPECT_EQ(f.Settings().IniFileName(), fx.IniPath());
  EXPECT_FALSE(fs::FileExists(fx.IniPath())) << "reading creates no configuration file";
  EXPECT_TRUE(fs::FileExists(fx.LogPath())) << "the log file is prepared even with logging off";
  EXPECT_TRUE(fx.app.Boxes.empty());
}

TEST(SettingsFile, LocalHostByTheYesRule) {
  const std::pair<const char*, bool> cases[] = {{"y", true},  {"a", true},   {"Y", true},
                                                {"A", true},  {"N", false},  {"1", false},
                                                {"ano", false}, {"", false}, {"'A'", true}};
  for (const auto& [value, local] : cases) {
    FormFixture fx;
    fx.WriteIni(std::string("[OrdavaDB]\nLocalHost=") + value + "\nServerName=fbhost\n");
    TFrmODBackupDB& f = fx.Create();
    EXPECT_EQ(f.RBLocal.Checked(), local) << value;
    EXPECT_EQ(f.RBHost.Checked(), !local) << value;
    // The name from the file replaces whatever the radio coupling put there.
    EXPECT_EQ(f.EdtServer.Text(), "fbhost") << value;
    EXPECT_TRUE(f.EdtServer.Enabled()) << value;
  }
}

TEST(SettingsFile, DaysForms) {
  const std::pair<const char*, uint8_t> cases[] = {
      {"1,3,7", 0b10001010}, {"0,8,x", 0}, {"", 0}, {"1, 2, 3", 0b00000110},
      {"01", 0},            {"1,3", 0b00001010}, {"6,7", 0b11000000}, {"3,3,1,", 0b00001010}};
  for (const auto& [days, mask] : cases) {
    FormFixture fx;
    fx.WriteIni(std::string("[Settings]\nDays=") + days + "\n");
    TFrmODBackupDB& f = fx.Create();
    EXPECT_EQ(f.TickedDays(), mask) << days;
    EXPECT_EQ(f.cbPracDny.Checked(), (mask & 0b00111110) == 0b00111110) << days;
    EXPECT_EQ(f.cbVikendy.Checked(), (mask & 0b11000000) == 0b11000000) << days;
  }
}

TEST(SettingsFile, TimeEntries) {
  struct Case {
    const char* ini;
    std::vector<std::string> times;
  };
  const Case cases[] = {
      {"EventCountTimes=3\nTime_1=8:00\nTime_3=25:00\n", {"08:00:00"}},
      {"EventCountTimes=3\nTime_1= 18:00 \nTime_2=\nTime_3=7:5:3\n", {"07:05:03", "18:00:00"}},
      {"Time_1=9:00\nTime_2=10:00\n", {"09:00:00"}},
      {"EventCountTimes=0\nTime_1=9:00\n", {}},
      {"EventCountTimes=abc\nTime_1=9:00\n", {}},
      {"EventCountTimes=-2\nTime_1=9:00\n", {}},
      {"EventCountTimes=0x2\nTime_1=9:00\nTime_2=8:00\n", {"08:00:00", "09:00:00"}},
  };
  for (const Case& c : cases) {
    FormFixture fx;
    fx.WriteIni(std::string("[Settings]\n") + c.ini);
    fx.Create();
    EXPECT_TRUE(fx.data->MemTimes.Active()) << c.ini;
    EXPECT_EQ(Times(*fx.data), c.times) << c.ini;
  }
}

TEST(SettingsFile, MoreThanThirtyTimesLoadTheFirstThirty) {
  FormFixture fx;
  std::string ini = "[Settings]\nEventCountTimes=40\n";
  for (int i = 1; i <= 40; ++i) ini += "Time_" + std::to_string(i) + "=" + std::to_string(i % 24) + ":" + std::to_string(i) + "\n";
  fx.WriteIni(ini);
  fx.Create();
  EXPECT_EQ(fx.data->MemTimes.RecordCount(), 30);
  EXPECT_TRUE(fx.app.Boxes.empty());
}

TEST(SettingsFile, UnknownActionStaysUntilOk) {
  FormFixture fx;
  fx.WriteIni("[Settings]\nEventAction=Foo\nDays=\n");
  TFrmODBackupDB& f = fx.Start();
  EXPECT_EQ(f.EventAction().Name(), "Foo");
  EXPECT_EQ(f.cbAction.ItemIndex(), 1);
  EXPECT_EQ(fx.app.TrayEntry.IconIndex, 3);
  f.BtnOK.Click();
  EXPECT_EQ(f.EventAction().Name(), "BackupOnTimer");
  EXPECT_NE(fx.Ini().find("EventAction=BackupOnTimer\r\n"), std::string::npos);
}

TEST(SettingsFile, LastRunGarbageGivesBaseDateTime) {
  for (const char* text : {"garbage", "", "32.01.2026 10:00:00", "1.1.2026 10:00:00"}) {
    FormFixture fx;
    fx.WriteIni(std::string("[Backups]\nLastRun=") + text + "\n");
    fx.Create();
    EXPECT_EQ(fx.form->Settings().Live.LastRun, BaseDateTime) << text;
  }
  FormFixture fx;
  fx.WriteIni("[Backups]\nLastRun=07.12.2026 18:30:05\n");
  fx.Create();
  EXPECT_EQ(fx.form->Settings().Live.LastRun, TDateTime::Encode(2026, 12, 7, 18, 30, 5));
}

TEST(SettingsFile, SavingThreeRecordsLeavesAnOlderFourthEntry) {
  FormFixture fx;
  fx.WriteIni("[Settings]\nEventCountTimes=4\nTime_1=10:00\nTime_2=11:00\nTime_3=12:00\nTime_4=13:00\n");
  TFrmODBackupDB& f = fx.Start();
  TMemTimes& table = fx.data->MemTimes;
  table.First();
  for (int i = 0; i < 3; ++i) table.Next();
  table.Delete();
  f.BtnOK.Click();
  const std::string ini = fx.Ini();
  for (const char* line : {"Time_1=10:00:00\r\n", "Time_2=11:00:00\r\n", "Time_3=12:00:00\r\n",
                           "EventCountTimes=3\r\n", "Time_4=13:00\r\n"}) {
    EXPECT_NE(ini.find(line), std::string::npos) << line << " in\n" << ini;
  }
}

TEST(SettingsFile, NoDayTickedWritesAnEmptyDaysValueAndGoesOn) {
  FormFixture fx;
  fx.WriteIni("[Settings]\nDays=1\nTime_1=6:00\n[UserInterface]\nIconSet=2\n");
  TFrmODBackupDB& f = fx.Start();
  f.cbPo.Click();
  f.BtnOK.Click();
  const std::string ini = fx.Ini();
  for (const char* line : {"Days=\r\n", "Time_1=06:00:00\r\n", "EventCountTimes=1\r\n", "IconSet=2\r\n"}) {
    EXPECT_NE(ini.find(line), std::string::npos) << line << " in\n" << ini;
  }
}

TEST(SettingsFile, OkWritesWhatLoadsBackToTheSameWindow) {
  FormFixture fx;
  TFrmODBackupDB& f = fx.Start();
  f.RBHost.Click();
  f.EdtServer.SetText("fbserver");
  f.EdtPath.SetText("D:\\Data\\Ordava.FDB");
  f.EdtBackupPath.SetText(fx.BackupDir());
  f.sedtBackupCount.SetText("-3");
  f.CBLogActivity.SetChecked(true);
  f.CB_ClearLog.SetChecked(false);
  f.CB_RunMinimalized.SetChecked(true);
  f.cbAction.UserPick(2);
  f.cbVikendy.Click();
  f.cbSt.Click();
  fx.data->MemTimes.Append();
  fx.data->MemTimes.SetTimeText("21:15");
  fx.data->MemTimes.Post();
  fx.data->MemTimes.Append();
  fx.data->MemTimes.SetTimeText("6:00");
  fx.data->MemTimes.Post();
  f.Settings().SetIconSetIndex(2);
  fx.form->Settings().Live.LastRun = TDateTime::Encode(2026, 12, 1, 23, 59, 59);
  f.BtnOK.Click();
  const std::string saved = WindowState(f);
  EXPECT_EQ(saved, "host|fbserver|D:\\Data\\Ordava.FDB|" + fx.LogPath() + "|" + fx.BackupDir() +
                       "|-3|01.12.2026 23:59:59|log-min|PauseBackup|2|54|2|06:00:00 21:15:00 ");
  fx.Destroy();
  FormFixture again;
  fs::WriteFile(again.IniPath(), fs::ReadFile(fx.IniPath()).value());
  EXPECT_EQ(WindowState(again.Create()), saved);
}

TEST(SettingsFile, HandEditedFileKeepsItsOtherLines) {
  FormFixture fx;
  fx.WriteIni("; nastavení zálohy\n[OrdavaDB]\nPoznámka=ručně\nServerName = fbhost ; stary\n"
              "[Vlastní]\nKlíč=hodnota\n\n[Settings]\nDays=2\n");
  TFrmODBackupDB& f = fx.Start();
  f.BtnOK.Click();
  const std::string ini = fx.Ini();
  for (const char* line : {"; nastavení zálohy\r\n[OrdavaDB]\r\n", "Poznámka=ručně\r\n",
                           "[Vlastní]\r\nKlíč=hodnota\r\n", "Days=2\r\n"}) {
    EXPECT_NE(ini.find(line), std::string::npos) << line << " in\n" << ini;
  }
  EXPECT_EQ(f.EdtServer.Text(), "fbhost ; stary");
}

TEST(SettingsFile, SettingsTextIsWhatOkWritesAndWritesNothing) {
  FormFixture fx;
  fx.WriteIni("[Settings]\nDays=1,5\nEventCountTimes=2\nTime_1=18:00\nTime_2=7:30\nEventAction=PauseBackup\n");
  TFrmODBackupDB& f = fx.Start();
  const std::string before = fx.Ini();
  const std::string bytes = f.Settings().SettingsText();
  EXPECT_EQ(fx.Ini(), before);
  EXPECT_EQ(f.Settings().IniFileName(), fx.IniPath());
  fs::RemoveFile(fx.IniPath());
  (void)f.Settings().SaveSettings(fx.ExePath());
  EXPECT_EQ(fs::ReadFile(fx.IniPath()), bytes);
  const std::string text = Cp1250ToUtf8(bytes);
  EXPECT_EQ(text.rfind("[OrdavaDB]\r\nLocalHost=A\r\n", 0), 0u) << text;
  EXPECT_NE(text.find("Days=1,5\r\nTime_1=07:30:00\r\nTime_2=18:00:00\r\nEventCountTimes=2\r\n"
                      "[UserInterface]\r\nIconSet=1\r\n"),
            std::string::npos)
      << text;
}

#ifndef _WIN32
TEST(SettingsFile, AUtf8FileIsShownAndSavedInUtf8OnLinux) {
  FormFixture fx;
  ASSERT_TRUE(fs::WriteFile(fx.IniPath(), "[Backups]\nBackupPath=/srv/zálohy/\n"));
  TFrmODBackupDB& f = fx.Start();
  EXPECT_EQ(f.EdtBackupPath.Text(), "/srv/zálohy/");
  EXPECT_NE(f.Settings().SettingsText().find("BackupPath=/srv/zálohy/\r\n"), std::string::npos);
  (void)f.Settings().SaveSettings(fx.ExePath());
  const std::string bytes = fs::ReadFile(fx.IniPath()).value_or("");
  EXPECT_EQ(bytes.rfind("[Backups]\nBackupPath=/srv/zálohy/\n", 0), 0u) << bytes;
}
#endif

TEST(SettingsFile, ControlsWithoutAWindowLoadAndSaveAsTheWindowDoes) {
  const char* const files[] = {
      "[OrdavaDB]\nLocalHost=N\nServerName=fbhost\nDatabaseName=/d/o.fdb\n[Backups]\nBackupCount=3\n"
      "LastRun=07.12.2026 18:30:05\n[Settings]\nLogToFile=A\nClearLog=N\nRunMinimalized=A\n"
      "EventAction=PauseBackup\nDays=1,3,6,7\nEventCountTimes=2\nTime_1=18:00\nTime_2=7:30\n"
      "[UserInterface]\nIconSet=2\n",
      "[Settings]\nEventAction=Foo\nDays=\n",
      "",
  };
  for (const char* file : files) {
    FormFixture fx;
    fx.WriteIni(file);
    TFrmODBackupDB& window = fx.Create();
    TSettingsBinding binding(fx.app, TProgramOptions{fx.ExePath(), {}});
    ASSERT_TRUE(binding.LoadSettings(fx.ExePath())) << file;
    EXPECT_EQ(binding.EventAction().Name(), window.EventAction().Name()) << file;
    EXPECT_EQ(binding.IconSetIndex(), window.IconSetIndex()) << file;
    EXPECT_EQ(binding.Live.ServerName, window.EdtServer.Text()) << file;
    EXPECT_EQ(binding.Live.LogToFile, window.CBLogActivity.Checked()) << file;
    EXPECT_EQ(binding.Live.Plan, window.Live().Plan) << file;
    EXPECT_EQ(binding.Live.Plan.daysMask, window.TickedDays()) << file;
    EXPECT_EQ(binding.Live.LastRun, window.Live().LastRun) << file;
    EXPECT_EQ(binding.SettingsText(), window.Settings().SettingsText()) << file;
  }
}

TEST(SettingsFile, OkWithACountNoBackupTakesWritesNothing) {
  for (const char* count : {"", " ", "pět", "99999999999"}) {
    FormFixture fx;
    fx.WriteIni("[Backups]\nBackupCount=3\n");
    const std::string before = fx.Ini();
    TFrmODBackupDB& f = fx.Start();
    f.cbAction.SetItemIndex(2);
    f.sedtBackupCount.SetText(count);
    fx.app.Dispatch([&] { f.BtnOKClick(); });
    EXPECT_EQ(fx.Ini(), before) << count;
    EXPECT_TRUE(f.Visible()) << count;
    ASSERT_EQ(fx.app.Boxes.size(), 1u) << count;
    EXPECT_NE(fx.app.Boxes[0].text.find("Počet uchovávaných záloh"), std::string::npos) << fx.app.Boxes[0].text;
  }
}

TEST(SettingsFile, SaveLastRunWritesOnlyThatKey) {
  FormFixture fx;
  fx.WriteIni("[Settings]\nDays=3\n");
  TFrmODBackupDB& f = fx.Start();
  f.cbPo.Click();
  fx.form->Settings().Live.LastRun = TDateTime::Encode(2026, 12, 8, 7, 5, 9);
  f.Settings().SaveLastRun();
  EXPECT_EQ(fx.Ini(), "[Settings]\r\nDays=3\r\n[Backups]\r\nLastRun=08.12.2026 07:05:09\r\n");
  EXPECT_FALSE(f.Settings().SettingsFileBusy());
}

TEST(SettingsFile, UnwritableFileRaisesAndLowersTheFlag) {
  FormFixture fx;
  TFrmODBackupDB& f = fx.Start();
  fs::CreateDirectories(fx.IniPath());  // a folder cannot be written as a file
  EXPECT_THROW(f.Settings().SaveLastRun(), std::exception);
  EXPECT_FALSE(f.Settings().SettingsFileBusy());
  EXPECT_THROW((void)f.Settings().SaveSettings(fx.ExePath()), std::exception);
  EXPECT_FALSE(f.Settings().SettingsFileBusy());
}

}  // namespace
}  // namespace odb
