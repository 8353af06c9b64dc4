#pragma once
// The icon set chooser: two toggle buttons, four previews of the set the mouse
// last touched, and the chosen set for the caller to read. A plain model each
// platform shows in its own way.
#include <cstdint>
#include <functional>

namespace odb {

class TFrmSelectIconSet {
 public:
  static constexpr const char* Caption = "Výběr sady ikon";

  int32_t SelectedSet = 0;
  // The set the previews show (1 or 2), 0 for none; PreviewRedraws counts redraws.
  int PreviewSet() const { return previewSet_; }
  int PreviewRedraws() const { return previewRedraws_; }
  // Which toggle button is down: 0 none, 1 SBPrvni, 2 SBDruhy.
  int ButtonDown() const { return buttonDown_; }
  bool Closed() const { return closed_; }
  // Set by a platform view to repaint the previews when they change.
  std::function<void()> OnPreviewChanged;

  void FormActivate();
  void SBPrvniClick() { Choose(1); }
  void SBDruhyClick() { Choose(2); }
  void SBPrvniMouseMove() { PreviewOver(1); }
  void SBDruhyMouseMove() { PreviewOver(2); }
  // The title-bar close: nothing chosen.
  void Close() { closed_ = true; }

 private:
  void ShowIconSet(int set);
  void PreviewOver(int set);
  void Choose(int set);
  int previewButton_ = 0;
  int previewSet_ = 0;
  int previewRedraws_ = 0;
  int buttonDown_ = 0;
  bool closed_ = false;
};

}  // namespace odb
