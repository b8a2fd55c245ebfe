// The history's log, which outlives the run: one JSON object a line (UTF-8),
// appended as each command is recorded, rotated at HISTORY_LOG_MAX_BYTES
// with one older file kept. Portable; the file itself is handled in
// history_log_win32.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/command_history.h"

namespace vantoric {

// A log that would grow past this many bytes is moved aside first.
constexpr std::uint64_t HISTORY_LOG_MAX_BYTES = 1024 * 1024;

// The entry as one line of the log, ending in "\n". Text that is not valid
// UTF-8 (a refused name) is written with U+FFFD in its place.
std::string FormatHistoryLogLine(const CHistoryEntry& entry);

// The entries of a log's text, oldest first, leaving out those of the run
// `currentRun` (shown from memory). A line that is not a JSON object of the
// log's shape is skipped. Each entry comes back with m_bFromLog set and its
// position in the text, from 1, as a negative id (-1, -2, ...).
std::vector<CHistoryEntry> ParseHistoryLog(std::string_view text, std::string_view currentRun);

// Whether a log of `size` bytes must be moved aside before `adding` more.
bool IsHistoryLogFull(std::uint64_t size, std::size_t adding);

}  // namespace vantoric
