// The IPv6 address edit control: an edit control whose keystrokes, clicks
// and focus changes all go through the editing rules, so that its text
// keeps the 71-column mask. It holds the address in eight group slots and
// writes the compressed address as a preview into a sibling control.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "controls/ipv6_edit_state.h"
#include "controls/ipv6_text_model.h"
#include "framework/dialog.h"
#include "framework/handles.h"

namespace vantoric {

// Dialog item identifier of the address control in every dialog that hosts it.
constexpr int IDC_IPV6_ADDRESS = 1017;

class MFCIPv6Control : public CSubclassWindow {
 public:
  MFCIPv6Control() = default;
  ~MFCIPv6Control() override;

  // What a hosting dialog does in its initialisation: replaces the edit
  // nPlaceholderId of the dialog hParent by the control (identifier
  // IDC_IPV6_ADDRESS, the placeholder's rectangle and place in the tab
  // order), switches the preview on into the dialog item nPreviewId and
  // calls Initialize. False when there is no placeholder or no window.
  bool CreateFromPlaceholder(HWND hParent, int nPlaceholderId, int nPreviewId);
  // Creates the edit window (child, visible, border, tab stop) and takes
  // over its messages.
  bool Create(HWND hParent, const RECT& rc, int nId);

  // Shows the empty mask in the control's fixed-pitch font; always 1.
  int Initialize();

  void ResetGroups();
  // Writes the slots into the displayed text, then the preview.
  void ApplyGroupsToText();
  // Reads the slots from the displayed text, then writes the preview.
  void SyncGroupsFromText();
  // The setters change the slots only (see CIpv6TextModel); the parser's
  // lines go to standard output.
  bool SetAddressText(std::string_view text);
  bool SetPrefixText(std::string_view text);
  bool SetInterfaceIdText(std::string_view text);
  std::string FormatCompressed() const { return m_model.FormatCompressed(); }

  const CIpv6Groups& GetGroups() const { return m_model.GetGroups(); }

  // Set-up before Initialize: option bits (5 switches the preview on) and
  // the parent's dialog item that receives the preview.
  int m_nOptions = 1;
  int m_nPreviewId = 0;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  // The window text with one character per column.
  std::string ReadText() const;
  void LoadEditState();
  // Carries out a rule's result; returns the default handling's answer.
  LRESULT Carry(const CIpv6EditResult& result, UINT msg, WPARAM wp, LPARAM lp);
  void ReplaceText(const std::string& text);
  void WritePreview();
  int ColumnAt(int x) const;

  LRESULT OnLButtonDown(WPARAM wp, LPARAM lp);
  LRESULT OnMouseMove(WPARAM wp, LPARAM lp);
  LRESULT OnSetFocus(WPARAM wp, LPARAM lp);
  LRESULT OnUndo(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT OnGetObject(WPARAM wp, LPARAM lp);

  CIpv6TextModel m_model;
  CIpv6EditState m_edit;
  int m_bPreview = 0;
  CFont m_font;
};

}  // namespace vantoric
