#include "frontends/win32/MessageBoxes.h"

#include <iterator>

#include "frontends/win32/Win32Errors.h"

namespace odb::win {
namespace {

// The message text of a system message box has this control id.
constexpr int kBoxTextId = 0xFFFF;

struct TCaption {
  int id;
  const wchar_t* text;
};
constexpr TCaption kCaptions[] = {
    {IDOK, L"OK"}, {IDCANCEL, L"Storno"}, {IDYES, L"&Ano"}, {IDNO, L"&Ne"}};

bool IsMessageBox(HWND hwnd) {
  wchar_t cls[16] = L"";
  GetClassNameW(hwnd, cls, static_cast<int>(std::size(cls)));
  return std::wstring(cls) == L"#32770" && GetDlgItem(hwnd, kBoxTextId) != nullptr;
}

// The box's buttons exist when it is first activated, before it is drawn.
LRESULT CALLBACK RenameButtons(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND box = reinterpret_cast<HWND>(wParam);
    if (IsMessageBox(box)) {
      for (const TCaption& caption : kCaptions) {
        if (HWND button = GetDlgItem(box, caption.id)) SetWindowTextW(button, caption.text);
      }
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// For the life of one box; a box opened while another is open has its own.
class TCaptionHook {
 public:
  TCaptionHook() : hook_(SetWindowsHookExW(WH_CBT, RenameButtons, nullptr, GetCurrentThreadId())) {
    if (!hook_) ReportLastError("SetWindowsHookExW");
  }
  ~TCaptionHook() {
    if (hook_) UnhookWindowsHookEx(hook_);
  }
  TCaptionHook(const TCaptionHook&) = delete;
  TCaptionHook& operator=(const TCaptionHook&) = delete;

 private:
  HHOOK hook_;
};

}  // namespace

int CzechMessageBox(HWND owner, const std::wstring& text, const std::wstring& title, UINT type) {
  const TCaptionHook captions;
  const int answer = MessageBoxW(owner, text.c_str(), title.c_str(), type);
  if (answer == 0) ReportLastError("MessageBoxW");
  return answer;
}

}  // namespace odb::win
