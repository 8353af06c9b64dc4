#include "app/Form.h"

namespace odb {

void TForm::Show() {
  if (visible_) return;
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
