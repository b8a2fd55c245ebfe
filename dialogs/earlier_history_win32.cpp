#include "dialogs/earlier_history_win32.h"

#include <memory>
#include <mutex>
#include <utility>

#include "core/history_log_win32.h"

namespace vantoric {

namespace {

// What the log's two files were when they were read: an append or a
// rotation changes the size or the time of one of them.
struct CLogStamp {
  ULONGLONG arr[4] = {};
  bool operator==(const CLogStamp&) const = default;
};

CLogStamp StampLog() {
  CLogStamp stamp;
  size_t i = 0;
  for (const std::wstring& path : {GetHistoryLogPath(), GetOlderHistoryLogPath()}) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!path.empty() && ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
      stamp.arr[i] = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
      stamp.arr[i + 1] = (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                         data.ftLastWriteTime.dwLowDateTime;
    }
    i += 2;
  }
  return stamp;
}

// Shared with the worker, which may outlive every window (and the static
// that holds it, at exit).
struct CReadingState {
  std::mutex m_mutex;
  bool m_bReading = false;
  bool m_bRead = false;
  std::string m_strRun;
  CLogStamp m_stamp;
  CEarlierEntries m_entries;
  HWND m_hNotify = nullptr;
  UINT m_nMessage = 0;
};

std::shared_ptr<CReadingState> State() {
  static const std::shared_ptr<CReadingState> state = std::make_shared<CReadingState>();
  return state;
}

struct CReadingJob {
  std::shared_ptr<CReadingState> state;
  std::string run;
};

void Read(const std::shared_ptr<CReadingState>& state, std::string run) {
  // The stamp before the reading: a file that changes meanwhile is read
  // again at the next request.
  const CLogStamp stamp = StampLog();
  auto entries = std::make_shared<const std::vector<CHistoryEntry>>(ReadEarlierHistory(run));
  const std::lock_guard<std::mutex> lock(state->m_mutex);
  state->m_bReading = false;
  state->m_bRead = true;
  state->m_strRun = std::move(run);
  state->m_stamp = stamp;
  state->m_entries = std::move(entries);
  if (state->m_hNotify != nullptr) ::PostMessageW(state->m_hNotify, state->m_nMessage, 0, 0);
  state->m_hNotify = nullptr;
}

DWORD WINAPI ReadingThread(void* pJob) {
  const std::unique_ptr<CReadingJob> job(static_cast<CReadingJob*>(pJob));
  Read(job->state, std::move(job->run));
  return 0;
}

}  // namespace

CEarlierEntries TakeEarlierHistory(const std::string& run, HWND notify, UINT msg) {
  const CLogStamp stamp = StampLog();
  const std::shared_ptr<CReadingState> state = State();
  {
    const std::lock_guard<std::mutex> lock(state->m_mutex);
    if (state->m_bRead && state->m_strRun == run && state->m_stamp == stamp) return state->m_entries;
    state->m_hNotify = notify;
    state->m_nMessage = msg;
    if (state->m_bReading) return nullptr;
    state->m_bReading = true;
    auto job = std::make_unique<CReadingJob>(CReadingJob{state, run});
    if (const HANDLE thread = ::CreateThread(nullptr, 0, &ReadingThread, job.get(), 0, nullptr)) {
      static_cast<void>(job.release());  // the thread's now
      ::CloseHandle(thread);
      return nullptr;
    }
    state->m_hNotify = nullptr;
  }
  // Without a thread the window waits for the reading, this once.
  Read(state, run);
  const std::lock_guard<std::mutex> lock(state->m_mutex);
  return state->m_entries;
}

void ForgetEarlierHistoryWindow(HWND notify) {
  const std::shared_ptr<CReadingState> state = State();
  const std::lock_guard<std::mutex> lock(state->m_mutex);
  if (state->m_hNotify == notify) state->m_hNotify = nullptr;
}

}  // namespace vantoric
