#include "platform/Application.h"

#include <chrono>
#include <thread>

#include "common/Errors.h"
#include "platform/PlatformTexts.h"

namespace odb {

void TApplication::WaitForMessages(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void TApplication::ErrorBox(const std::string& text) {
  ShowMessageBox({text, std::string(msg::ErrorTitle), TBoxButtons::Ok, TBoxIcon::Error});
}

bool TApplication::Confirm(const std::string& text) {
  return ShowMessageBox({text, std::string(msg::ConfirmTitle), TBoxButtons::YesNo,
                         TBoxIcon::Question}) == TBoxResult::Yes;
}

void TApplication::Notice(const std::string& text) {
  ShowMessageBox({text, Title(), TBoxButtons::Ok, TBoxIcon::None});
}

void TApplication::ShowException(const std::exception& error) {
  ShowMessageBox({ErrorBoxText(error.what()), Title(), TBoxButtons::Ok, TBoxIcon::Error});
}

}  // namespace odb
