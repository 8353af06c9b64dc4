#include "platform/OpenDialog.h"

#include "platform/Application.h"

namespace odb {

bool TOpenDialog::Execute(TApplication& app) {
  auto chosen = app.ExecuteOpenDialog(*this);
  if (!chosen) return false;
  FileName = std::move(*chosen);
  return true;
}

}  // namespace odb
