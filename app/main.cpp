#include <windows.h>

#include "app/vantoric_app.h"
#include "framework/system_library.h"

namespace {
vantoric::CVantoricApp theApp;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  // Before anything loads a library: the program runs elevated from wherever
  // it was unpacked, and a library planted there must never be loaded.
  vantoric::RestrictLibrarySearch();
  return theApp.Run();
}
