#include "service/ClientText.h"

#include <windows.h>

#include "service/ServiceErrors.h"
#include "service/ServiceTexts.h"
#include "common/Format.h"
#include "common/Utf16_win.h"

namespace odb {

// A Windows program's narrow calls are read in the ANSI code page, so the
// library gets that, never UTF-8. A character the code page lacks would reach
// the server as "?" and name another file: refuse it instead.
std::string ToClientText(std::string_view utf8) {
  const std::wstring wide = Widen(utf8);
  if (wide.empty()) return {};
  const int length = static_cast<int>(wide.size());
  BOOL lossy = FALSE;
  const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr, 0,
                                    nullptr, &lossy);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, out.data(), n, nullptr,
                      &lossy);
  if (lossy || n == 0) throw EServiceClientError(FormatMsg(msg::ClientTextNotInCodePage, utf8));
  return out;
}

std::string FromClientText(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int length = static_cast<int>(bytes.size());
  const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, wide.data(), n);
  return Narrow(wide);
}

}  // namespace odb
