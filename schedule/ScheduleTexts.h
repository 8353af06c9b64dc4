#pragma once
// Texts of the times table. Texts that hold a placeholder take
// exactly one argument (see FormatMsg) unless their comment says otherwise.
#include <string_view>

namespace odb::msg {

inline constexpr std::string_view InvalidTime = "'%s' is not a valid time";
// The times table's own errors; the range text takes its four values in order.
inline constexpr std::string_view FieldRange =
    "%g není platná hodnota pro pole '%s'. Povolený rozsah je %g až %g";
inline constexpr std::string_view FieldRequired = "Field '%s' must have a value";
inline constexpr std::string_view FieldReadOnly = "Field '%s' cannot be modified";
inline constexpr std::string_view DataSetClosed = "Cannot perform this operation on a closed dataset";
inline constexpr std::string_view DataSetEmpty = "Cannot perform this operation on an empty dataset";
inline constexpr std::string_view NotEditing = "Dataset not in edit or insert mode";
inline constexpr std::string_view IntOverflow = "Integer overflow";
// Why the backups are fresh, stale or none yet.
inline constexpr std::string_view StalePlannedMissed = "Plánovaná záloha %s neproběhla";
inline constexpr std::string_view FreshPlanKept = "Zálohy proběhly podle plánu";
inline constexpr std::string_view StaleTooOld = "Poslední záloha je starší než 7 dní";
inline constexpr std::string_view FreshRecent = "Poslední záloha je mladší než 7 dní";
inline constexpr std::string_view NoBackupYet = "Zatím žádná záloha";
inline constexpr std::string_view LastRunInFuture = "Čas poslední zálohy %s je v budoucnosti";
inline constexpr std::string_view NoBackupOverdue = "Zatím žádná záloha, plánovaná záloha %s neproběhla";

}  // namespace odb::msg
