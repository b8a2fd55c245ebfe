// The earlier runs' entries of the history's log for the History window:
// read on a worker thread, so that no window waits for a long log, and kept
// for the run, so that the log is read again only when its files changed.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/command_history.h"

namespace vantoric {

using CEarlierEntries = std::shared_ptr<const std::vector<CHistoryEntry>>;

// The entries of runs other than `run` (ReadEarlierHistory) when they were
// read from the log's files as they are now. Otherwise nullptr, and a reading
// starts (or goes on): once it is done, `msg` is posted to `notify`, which
// then asks again.
CEarlierEntries TakeEarlierHistory(const std::string& run, HWND notify, UINT msg);

// `notify` is going: nothing is posted to it any more.
void ForgetEarlierHistoryWindow(HWND notify);

}  // namespace vantoric
