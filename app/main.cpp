#include <windows.h>

#include "app/vantoric_app.h"

namespace {
vantoric::CVantoricApp theApp;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) { return theApp.Run(); }
