#pragma once
// The server's output lines read on a thread of their own, while the caller's
// thread hands them to the log view.
#include "backup/RunInterfaces.h"

namespace odb {

class TControlAndQueryService;

// Reads every output line of the started service into output, in order, until
// the output ends. The queries run on another thread, so the time the view
// takes to show the lines never keeps the server waiting; this thread takes
// what has come, letting messages be handled every ten lines and at least
// every kOutputWaitMs meanwhile. An error of the queries reaches the caller
// once the lines read before it are in output.
void ReadLinesOnAThread(TControlAndQueryService& service, IMessagePump& pump, IBackupOutput& output);

inline constexpr int kOutputWaitMs = 10;

}  // namespace odb
