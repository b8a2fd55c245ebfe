// The address edit's model from arbitrary bytes: the parser, the compressed
// form and the editing rules never fault or read out of bounds; accepted
// groups are well formed and their compressed text parses back to the same
// address; every edit keeps the 71-column mask with ":" at its fixed
// columns, each group's digits packed at the left, and reports every change
// of text or selection that the window side must carry out.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "controls/ipv6_edit_state.h"
#include "controls/ipv6_text_model.h"

namespace {

using namespace vantoric;

void Require(bool bHolds, const char* what, const std::string& detail) {
  if (bHolds) return;
  std::fprintf(stderr, "violated: %s [%s]\n", what, detail.c_str());
  std::abort();
}

bool IsHex(char c) { return std::string_view("0123456789abcdefABCDEF").find(c) != std::string_view::npos; }

unsigned long Value(const std::string& group) {
  return group == "    " ? 0 : std::strtoul(group.c_str(), nullptr, 16);
}

// The compressed text of accepted groups parses back to the same address.
void CheckCompressedRoundTrip(const CIpv6Groups& groups) {
  for (const std::string& g : groups) {
    if (g != "    " && !(IsHex(g[0]) && IsHex(g[1]) && IsHex(g[2]) && IsHex(g[3]))) return;
  }
  const std::string text = FormatCompressed(groups);
  Require(text.size() <= 39, "compressed text length", text);
  CIpv6Groups again;
  CDiagnosticLines lines;
  Require(ParseAddressText(text, again, false, lines), "compressed text parses", text);
  for (size_t g = 0; g < groups.size(); ++g) Require(Value(again[g]) == Value(groups[g]), "round trip", text);
}

void CheckParser(const std::string& text, bool bPrefix) {
  CIpv6Groups groups;
  groups.fill("keep");
  CDiagnosticLines lines;
  if (!ParseAddressText(text, groups, bPrefix, lines)) {
    Require(groups[0] == "keep", "refusal leaves the groups alone", text);
    Require(!lines.str().empty() && lines.str().back() == '\n', "refusal writes a line", text);
    return;
  }
  for (size_t g = 0; g < groups.size(); ++g) {
    const std::string& group = groups[g];
    Require(group.size() == 4, "group length", text);
    const bool bBlank = group == "    ";
    const bool bHex = IsHex(group[0]) && IsHex(group[1]) && IsHex(group[2]) && IsHex(group[3]);
    Require(bPrefix && g >= 4 ? bBlank : bHex, "group characters", text);
  }
  CheckCompressedRoundTrip(groups);
}

void CheckMask(const CIpv6EditState& state, bool bPacked) {
  const std::string& text = state.GetText();
  Require(text.size() == IPV6_TEXT_LENGTH, "71 columns", text);
  for (int column = 0; column < IPV6_TEXT_LENGTH; ++column) {
    if (IsSeparatorColumn(column)) Require(text[static_cast<size_t>(column)] == ':', "separator", text);
  }
  Require(NormalizeMask(text) == text, "blank columns outside the digits", text);
  if (!bPacked) return;
  for (int g = 0; g < IPV6_GROUP_COUNT; ++g) {
    const std::string digits = text.substr(static_cast<size_t>(GroupStart(g)), 4);
    const size_t typed = digits.find(' ');
    const size_t count = typed == std::string::npos ? 4 : typed;
    Require(digits.find_first_not_of(' ', count) == std::string::npos, "digits packed at the left", text);
    for (size_t d = 0; d < count; ++d) Require(IsHex(digits[d]), "only digits typed", text);
  }
}

std::pair<int, int> Normalized(const CIpv6EditState& state) {
  return {std::min(state.GetSelStart(), state.GetSelEnd()), std::max(state.GetSelStart(), state.GetSelEnd())};
}

constexpr unsigned kKeys[] = {IPV6_KEY_BACK,  IPV6_KEY_TAB,   IPV6_KEY_SHIFT,  IPV6_KEY_END,        IPV6_KEY_HOME,
                              IPV6_KEY_LEFT,  IPV6_KEY_UP,    IPV6_KEY_RIGHT,  IPV6_KEY_DOWN,       IPV6_KEY_INSERT,
                              IPV6_KEY_DELETE, IPV6_KEY_OEM_1, IPV6_KEY_OEM_PERIOD, 0x0D, 0x1B, 'A', 'V'};
constexpr std::string_view kChars = "0123456789abcdef0123456789abcdefA:g\b\x16";

void CheckEditing(FuzzedDataProvider& input, const std::string& start) {
  CIpv6EditState state;
  CIpv6TextModel model;
  bool bPacked = true;
  switch (input.ConsumeIntegralInRange<int>(0, 2)) {
    case 1: {  // an address set by a dialog and shown
      CDiagnosticLines lines;
      if (model.SetAddressText(start, lines)) state.Load(model.ApplyGroupsToText(state.GetText()), 0, 0);
      break;
    }
    case 2:  // a program's own window text
      state.Load(start, 0, 0);
      bPacked = false;
      break;
    default:
      break;
  }
  while (input.remaining_bytes() > 0) {
    const std::string before = state.GetText();
    const std::pair<int, int> selBefore = Normalized(state);
    CIpv6EditResult result;
    bool bSettled = true;
    switch (input.ConsumeIntegralInRange<int>(0, 9)) {
      case 0:
      case 1:
        result = state.OnChar(
            static_cast<unsigned char>(kChars[input.ConsumeIntegralInRange<size_t>(0, kChars.size() - 1)]));
        bSettled = result.bTextChanged;  // an ignored character leaves the selection as it was
        break;
      case 2:
        result = state.OnKeyDown(kKeys[input.ConsumeIntegralInRange<size_t>(0, std::size(kKeys) - 1)]);
        break;
      case 3:
        result = state.OnKeyUp(kKeys[input.ConsumeIntegralInRange<size_t>(0, std::size(kKeys) - 1)]);
        bSettled = false;
        break;
      case 4: {  // a press: the edit control puts the caret at the click first
        const int column = input.ConsumeIntegralInRange<int>(0, IPV6_TEXT_LENGTH);
        state.Load(state.GetText(), column, column);
        result = state.OnLButtonDown();
        break;
      }
      case 5:
        result = state.OnMouseMove(input.ConsumeIntegralInRange<int>(-3, 80), input.ConsumeBool());
        bSettled = false;
        break;
      case 6:
        result = input.ConsumeBool() ? state.OnLButtonUp() : state.OnLButtonDblClk();
        bSettled = false;
        break;
      case 7:
        result = state.OnSetFocus();
        break;
      case 8: {  // a selection the rules did not make
        const int a = input.ConsumeIntegralInRange<int>(-5, 80);
        const int b = input.ConsumeIntegralInRange<int>(-5, 80);
        state.Load(state.GetText(), a, b);
        CheckMask(state, bPacked);
        continue;
      }
      default: {  // a text the rules did not make
        state.Load(input.ConsumeRandomLengthString(90), 0, 0);
        bPacked = false;
        CheckMask(state, bPacked);
        continue;
      }
    }
    CheckMask(state, bPacked);
    Require(result.bTextChanged || state.GetText() == before, "text change reported", state.GetText());
    Require(result.bSelectionChanged || result.bTextChanged || Normalized(state) == selBefore,
            "selection change reported", state.GetText());
    const int lo = Normalized(state).first, hi = Normalized(state).second;
    Require(lo >= 0 && hi <= IPV6_TEXT_LENGTH, "selection inside the text", state.GetText());
    Require(state.GetCurGroup() >= 1 && state.GetCurGroup() <= IPV6_GROUP_COUNT, "current group", state.GetText());
    if (bSettled) {
      // The rules keep the selection inside one group's digit columns.
      const int group = GroupOfColumn(lo);
      Require(lo >= GroupStart(group - 1) && hi <= GroupStart(group - 1) + 4, "selection in one group",
              state.GetText());
    }
    if (result.bSync) {
      model.SyncGroupsFromText(state.GetText());
      CheckCompressedRoundTrip(model.GetGroups());
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const bool bPrefix = input.ConsumeBool();
  const std::string text = input.ConsumeRandomLengthString(80);
  CheckParser(text, bPrefix);
  std::string stripped = text;
  CheckParser(StripWhitespace(stripped), bPrefix);
  CheckEditing(input, text);
  return 0;
}
