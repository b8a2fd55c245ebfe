// The toolchain's threads library (winpthreads, behind std::mutex and the
// guards of function-local statics) times its waits with GetTickCount64,
// which Windows 5.2 does not have: importing it would keep the program from
// loading there. Its import slot is filled here instead, with the system's
// function where there is one and else a 64-bit count built on GetTickCount.
// Linked into the program itself (mingw-w64 only), ahead of kernel32.
#include <windows.h>

#include <atomic>

namespace {

using TickCount64Fn = ULONGLONG(WINAPI*)();

// The last count handed out. A wrap of the 32-bit count is seen as long as
// the count is read at least once in 49 days; the threads library measures
// waits of seconds.
std::atomic<ULONGLONG> g_lastTick{0};

ULONGLONG CountFromTickCount() {
  ULONGLONG last = g_lastTick.load();
  for (;;) {
    ULONGLONG next = (last & ~0xFFFFFFFFULL) | ::GetTickCount();
    if (next < last) next += 0x100000000ULL;
    if (g_lastTick.compare_exchange_weak(last, next)) return next;
  }
}

ULONGLONG WINAPI TickCount64() {
  static std::atomic<TickCount64Fn> s_pfnSystem{nullptr};
  static std::atomic<bool> s_bLookedUp{false};
  if (!s_bLookedUp.load()) {
    const FARPROC proc = ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetTickCount64");
    s_pfnSystem.store(reinterpret_cast<TickCount64Fn>(reinterpret_cast<void (*)()>(proc)));
    s_bLookedUp.store(true);
  }
  const TickCount64Fn system = s_pfnSystem.load();
  return system != nullptr ? system() : CountFromTickCount();
}

}  // namespace

extern "C" {
TickCount64Fn __imp_GetTickCount64 = &TickCount64;
}
