// The log view's costs in the Windows program, with the real settings window
// and its multi-line EDIT control (run under Wine by bench/run.sh):
// 1. one AddLogEntry while the window is visible (append, then the whole log
//    file read back into the memo) at log sizes of 100 KB, 1 MB and 10 MB,
//    alone and with the messages it leaves (caret scroll, painting) handled;
// 2. the memo's line appends while a verbose backup streams its output, at
//    10,000 and 100,000 lines: TMemo::AddLine with one message pump, and the whole
//    RunBackupVerbose loop, both into the visible window.
// Usage: bench_win_log_view WORKDIR [quick]   (runs per median: ODB_BENCH_PAIRS, default 5;
//   quick: 100 KB and 1,000 / 2,000 lines only, for trying a change)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/MessagePump.h"
#include "app/ODBackupDB.h"
#include "backup/ODBackupUtils.h"
#include "bench/LogFixtures.h"
#include "common/FileSystem.h"
#include "common/Utf16_win.h"
#include "frontends/headless/HeadlessApplication.h"
#include "frontends/win32/SettingsView.h"
#include "frontends/win32/Win32Application.h"
#include "schedule/DmODBackup.h"

namespace {

using namespace odb;
using Clock = std::chrono::steady_clock;

bool quick = false;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// No boxes wait for a user, the tray is a stand-in.
class TBenchApplication final : public TWin32Application {
 public:
  TBenchApplication() : TWin32Application(GetModuleHandleW(nullptr)) {}
  TBoxResult ShowMessageBox(const TMessageBox& box) override {
    std::fprintf(stderr, "box: %s\n", box.text.c_str());
    return box.buttons == TBoxButtons::Ok ? TBoxResult::Ok : TBoxResult::No;
  }
  ITrayEntry& Tray() override { return tray_; }
  TTrayCommand TrackTrayMenu(TForm&) override { return TTrayCommand::None; }

 private:
  THeadlessTray tray_;
};

// The settings window over a log file, shown, as the user has it open.
class TOpenWindow {
 public:
  TOpenWindow(const std::string& work, const std::string& log) : data_(app.Now(), client) {
    const std::string ini = work + "/win_log_view.ini";
    fs::WriteFile(ini, "[OrdavaDB]\r\nLocalHost=A\r\nDatabaseName=C:\\bench.fdb\r\nLogFileName=" + log +
                           "\r\n[Backups]\r\nBackupPath=" + work + "/\r\n[Settings]\r\nLogToFile=A\r\n"
                           "ClearLog=N\r\nEventAction=PauseBackup\r\n");
    form = std::make_unique<TFrmODBackupDB>(app, data_, work + "/odbackup.exe", ini);
    app.AttachMainForm(*form);
    form->Show();
    app.ProcessMessages();
  }
  ~TOpenWindow() {
    app.DetachMainForm();
    form->FormDestroy();
  }
  HWND Memo() const { return app.SettingsView()->WindowOf(form->MemoFiles); }

