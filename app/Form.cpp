#include "app/Form.h"

namespace odb {

void TForm::Show() {
  // A shown window is brought to the front.
  if (visible_) {
    App.FormVisibilityChanged(*this);
    return;
  }
  visible_ = true;
  App.FormVisibilityChanged(*this);
  FormShow();
}

void TForm::Hide() {
  if (!visible_) return;
  visible_ = false;
  App.FormVisibilityChanged(*this);
  FormHide();
}

}  // namespace odb
