#include "platform/SelectIconSet.h"

namespace odb {

void TFrmSelectIconSet::ShowIconSet(int set) {
  previewSet_ = set;
  ++previewRedraws_;
  if (OnPreviewChanged) OnPreviewChanged();
}

void TFrmSelectIconSet::FormActivate() {
  if (SelectedSet == 1) {
    buttonDown_ = 1;
    ShowIconSet(1);
    previewButton_ = 1;
  } else if (SelectedSet == 2) {
    // The preview button stays unset here, so the first move over SBDruhy
    // redraws the same set once more.
    buttonDown_ = 2;
    ShowIconSet(2);
  }
}

void TFrmSelectIconSet::PreviewOver(int set) {
  if (previewButton_ != set) ShowIconSet(set);
  previewButton_ = set;
}

void TFrmSelectIconSet::Choose(int set) {
  SelectedSet = set;
  buttonDown_ = set;
  closed_ = true;
}

}  // namespace odb
