// Which key does what where the focus is inside the property list.
#include <gtest/gtest.h>

#include "controls/property_keys.h"
#include "controls/property_rows.h"

namespace vantoric {
namespace {

using Focus = PropertyFocus;
using Action = PropertyKeyAction;
using Host = PropertyListHost;

constexpr int TEXT = PROPERTY_KIND_TEXT;
constexpr int CHOICE = PROPERTY_KIND_CHOICE;

TEST(PropertyKeyRule, EachKeyInEachPlace) {
  struct Case {
    Focus focus;
    int nKind;
    unsigned nKey;
    bool bAlt, bShift;
    Action action;
    const char* reason;
    Host host = Host::Dialog;
  } cases[] = {
      {Focus::List, 0, PROPERTY_KEY_DOWN, false, false, Action::SelectFirst, "first Down starts at the first row"},
      {Focus::List, 0, PROPERTY_KEY_UP, false, false, Action::SelectFirst, "first Up starts at the first row"},
      {Focus::List, 0, PROPERTY_KEY_F2, false, false, Action::Default, "F2 without a row opens nothing"},
      {Focus::List, 0, PROPERTY_KEY_DOWN, true, false, Action::Default, "Alt+Down without a row opens nothing"},
      {Focus::List, TEXT, PROPERTY_KEY_DOWN, false, false, Action::Default, "the list box moves a row itself"},
      {Focus::List, TEXT, PROPERTY_KEY_F2, false, false, Action::OpenEditor, "F2 edits a text row"},
      {Focus::List, TEXT, PROPERTY_KEY_F4, false, false, Action::Default, "a text row has no list to open"},
      {Focus::List, TEXT, PROPERTY_KEY_DOWN, true, false, Action::Default, "Alt+Down on a text row does nothing"},
      {Focus::List, CHOICE, PROPERTY_KEY_F4, false, false, Action::OpenDropList, "F4 opens the choices"},
      {Focus::List, CHOICE, PROPERTY_KEY_DOWN, true, false, Action::OpenDropList, "Alt+Down opens the choices"},
      {Focus::List, CHOICE, PROPERTY_KEY_F2, false, false, Action::OpenDropList, "F2 opens a choice row's editor"},
      {Focus::List, CHOICE, PROPERTY_KEY_UP, true, false, Action::Default, "Alt+Up opens nothing"},
      {Focus::List, CHOICE, PROPERTY_KEY_RETURN, false, false, Action::Default, "Enter on the rows is OK"},
      {Focus::Edit, TEXT, PROPERTY_KEY_RETURN, false, false, Action::PressDefault, "Enter in the field is OK"},
      {Focus::Edit, TEXT, PROPERTY_KEY_ESCAPE, false, false, Action::PressCancel, "Escape in the field is Cancel"},
      {Focus::Edit, TEXT, PROPERTY_KEY_UP, false, false, Action::RowUp, "Up leaves the field a row up"},
      {Focus::Edit, TEXT, PROPERTY_KEY_DOWN, false, false, Action::RowDown, "Down leaves the field a row down"},
      {Focus::Edit, TEXT, PROPERTY_KEY_TAB, false, false, Action::NextControl, "Tab goes on past the list"},
      {Focus::Edit, TEXT, PROPERTY_KEY_TAB, false, true, Action::FocusList, "Shift+Tab goes back to the rows"},
      {Focus::Edit, TEXT, PROPERTY_KEY_F2, false, false, Action::Default, "F2 in the field is the field's"},
      {Focus::Edit, TEXT, PROPERTY_KEY_DOWN, true, false, Action::Default, "Alt+Down in the field is the field's"},
      {Focus::ComboButton, CHOICE, PROPERTY_KEY_F4, false, false, Action::OpenDropList, "F4 opens again"},
      {Focus::ComboButton, CHOICE, PROPERTY_KEY_DOWN, true, false, Action::OpenDropList, "Alt+Down opens again"},
      {Focus::ComboButton, CHOICE, PROPERTY_KEY_DOWN, false, false, Action::RowDown, "Down goes on a row"},
      {Focus::ComboButton, CHOICE, PROPERTY_KEY_UP, false, false, Action::RowUp, "Up goes back a row"},
      {Focus::ComboButton, CHOICE, PROPERTY_KEY_TAB, false, false, Action::NextControl, "Tab goes on past the list"},
      {Focus::ComboButton, CHOICE, PROPERTY_KEY_RETURN, false, false, Action::PressDefault, "Enter is OK"},
      {Focus::ComboButton, CHOICE, PROPERTY_KEY_ESCAPE, false, false, Action::PressCancel, "Escape is Cancel"},
      {Focus::DropList, CHOICE, PROPERTY_KEY_RETURN, false, false, Action::TakeChoice, "Enter takes the choice"},
      {Focus::DropList, CHOICE, PROPERTY_KEY_ESCAPE, false, false, Action::CloseDropList, "Escape only closes"},
      {Focus::DropList, CHOICE, PROPERTY_KEY_F4, false, false, Action::CloseDropList, "F4 closes again"},
      {Focus::DropList, CHOICE, PROPERTY_KEY_UP, true, false, Action::CloseDropList, "Alt+Up closes"},
      {Focus::DropList, CHOICE, PROPERTY_KEY_DOWN, false, false, Action::Default, "Down moves to a choice"},
      {Focus::DropList, CHOICE, PROPERTY_KEY_TAB, false, false, Action::NextControl, "Tab goes on past the list"},
      {Focus::DropList, CHOICE, PROPERTY_KEY_TAB, false, true, Action::FocusList, "Shift+Tab back to the rows"},
      // On a page, Enter and Escape in the editors stay with the field.
      {Focus::Edit, TEXT, PROPERTY_KEY_RETURN, false, false, Action::CommitEdit, "Enter on a page keeps what is typed",
       Host::Page},
      {Focus::Edit, TEXT, PROPERTY_KEY_ESCAPE, false, false, Action::RevertEdit, "Escape on a page undoes the typing",
       Host::Page},
      {Focus::ComboButton, CHOICE, PROPERTY_KEY_RETURN, false, false, Action::CommitEdit,
       "Enter on a page's arrow keeps the choice taken", Host::Page},
      {Focus::ComboButton, CHOICE, PROPERTY_KEY_ESCAPE, false, false, Action::RevertEdit,
       "Escape on a page's arrow ends nothing", Host::Page},
      {Focus::Edit, TEXT, PROPERTY_KEY_DOWN, false, false, Action::RowDown, "Down leaves a page's field too",
       Host::Page},
      {Focus::List, TEXT, PROPERTY_KEY_RETURN, false, false, Action::Default,
       "Enter on a page's rows is the dialog's OK", Host::Page},
      {Focus::List, TEXT, PROPERTY_KEY_ESCAPE, false, false, Action::Default,
       "Escape on a page's rows goes its usual way", Host::Page},
      {Focus::DropList, CHOICE, PROPERTY_KEY_RETURN, false, false, Action::TakeChoice,
       "Enter in a page's choices takes one", Host::Page},
      {Focus::DropList, CHOICE, PROPERTY_KEY_ESCAPE, false, false, Action::CloseDropList,
       "Escape in a page's choices only closes them", Host::Page},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PropertyKeyRule(c.focus, c.nKind, c.nKey, c.bAlt, c.bShift, c.host), c.action) << c.reason;
}

}  // namespace
}  // namespace vantoric
