#pragma once
// The common file-open dialog as the program asks for it; each platform shows
// it in its own way.
#include <string>

namespace odb {

class TApplication;

// Remembers the file last chosen for the run.
class TOpenDialog {
 public:
  std::string Title;
  std::string Filter;
  std::string DefaultExt;
  std::string FileName;
  bool PathMustExist = false;
  bool Execute(TApplication& app);
};

}  // namespace odb
