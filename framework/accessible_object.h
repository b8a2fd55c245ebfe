// A control's answer to a screen reader: the system's standard accessible
// object of the window, with the texts the control knows better (a row's
// name, a field's value) put in place of the standard ones. oleacc and
// oleaut32 are loaded by their system path at the first question.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace vantoric {

// One text of the window (nChild 0) or of one of its items (1 for the
// first); false leaves the standard object's answer.
using AccessibleText = std::function<bool(long nChild, std::wstring& text)>;

struct CAccessibleTexts {
  AccessibleText name;
  AccessibleText value;
};

// Answers WM_GETOBJECT (wp, lp) for hwnd's client area with the standard
// object and `texts`, which are asked only while hwnd is a window. False,
// and the message left to the default handling, for other objects or when
// the system's accessibility libraries cannot be loaded.
// The first answer on a thread makes it a COM apartment, since screen
// readers call the object from their own processes.
bool AnswerAccessibleObject(HWND hwnd, WPARAM wp, LPARAM lp, const CAccessibleTexts& texts, LRESULT& result);
// Ends the apartment that the answers began on this thread, if they did;
// called when the thread's windows are gone.
void LeaveAccessibleApartment();

}  // namespace vantoric