  // Pumps until the EDIT holds the memo's whole text: the view hands it the
  // lines at most every 100 ms, on a timer (at most 5 s, then Check tells).
  void WaitForTheLines() {
    const int wanted = static_cast<int>(Widen(form->MemoFiles.Text()).size());
    const auto start = Clock::now();
    for (;;) {
      app.ProcessMessages();
      if (GetWindowTextLengthW(Memo()) == wanted || MsSince(start) > 5000) return;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
  }

  // The EDIT control must show exactly the model's lines, the caret at the end.
  void Check() const {
    const std::wstring expected = Widen(form->MemoFiles.Text());
    const int length = GetWindowTextLengthW(Memo());
    std::wstring shown(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(Memo(), shown.data(), length + 1);
    shown.resize(static_cast<size_t>(length));
    DWORD start = 0, end = 0;
    SendMessageW(Memo(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (shown != expected) throw std::runtime_error("the EDIT control does not show the memo's text");
    if (start != end || end != static_cast<DWORD>(length)) throw std::runtime_error("caret not at the end");
  }

  TBenchApplication app;
  bench::TStreamingClient client;
  std::unique_ptr<TFrmODBackupDB> form;

 private:
  TDataODBackup data_;
};

void AddLogEntryBySize(const std::string& work, int repeats) {
  std::printf("AddLogEntry with the window visible (append + whole file into the EDIT), median of %d:\n",
              repeats);
  const std::string log = work + "/win_log_view.log";
  for (const size_t size : {size_t{100'000}, size_t{1'000'000}, size_t{10'000'000}}) {
    if (quick && size > 100'000) break;
    bench::FillLog(log, size);
    TOpenWindow window(work, log);
    std::vector<double> alone, pumped;
    for (int i = 0; i < repeats; ++i) {
      const auto start = Clock::now();
      window.form->AddLogEntry("Příští zálohování nastaveno: 02.01.2024 12:00:00");
      alone.push_back(MsSince(start));
      UpdateWindow(window.app.MainWindow());
      window.app.ProcessMessages();
      UpdateWindow(window.Memo());
      pumped.push_back(MsSince(start));
    }
    window.Check();
    std::printf("  %6.1f MB log, %7zu lines: AddLogEntry %8.2f ms, with its messages and painting %8.2f ms%s\n",
                size / 1e6, window.form->MemoFiles.Lines().size(), Median(alone), Median(pumped),
                size == 10'000'000 ? "   (goal <= 50 ms at 10 MB)" : "");
  }
}

double AddLinesNs(TOpenWindow& window, long lines) {
  TMemo& memo = window.form->MemoFiles;
  memo.Clear();
  const auto start = Clock::now();
  for (long i = 0; i < lines; ++i) memo.AddLine("gbak:    writing data for table T" + std::to_string(i % 400));
  window.WaitForTheLines();
  const double ns = MsSince(start) * 1e6 / lines;
  window.Check();
  return ns;
}

double BackupOutputNs(TOpenWindow& window, long lines) {
  window.client.lines = lines;
  TBackupService service(window.client);
  service.SetProtocol(TProtocol::Local);
  service.SetDatabaseName("bench.fdb");
  service.BackupFile() = {"bench.fbk"};
  service.SetVerbose(true);
  TMemo& memo = window.form->MemoFiles;
  const auto start = Clock::now();
  TAppMessagePump pump(window.app);
  (void)RunBackupVerbose(service, pump, memo);
  window.WaitForTheLines();
  const double ns = MsSince(start) * 1e6 / lines;
  if (memo.Lines().size() != static_cast<size_t>(lines) + 1) throw std::runtime_error("lines lost");
  window.Check();
  return ns;
}

void LineAppends(const std::string& work, int repeats) {
  std::printf("Backup output into the visible EDIT, ns per line, median of %d:\n", repeats);
  const std::string log = work + "/win_log_view.log";
  bench::FillLog(log, 1000);
  TOpenWindow window(work, log);
  for (const long lines : quick ? std::vector<long>{1'000, 2'000} : std::vector<long>{10'000, 100'000}) {
    // Slow appends would keep run.sh busy for hours: measure once and stop there.
    const long probe = std::min(lines, 300L);
    const double probeNs = AddLinesNs(window, probe);
    if (probeNs * lines * 2 * repeats > 120e9) {
      std::printf("  %7ld lines: skipped, the first %ld appends took %.0f ns/line\n", lines, probe, probeNs);
      continue;
    }
    std::vector<double> add, run;
    for (int i = 0; i < repeats; ++i) {
      add.push_back(AddLinesNs(window, lines));
      run.push_back(BackupOutputNs(window, lines));
    }
    std::printf("  %7ld lines: AddLine + one pump %8.0f ns/line   RunBackupVerbose loop %8.0f ns/line\n",
                lines, Median(add), Median(run));
    std::fflush(stdout);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s WORKDIR\n", argv[0]);
    return 2;
  }
  const char* pairs = std::getenv("ODB_BENCH_PAIRS");
  const int repeats = std::max(5, pairs && *pairs ? std::atoi(pairs) : 5);
  quick = argc > 2 && std::string(argv[2]) == "quick";
  try {
    AddLogEntryBySize(argv[1], repeats);
    std::fflush(stdout);
    LineAppends(argv[1], repeats);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "win_log_view: %s\n", error.what());
    return 1;
  }
  return 0;
}
