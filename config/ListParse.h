#pragma once
// Delimited lists of the configuration file ([Settings] Days); the times of
// day are in TimeOfDay.h.
#include <string>
#include <string_view>
#include <vector>

namespace odb {

// Empties list and fills it with the items of text; returns their number.
// Items before a delimiter are trimmed of codes 0..32, the last item is kept as
// it is, and a delimiter at the very end adds no empty item.
int SplitList(std::vector<std::string>& list, std::string_view text, char delimiter);
// Removes the first item, with its delimiter, from the front of rest.
std::string TakeToken(std::string& rest, char delimiter);

}  // namespace odb
