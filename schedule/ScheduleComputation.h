#pragma once
// The instants of the weekly plan (ticked weekdays × times of day). One search
// serves every caller; the callers differ only in how far ahead they look.
#include <cstdint>

#include "common/DateTime.h"
#include "config/ProgramSettings.h"

namespace odb {

// The latest planned instant after lastRun and not after now, looking back
// over today and the six days before; now when there is none.
TDateTime LastMissedRun(const TBackupPlan& plan, TDateTime lastRun, TDateTime now);
// The earliest planned instant at or after now on today and the six days
// after, or BaseDateTime: the schedule computation as `odbackup --plan` shows
// it. A plan of one weekday finds nothing on that weekday after its last time.
TDateTime NextRun(const TBackupPlan& plan, TDateTime now);
// The earliest planned instant at or after from, a week on included, or
// BaseDateTime when the plan is empty: what the scheduler announces and what
// the status strip and `odbackup --status` show.
TDateTime NextPlannedInstant(const TBackupPlan& plan, TDateTime from);
// Changes whenever the weekdays or the times change.
uint64_t PlanVersion(const TBackupPlan& plan);

}  // namespace odb
