#pragma once
// The folder chooser as a browse button asks for it; each platform shows it in
// its own way.
#include <string>

namespace odb {

struct TFolderDialog {
  std::string Title;   // the caption of the chooser
  std::string Prompt;  // the line above the folder tree of the classic chooser
  std::string Folder;  // the folder it opens at: the edit's text as it stands
};

}  // namespace odb
