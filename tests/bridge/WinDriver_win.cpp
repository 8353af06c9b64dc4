// odbdrive.exe: drives a running odbackup.exe from outside, as a user would,
// by messages sent to its real windows (the tests' stand-in for a mouse).
// One command per run, so a shell test can check files between the steps
// (ODB_APP_EXE, the program's Windows path, picks its windows):
//   odbdrive wait-main S     the settings window exists within S seconds
//   odbdrive visible         exit 0 when the settings window is shown
//   odbdrive once            pick "Jednorázová záloha" and press OK
//   odbdrive once-timed LOG  as once, then print the milliseconds until LOG grows
//                            (the backup's log entry: the whole backup, window shown)
//   odbdrive once-pinged LOG as once-timed, asking the window for an answer (WM_NULL)
//                            every 20 ms meanwhile; prints the ms, the number of
//                            questions and the slowest and median answer in ms
//   odbdrive box S           wait S seconds for a message box; print its title
//                            and text (UTF-8), press its first button
//   odbdrive close           close the settings window by its title bar
//   odbdrive set-text OLD NEW  type NEW into the edit showing OLD
//   odbdrive memo            print the log view's text (UTF-8)
//   odbdrive acp             print the ANSI code page Wine runs in
//   odbdrive protect P       print P sealed as PasswordProtected= holds it
//   odbdrive tray K          open the tray menu and pick its K-th item (from 1)
//   odbdrive restore K PATH S  in the restore dialog pick backup K (from 0), type
//                            PATH, press "Obnovit"; print the closing text once it
//                            shows (within S seconds) and close the dialog
// Exit status 0 on success, 1 when what was waited for did not come.
#include <windows.h>
#include <dpapi.h>
#include <wincrypt.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const wchar_t kMainCaption[] = L"Ordava - parametry zálohování";

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring Text(HWND hwnd) {
  // WM_GETTEXT crosses the process boundary; GetWindowText would not for controls.
  const auto n = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  SendMessageW(hwnd, WM_GETTEXT, static_cast<WPARAM>(n + 1), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(n));
  return text;
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = L"";
  GetClassNameW(hwnd, name, 64);
  return name;
}

// Enumeration callbacks are named CALLBACK functions: a lambda would have the
// wrong calling convention on 32-bit.
BOOL CALLBACK AddChild(HWND child, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> all;
  EnumChildWindows(parent, AddChild, reinterpret_cast<LPARAM>(&all));
  return all;
}

// Only windows of the program named by ODB_APP_EXE count, so a program left
// running by another test cannot answer for this one.
bool OfTheProgram(HWND hwnd) {
  wchar_t wanted[MAX_PATH] = L"";
  if (!GetEnvironmentVariableW(L"ODB_APP_EXE", wanted, MAX_PATH)) return true;
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return false;
  wchar_t image[MAX_PATH] = L"";
  DWORD size = MAX_PATH;
  const BOOL ok = QueryFullProcessImageNameW(process, 0, image, &size);
  CloseHandle(process);
  return ok && lstrcmpiW(image, wanted) == 0;
}

HWND MainWindow() {
  for (HWND hwnd = FindWindowW(nullptr, kMainCaption); hwnd;
       hwnd = FindWindowExW(nullptr, hwnd, nullptr, kMainCaption)) {
    if (OfTheProgram(hwnd)) return hwnd;
  }
  return nullptr;
}

HWND ChildOf(HWND parent, const wchar_t* cls, const wchar_t* text);

// The window counts once its controls are there, OK last among them.
HWND ReadyMainWindow() {
  HWND main = MainWindow();
  return main && ChildOf(main, L"Button", L"OK") ? main : nullptr;
}

// A visible dialog-class window (a message box) of the program.
BOOL CALLBACK FindBox(HWND hwnd, LPARAM out) {
  if (ClassOf(hwnd) == L"#32770" && IsWindowVisible(hwnd) && OfTheProgram(hwnd)) {
    *reinterpret_cast<HWND*>(out) = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND MessageBoxWindow() {
  HWND found = nullptr;
  EnumWindows(FindBox, reinterpret_cast<LPARAM>(&found));
  return found;
}

template <typename Probe>
HWND WaitFor(Probe probe, double seconds) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < seconds * 1000; Sleep(100)) {
    if (HWND hwnd = probe()) return hwnd;
  }
  return nullptr;
}

