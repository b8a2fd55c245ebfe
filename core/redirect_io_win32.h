// CRedirectIO runs a console program hidden, with its standard input, output
// and error redirected through anonymous pipes. The owner types lines into
// its input; a reader thread polls its output and hands it to the hooks.
//
// One run: Start, one or more SendInput, then Stop (or CloseInput and wait
// for the child to end, then Stop). Start on an open run stops it first.
//
// The run's handles are released by the owner only: in Stop (also called by
// Start and the destructor), after the reader thread has ended. A reader
// thread that ends by itself (child exited, read error) leaves them for the
// owner, so that they are never closed twice nor closed under a waiting owner.
#pragma once

#include <windows.h>

#include <string_view>

#include "framework/handles.h"

namespace vantoric {

class CRedirectIO {
 public:
  CRedirectIO() = default;
  CRedirectIO(const CRedirectIO&) = delete;
  CRedirectIO& operator=(const CRedirectIO&) = delete;
  // Stops the run. A derived class whose hooks use its own members must call
  // Stop in its own destructor: the reader thread may still be calling them.
  virtual ~CRedirectIO();

  // Starts `commandLine` (UTF-8, passed unchanged as the command line: give
  // the program by its full path) and the reader thread. On failure the
  // hooks get "Redirect console error: <code in hex>\r\n", no handle stays
  // open, the thread's last error holds the code, and the result is false.
  bool Start(std::string_view commandLine);
  // Ends the run: asks the reader thread to end, waits for it (at most
  // m_stopTimeoutMs, then terminates it), and closes every handle of the
  // run. The child itself is not terminated: with its input closed, a
  // console program finishes what it has read and exits.
  virtual void Stop();

  // Formats printf-style and writes the text (no terminating zero) to the
  // child's input in one write. The bytes go as they are: the child reads
  // them in its console's input code page. False when no run is open or
  // the write fails.
#if defined(__GNUC__)
  __attribute__((format(printf, 2, 3)))
#endif
  bool SendInput(const char* format, ...);

  // Closes the child's input, so that it sees the end of its input while
  // its output is still read. False when there was no input to close.
  bool CloseInput();

  // The child process and the reader thread of the open run (nullptr when
  // none); valid until the next Stop. The reader thread's exit code is 1
  // when stopped, 0 when the child ended, -1 on a read error.
  HANDLE GetChildProcess() const { return m_hChildProcess.get(); }
  HANDLE GetReaderThread() const { return m_hReaderThread.get(); }

 protected:
  // Called on the reader thread with at most 255 bytes of the child's
  // output (standard output and error share one pipe), zero-terminated.
  virtual void OnOutputText(const char* text);
  // Called with the runner's own error messages, on the reader thread or on
  // the thread calling Start or Stop.
  virtual void OnErrorText(const char* text);

  DWORD m_pollIntervalMs = 100;    // the reader's wait between polls
  DWORD m_stopTimeoutMs = 5000;    // how long Stop waits for the reader

 private:
  static DWORD WINAPI ReaderThreadProc(void* param);
  DWORD RunReader();
  // Hands every waiting byte to OnOutputText: 1 when the pipe is empty, 0
  // when the child closed it, -1 on a read error.
  int DrainOutput();
  void ReleaseHandles();

  CHandle m_hInputWrite;     // owner's end of the child's input (not inheritable)
  CHandle m_hOutputRead;     // owner's end of the child's output and error
  CHandle m_hChildProcess;
  CHandle m_hReaderThread;
  CHandle m_hStopEvent;      // manual reset: asks the reader thread to end
  DWORD m_readerThreadId = 0;
};

}  // namespace vantoric
