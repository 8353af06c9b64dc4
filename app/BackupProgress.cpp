#include "app/BackupProgress.h"

namespace odb {

std::string_view TableOfLine(std::string_view line) {
  // "gbak:    writing data for table T1 ", "gbak:    restoring data for table T1"
  constexpr std::string_view kMarker = "data for table ";
  const size_t at = line.find(kMarker);
  if (at == std::string_view::npos) return {};
  std::string_view table = line.substr(at + kMarker.size());
  while (!table.empty() && (table.back() == ' ' || table.back() == '\r')) table.remove_suffix(1);
  return table;
}

void TProgressOutput::Clear() {
  progress_.lines = 0;
  progress_.table.clear();
  view_.Clear();
}

void TProgressOutput::AddLine(std::string line) {
  ++progress_.lines;
  if (const std::string_view table = TableOfLine(line); !table.empty()) progress_.table = table;
  view_.AddLine(std::move(line));
}

void TProgressOutput::Repaint() {
  view_.Repaint();
  if (shown_) shown_();
}

}  // namespace odb
