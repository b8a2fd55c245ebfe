#include <windows.h>

#include "app/vantoric_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  vantoric::CVantoricApp app;
  return app.Run();
}
