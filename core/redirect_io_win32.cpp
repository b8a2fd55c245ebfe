#include "core/redirect_io_win32.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "framework/utf8.h"

namespace vantoric {

namespace {

constexpr DWORD MAX_READ_BYTES = 255;
constexpr DWORD READER_STOPPED = 1;
constexpr DWORD READER_CHILD_ENDED = 0;
constexpr DWORD READER_KILLED = 0xFFFFFFFE;

// A non-inheritable copy of `h` in this process, or nullptr.
HANDLE DuplicateForOwner(HANDLE h) {
  HANDLE copy = nullptr;
  if (!::DuplicateHandle(::GetCurrentProcess(), h, ::GetCurrentProcess(), &copy, 0, FALSE,
                         DUPLICATE_SAME_ACCESS)) {
    return nullptr;
  }
  return copy;
}

}  // namespace

CRedirectIO::~CRedirectIO() { Stop(); }

void CRedirectIO::OnOutputText(const char*) {}

void CRedirectIO::OnErrorText(const char*) {}

bool CRedirectIO::Start(std::string_view commandLine) {
  Stop();

  SECURITY_ATTRIBUTES sa{};
  sa.nLength = sizeof sa;
  sa.bInheritHandle = TRUE;

  // The child's ends are inheritable; the owner's ends are made into
  // non-inheritable copies so that the child does not hold them open.
  CHandle outRead, outWrite, errWrite, inRead, inWrite;
  CHandle ownerOutRead, ownerInWrite, process, stopEvent;
  const auto fail = [&] {
    const DWORD err = ::GetLastError();
    char text[64];
    std::snprintf(text, sizeof text, "Redirect console error: %lx\r\n", static_cast<unsigned long>(err));
    OnErrorText(text);
    // The temporaries close as they go out of scope; a child already
    // started sees its input end and exits.
    ::SetLastError(err);
    return false;
  };

  HANDLE h1 = nullptr, h2 = nullptr;
  if (!::CreatePipe(&h1, &h2, &sa, 0)) return fail();
  outRead.reset(h1);
  outWrite.reset(h2);
  HANDLE dup = nullptr;
  if (!::DuplicateHandle(::GetCurrentProcess(), outWrite.get(), ::GetCurrentProcess(), &dup, 0, TRUE,
                         DUPLICATE_SAME_ACCESS)) {
    return fail();
  }
  errWrite.reset(dup);
  if (!::CreatePipe(&h1, &h2, &sa, 0)) return fail();
  inRead.reset(h1);
  inWrite.reset(h2);

  ownerOutRead.reset(DuplicateForOwner(outRead.get()));
  if (!ownerOutRead) return fail();
  outRead.reset();
  ownerInWrite.reset(DuplicateForOwner(inWrite.get()));
  if (!ownerInWrite) return fail();
  inWrite.reset();

  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  si.wShowWindow = SW_HIDE;
  si.hStdInput = inRead.get();
  si.hStdOutput = outWrite.get();
  si.hStdError = errWrite.get();
  std::wstring cmd = Widen(commandLine);  // CreateProcessW may write into it
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE, CREATE_NEW_CONSOLE, nullptr, nullptr, &si,
                        &pi)) {
    return fail();
  }
  process.reset(pi.hProcess);
  ::CloseHandle(pi.hThread);
  // Only the child may hold these now, or its output would never end.
  inRead.reset();
  outWrite.reset();
  errWrite.reset();

  stopEvent.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!stopEvent) return fail();

  m_hInputWrite = std::move(ownerInWrite);
  m_hOutputRead = std::move(ownerOutRead);
  m_hChildProcess = std::move(process);
  m_hStopEvent = std::move(stopEvent);
  // Suspended until its handle and identifier are stored: a hook that calls
  // Stop must find them.
  m_hReaderThread.reset(
      ::CreateThread(nullptr, 0, &CRedirectIO::ReaderThreadProc, this, CREATE_SUSPENDED, &m_readerThreadId));
  if (!m_hReaderThread) {
    const DWORD err = ::GetLastError();
    ReleaseHandles();
    ::SetLastError(err);
    return fail();
  }
  ::ResumeThread(m_hReaderThread.get());
  return true;
}

void CRedirectIO::Stop() {
  if (m_hReaderThread) {
    if (::GetCurrentThreadId() == m_readerThreadId) {
      // Called from a hook: the thread cannot wait for itself. It ends at
      // its next poll; the owner's Stop releases the handles.
      ::SetEvent(m_hStopEvent.get());
      return;
    }
    ::SetEvent(m_hStopEvent.get());
    if (::WaitForSingleObject(m_hReaderThread.get(), m_stopTimeoutMs) != WAIT_OBJECT_0) {
      OnErrorText("The redir thread is dead.\r\n");
      ::TerminateThread(m_hReaderThread.get(), READER_KILLED);
      // Termination is asynchronous: the handles must outlive the thread.
      ::WaitForSingleObject(m_hReaderThread.get(), INFINITE);
    }
  }
  ReleaseHandles();
}

void CRedirectIO::ReleaseHandles() {
  m_hReaderThread.reset();
  m_hStopEvent.reset();
  m_hChildProcess.reset();
  m_hInputWrite.reset();
  m_hOutputRead.reset();
  m_readerThreadId = 0;
}

bool CRedirectIO::SendInput(const char* format, ...) {
  if (!m_hInputWrite) return false;
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int len = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text;
  if (len > 0) {
    text.resize(static_cast<size_t>(len) + 1);
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<size_t>(len));
  }
  va_end(args);
  if (len < 0) return false;
  DWORD written = 0;
  return ::WriteFile(m_hInputWrite.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

bool CRedirectIO::CloseInput() {
  if (!m_hInputWrite) return false;
  m_hInputWrite.reset();
  return true;
}

DWORD WINAPI CRedirectIO::ReaderThreadProc(void* param) { return static_cast<CRedirectIO*>(param)->RunReader(); }

DWORD CRedirectIO::RunReader() {
  int result = DrainOutput();
  if (result <= 0) return static_cast<DWORD>(result);
  // The child comes first: when it has ended and a stop is asked for too,
  // its last output is still handed over.
  const HANDLE waits[2] = {m_hChildProcess.get(), m_hStopEvent.get()};
  for (;;) {
    switch (::WaitForMultipleObjects(2, waits, FALSE, m_pollIntervalMs)) {
      case WAIT_OBJECT_0:
        result = DrainOutput();
        return static_cast<DWORD>(result > 0 ? static_cast<int>(READER_CHILD_ENDED) : result);
      case WAIT_OBJECT_0 + 1:
        return READER_STOPPED;
      default:
        result = DrainOutput();
        if (result <= 0) return static_cast<DWORD>(result);
    }
  }
}

int CRedirectIO::DrainOutput() {
  for (;;) {
    DWORD waiting = 0;
    if (!::PeekNamedPipe(m_hOutputRead.get(), nullptr, 0, nullptr, &waiting, nullptr)) break;
    if (waiting == 0) return 1;
    char buffer[MAX_READ_BYTES + 1];
    DWORD got = 0;
    if (!::ReadFile(m_hOutputRead.get(), buffer, waiting < MAX_READ_BYTES ? waiting : MAX_READ_BYTES, &got,
                    nullptr) ||
        got == 0) {
      break;
    }
    buffer[got] = '\0';
    OnOutputText(buffer);
  }
  const DWORD err = ::GetLastError();
  if (err == ERROR_BROKEN_PIPE || err == ERROR_NO_DATA) return 0;
  OnErrorText("Read Stdout pipe error\r\n");
  return -1;
}

}  // namespace vantoric
