// The property list's keyboard, without windows: which key, pressed where
// the focus is inside the list, does what. The window side turns the key
// messages of the list and of its editors into a call here and carries out
// the action; a key that gets Default goes its usual way (the list box's
// own arrows, the dialog's Tab, Enter and Escape).
//
// Enter and Escape in the field or on the arrow button depend on where the
// list sits. In a dialog of its own they are that dialog's OK and Cancel.
// On a page of a dialog that holds several pages, the dialog's OK and
// Cancel end every page at once, so there they stay with the field: Enter
// makes the typed text the row's value, Escape gives the field back the
// row's value.
#pragma once

namespace vantoric {

// Virtual-key codes of the keys the list acts on (the window side checks
// them against the system's).
constexpr unsigned PROPERTY_KEY_TAB = 0x09;
constexpr unsigned PROPERTY_KEY_RETURN = 0x0D;
constexpr unsigned PROPERTY_KEY_ESCAPE = 0x1B;
constexpr unsigned PROPERTY_KEY_UP = 0x26;
constexpr unsigned PROPERTY_KEY_DOWN = 0x28;
constexpr unsigned PROPERTY_KEY_F2 = 0x71;
constexpr unsigned PROPERTY_KEY_F4 = 0x73;

// Where the focus is.
enum class PropertyFocus {
  List,         // the rows themselves
  Edit,         // a text row's field
  ComboButton,  // a choice row's arrow button (where a taken choice leaves it)
  DropList,     // a choice row's open list of choices
};

// Where the list sits.
enum class PropertyListHost {
  Dialog,  // a dialog of its own, which Enter and Escape end
  Page,    // a page among others of one dialog
};

enum class PropertyKeyAction {
  Default,       // the key's usual handling
  SelectFirst,   // no row is selected yet: select the first
  OpenEditor,    // focus into the text row's field, its text selected
  OpenDropList,  // open the choice row's list, focus in it
  TakeChoice,    // take the highlighted choice and close the list
  CloseDropList, // close the list, the row keeps its choice
  RowUp,         // back to the rows, one row up (leaving the field commits it)
  RowDown,       // back to the rows, one row down
  FocusList,     // back to the rows, on the same row
  NextControl,   // on to the dialog's control after the list
  PressDefault,  // the dialog's default button, as Enter presses it elsewhere
  PressCancel,   // the dialog's Cancel, as Escape presses it elsewhere
  CommitEdit,    // the typed text becomes the row's value; the focus stays
  RevertEdit,    // the field shows the row's value again; the focus stays
};

// One key press. nRowKind is the selected row's kind (PROPERTY_KIND_TEXT or
// PROPERTY_KIND_CHOICE), 0 when no row is selected; bAlt and bShift tell
// whether those keys are held; host is where the list sits.
PropertyKeyAction PropertyKeyRule(PropertyFocus focus, int nRowKind, unsigned nKey, bool bAlt, bool bShift,
                                  PropertyListHost host);

}  // namespace vantoric