HWND ChildOf(HWND parent, const wchar_t* cls, const wchar_t* text) {
  for (HWND child : Children(parent)) {
    if (ClassOf(child) == cls && (!text || Text(child) == text)) return child;
  }
  return nullptr;
}

// Posted, not sent: OK makes the backup inside its click, and its error box
// must be left for the next command to read.
void PostClick(HWND button) {
  PostMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

int Once() {
  HWND main = MainWindow();
  HWND combo = main ? ChildOf(main, L"ComboBox", nullptr) : nullptr;
  HWND ok = main ? ChildOf(main, L"Button", L"OK") : nullptr;
  if (!combo || !ok) {
    std::fprintf(stderr, "odbdrive: no settings window with an action list and OK\n");
    return 1;
  }
  SendMessageW(combo, CB_SETCURSEL, 0, 0);
  SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
  if (Text(combo) != L"Jednorázová záloha") {
    std::fprintf(stderr, "odbdrive: the first action is \"%s\"\n", Utf8(Text(combo)).c_str());
    return 1;
  }
  PostClick(ok);
  return 0;
}

long long FileSize(const wchar_t* path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

double MsSince(const LARGE_INTEGER& start) {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int OnceTimed(const wchar_t* log) {
  const long long before = FileSize(log);
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  if (Once()) return 1;
  // The file every 5 ms, the box only every 200 ms: looking for it walks all
  // windows through the Wine server, which would take CPU from the backup.
  for (int polls = 1;; ++polls) {
    Sleep(5);
    const double ms = MsSince(start);
    if (FileSize(log) != before) {
      std::printf("%.0f\n", ms);
      return 0;
    }
    if (ms > 600'000 || (polls % 40 == 0 && MessageBoxWindow())) return 1;
  }
}

// How long the window takes to answer while the backup runs: its thread
// answers a sent message only when it looks at its queue.
int OncePinged(const wchar_t* log) {
  const long long before = FileSize(log);
  HWND main = MainWindow();
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  if (!main || Once()) return 1;
  std::vector<double> answers;
  while (FileSize(log) == before) {
    Sleep(20);
    LARGE_INTEGER asked;
    QueryPerformanceCounter(&asked);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 10'000, &result)) return 1;
    answers.push_back(MsSince(asked));
    if (MsSince(start) > 600'000) return 1;
  }
  const double ms = MsSince(start);
  std::sort(answers.begin(), answers.end());
  const double slowest = answers.empty() ? 0 : answers.back();
  const double median = answers.empty() ? 0 : answers[answers.size() / 2];
  std::printf("%.0f %zu %.1f %.1f\n", ms, answers.size(), slowest, median);
  return 0;
}

int Box(double seconds) {
  HWND box = WaitFor(MessageBoxWindow, seconds);
  if (!box) return 1;
  std::wstring text;
  for (HWND child : Children(box)) {
    if (ClassOf(child) == L"Static" && !Text(child).empty()) text += Text(child);
  }
  std::printf("%s|%s\n", Utf8(Text(box)).c_str(), Utf8(text).c_str());
  std::fflush(stdout);
  if (HWND button = ChildOf(box, L"Button", nullptr)) PostClick(button);
  return 0;
}

// The password sealed as the program seals it (DPAPI for this Wine user,
// its description, no entropy), in base64 for PasswordProtected=.
int Protect(const std::wstring& password) {
  const std::string bytes = Utf8(password);
  DATA_BLOB in{static_cast<DWORD>(bytes.size()), reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data()))};
  DATA_BLOB out{};
  if (!CryptProtectData(&in, L"ODBackup", nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out)) return 1;
  DWORD length = 0;
  const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
  CryptBinaryToStringA(out.pbData, out.cbData, flags, nullptr, &length);
  std::string text(length, '\0');
  const bool ok = CryptBinaryToStringA(out.pbData, out.cbData, flags, text.data(), &length);
  LocalFree(out.pbData);
  if (!ok) return 1;
  text.resize(length);
  std::printf("%s\n", text.c_str());
  return 0;
}

// Keys reach the menu through the owner's queue, which its loop reads.
void PostKey(HWND hwnd, UINT key) {
  PostMessageW(hwnd, WM_KEYDOWN, key, 1);
  PostMessageW(hwnd, WM_KEYUP, key, 0xC0000001);
}

int Tray(int item) {
  HWND main = MainWindow();
  if (!main) return 1;
  PostMessageW(main, WM_USER + 1, 0, WM_RBUTTONDOWN);  // the tray entry's callback
  if (!WaitFor([] { return FindWindowW(L"#32768", nullptr); }, 10)) return 1;
  Sleep(200);
  for (int i = 0; i < item; ++i) PostKey(main, VK_DOWN);
  PostKey(main, VK_RETURN);
  return 0;
}

HWND RestoreDialog() {
  for (HWND hwnd = FindWindowW(L"#32770", L"Obnova ze zálohy"); hwnd;
       hwnd = FindWindowExW(nullptr, hwnd, L"#32770", L"Obnova ze zálohy")) {
    if (OfTheProgram(hwnd)) return hwnd;
  }
  return nullptr;
}

int Restore(int item, const wchar_t* path, double seconds) {
  HWND dialog = WaitFor(RestoreDialog, 20);
  if (!dialog) return 1;
  SendDlgItemMessageW(dialog, 201, LB_SETCURSEL, static_cast<WPARAM>(item), 0);
  SendDlgItemMessageW(dialog, 202, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path));
  PostClick(GetDlgItem(dialog, IDOK));
  const std::wstring waiting = Text(GetDlgItem(dialog, 204));
  // The end: the buttons come back and the closing text replaces the notice.
  HWND done = WaitFor([&]() -> HWND {
    HWND ok = GetDlgItem(dialog, IDOK);
    const std::wstring text = Text(GetDlgItem(dialog, 204));
    return IsWindowEnabled(ok) && text != waiting && text.find(L"Probíhá") == std::wstring::npos ? ok : nullptr;
  }, seconds);
  std::printf("%s\n", Utf8(Text(GetDlgItem(dialog, 204))).c_str());
  std::printf("%s\n", Utf8(Text(GetDlgItem(dialog, 203))).c_str());
  PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  return done ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  const double seconds = argc > 2 ? _wtof(argv[2]) : 0;
  if (command == L"wait-main") return WaitFor(ReadyMainWindow, seconds) ? 0 : 1;
  if (command == L"visible") return MainWindow() && IsWindowVisible(MainWindow()) ? 0 : 1;
  if (command == L"once") return Once();
  if (command == L"box") return Box(seconds);
  if (command == L"once-timed" && argc > 2) return OnceTimed(argv[2]);
  if (command == L"once-pinged" && argc > 2) return OncePinged(argv[2]);
  if (command == L"set-text" && argc > 3) {
    HWND main = MainWindow();
    HWND edit = main ? ChildOf(main, L"Edit", argv[2]) : nullptr;
    if (!edit) return 1;
    // The edit tells its parent (EN_CHANGE), as it does for typing.
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]));
    return Text(edit) == argv[3] ? 0 : 1;
  }
  if (command == L"acp") return std::printf("%u\n", GetACP()) < 0;
  if (command == L"protect" && argc > 2) return Protect(argv[2]);
  if (command == L"tray") return Tray(static_cast<int>(seconds));
  if (command == L"restore" && argc > 4) return Restore(_wtoi(argv[2]), argv[3], _wtof(argv[4]));
  if (command == L"memo") {
    HWND main = MainWindow();
    for (HWND child : main ? Children(main) : std::vector<HWND>{}) {
      if (ClassOf(child) == L"Edit" && (GetWindowLongW(child, GWL_STYLE) & ES_MULTILINE)) {
        std::printf("%s\n", Utf8(Text(child)).c_str());
        return 0;
      }
    }
    return 1;
  }
  if (command == L"close") {
    if (!MainWindow()) return 1;
    PostMessageW(MainWindow(), WM_CLOSE, 0, 0);
    return 0;
  }
  std::fprintf(stderr, "usage: odbdrive wait-main S | visible | once | once-timed LOG | once-pinged LOG | box S | close | set-text OLD NEW | memo | acp | protect PASSWORD\n");
  return 2;
}
