#include "controls/property_keys.h"

#include "controls/property_rows.h"

namespace vantoric {

namespace {

bool OpensList(unsigned nKey, bool bAlt) {
  return nKey == PROPERTY_KEY_F4 || (bAlt && nKey == PROPERTY_KEY_DOWN);
}

PropertyKeyAction OnList(int nRowKind, unsigned nKey, bool bAlt) {
  if (nRowKind == 0) {
    // A list box without a selection would start the arrows from its caret,
    // past the first row.
    return (nKey == PROPERTY_KEY_UP || nKey == PROPERTY_KEY_DOWN) && !bAlt ? PropertyKeyAction::SelectFirst
                                                                          : PropertyKeyAction::Default;
  }
  if (nRowKind == PROPERTY_KIND_TEXT && nKey == PROPERTY_KEY_F2) return PropertyKeyAction::OpenEditor;
  if (nRowKind == PROPERTY_KIND_CHOICE && (nKey == PROPERTY_KEY_F2 || OpensList(nKey, bAlt)))
    return PropertyKeyAction::OpenDropList;
  return PropertyKeyAction::Default;
}

// The field and the arrow button sit inside the list, out of the dialog's
// own Tab order: the list moves the focus for them.
PropertyKeyAction OnEditor(PropertyFocus focus, unsigned nKey, bool bAlt, bool bShift, PropertyListHost host) {
  if (focus == PropertyFocus::ComboButton && (nKey == PROPERTY_KEY_F2 || OpensList(nKey, bAlt)))
    return PropertyKeyAction::OpenDropList;
  if (bAlt) return PropertyKeyAction::Default;
  switch (nKey) {
    case PROPERTY_KEY_UP:
      return PropertyKeyAction::RowUp;
    case PROPERTY_KEY_DOWN:
      return PropertyKeyAction::RowDown;
    case PROPERTY_KEY_TAB:
      return bShift ? PropertyKeyAction::FocusList : PropertyKeyAction::NextControl;
    // In a dialog of its own, Enter and Escape stay the dialog's default
    // button and Cancel, which the dialog manager does not find from inside
    // the list. On a page they would end the other pages too.
    case PROPERTY_KEY_RETURN:
      return host == PropertyListHost::Page ? PropertyKeyAction::CommitEdit : PropertyKeyAction::PressDefault;
    case PROPERTY_KEY_ESCAPE:
      return host == PropertyListHost::Page ? PropertyKeyAction::RevertEdit : PropertyKeyAction::PressCancel;
    default:
      return PropertyKeyAction::Default;
  }
}

PropertyKeyAction OnDropList(unsigned nKey, bool bAlt, bool bShift) {
  switch (nKey) {
    case PROPERTY_KEY_RETURN:
      return PropertyKeyAction::TakeChoice;
    case PROPERTY_KEY_ESCAPE:
    case PROPERTY_KEY_F4:
      return PropertyKeyAction::CloseDropList;
    case PROPERTY_KEY_UP:
    case PROPERTY_KEY_DOWN:
      // Alt with an arrow closes the list as a combo box's does; a plain
      // arrow moves the selection, which takes that choice.
      return bAlt ? PropertyKeyAction::CloseDropList : PropertyKeyAction::Default;
    case PROPERTY_KEY_TAB:
      return bShift ? PropertyKeyAction::FocusList : PropertyKeyAction::NextControl;
    default:
      return PropertyKeyAction::Default;
  }
}

}  // namespace

PropertyKeyAction PropertyKeyRule(PropertyFocus focus, int nRowKind, unsigned nKey, bool bAlt, bool bShift,
                                  PropertyListHost host) {
  switch (focus) {
    case PropertyFocus::List:
      return OnList(nRowKind, nKey, bAlt);
    case PropertyFocus::Edit:
    case PropertyFocus::ComboButton:
      return OnEditor(focus, nKey, bAlt, bShift, host);
    case PropertyFocus::DropList:
      return OnDropList(nKey, bAlt, bShift);
  }
  return PropertyKeyAction::Default;
}

}  // namespace vantoric
