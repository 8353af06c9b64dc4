#include <windows.h>

#include "platform/Clock.h"

namespace odb {

TDateTime TSystemClock::Now() const {
  SYSTEMTIME st{};
  GetLocalTime(&st);
  return TDateTime::Encode(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond,
                           st.wMilliseconds);
}

}  // namespace odb
