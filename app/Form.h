#pragma once
// A top-level window of the model: visibility with its show and hide events.
#include <string>

#include "platform/Application.h"

namespace odb {

class TForm : public IMessageTarget {
 public:
  TForm(TApplication& app, std::string caption) : App(app), caption_(std::move(caption)) {}
  virtual ~TForm() = default;
  TForm(const TForm&) = delete;
  TForm& operator=(const TForm&) = delete;

  TApplication& App;
  const std::string& Caption() const { return caption_; }
  bool Visible() const { return visible_; }
  void Show();
  void Hide();
  // Closing the main window ends the program.
  void Close() { App.Terminate(); }
  void HandleMessage(unsigned, intptr_t, intptr_t) override {}

 protected:
  virtual void FormShow() {}
  virtual void FormHide() {}

 private:
  std::string caption_;
  bool visible_ = false;
};

}  // namespace odb
