// The property list's rows and editing rules without a window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/property_rows.h"
#include "core/lifetime_text.h"

namespace vantoric {
namespace {

using Strings = std::vector<std::string>;

Strings ToStrings(const CSortStringArray& array) { return {array.begin(), array.end()}; }

CSortStringArray Array(const Strings& strings) {
  CSortStringArray array;
  for (const std::string& s : strings) array.Add(s);
  return array;
}

TEST(CSortStringArray, SortIgnoresCaseAndKeepsEqualsInOrder) {
  struct Case { Strings in, out; const char* reason; } cases[] = {
      {{"unicast", "anycast"}, {"anycast", "unicast"}, "two swapped"},
      {{"b", "A", "a", "B"}, {"A", "a", "b", "B"}, "case ignored, equals keep their order"},
      {{"c", "b", "a"}, {"a", "b", "c"}, "reversed needs several passes"},
      {{"ab", "a", "AB"}, {"a", "ab", "AB"}, "prefix first"}};
  for (const Case& c : cases) {
    CSortStringArray array = Array(c.in);
    array.Sort();
    EXPECT_EQ(ToStrings(array), c.out) << c.reason;
  }
}

TEST(CSortStringArray, FindIgnoresCase) {
  const CSortStringArray array = Array({"Manual", "unicast", "UNICAST"});
  struct Case { const char* text; int index; const char* reason; } cases[] = {
      {"Unicast", 1, "first of two equal"}, {"MANUAL", 0, "other case"}, {"uni", -1, "prefix is no match"}};
  for (const Case& c : cases) EXPECT_EQ(array.Find(c.text), c.index) << c.reason;
}

TEST(PropertyRules, SplitChoicesSkipsEmptyPieces) {
  struct Case { const char* value; Strings choices; const char* reason; } cases[] = {
      {"unicast!anycast", {"unicast", "anycast"}, "two"}, {"!a!!b!", {"a", "b"}, "empty pieces skipped"},
      {"active", {"active"}, "no separator"}, {"!!", {}, "only separators"}};
  for (const Case& c : cases) EXPECT_EQ(ToStrings(SplitChoices(c.value)), c.choices) << c.reason;
}

TEST(PropertyRules, NameColumnIsTheWidestNamePlusPadding) {
  struct Case { int current, text, width; const char* reason; } cases[] = {
      {0, 50, 60, "first name"}, {80, 50, 80, "narrower name"}, {59, 50, 60, "wider by one"}};
  for (const Case& c : cases) EXPECT_EQ(NameColumnWidth(c.current, c.text), c.width) << c.reason;
}

TEST(PropertyRules, AddPropertyRefusals) {
  struct Case { int kind; const char* value; int initial; bool sorted, added; const char* reason; } cases[] = {
      {PROPERTY_KIND_TEXT, "1d", 7, false, true, "a text row has no choice to check"},
      {PROPERTY_KIND_CHOICE, "unicast!anycast", 1, true, true, "last choice"},
      {PROPERTY_KIND_CHOICE, "unicast!anycast", 2, true, false, "index past the choices"},
      {PROPERTY_KIND_CHOICE, "unicast!anycast", -1, false, false, "negative index"},
      {PROPERTY_KIND_CHOICE, "!!", 0, false, false, "no choices at all"},
      {9, "x", 0, false, false, "kind above 8"},
      {5, "x", 0, false, false, "a code between the kinds"}};
  for (const Case& c : cases) {
    CPropertyRows rows;
    EXPECT_EQ(rows.AddProperty(c.kind, c.value, c.initial, 2, c.sorted, 40), c.added) << c.reason;
    EXPECT_EQ(rows.GetCount(), c.added ? 1 : 0) << c.reason << ": rows";
    EXPECT_EQ(rows.GetNameWidth(), c.added ? 50 : 0) << c.reason << ": a refused row does not widen the name column";
  }
}

// Text row 0 holding "infinite", choice row 1, text row 2 holding "1d".
class PropertyRowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_rows = CPropertyRows();
    ASSERT_TRUE(m_rows.AddProperty(PROPERTY_KIND_TEXT, "infinite", 0, 2, false, 60));
    ASSERT_TRUE(m_rows.AddProperty(PROPERTY_KIND_CHOICE, "unicast!anycast", 1, 2, true, 40));
    ASSERT_TRUE(m_rows.AddProperty(PROPERTY_KIND_TEXT, "1d", 0, 2, false, 30));
  }
  void Select(int nRow) {
    m_rows.SetCurRow(nRow);
    m_rows.OnSelectionChanged();
  }
  PropertyCommit Commit(const char* text) {
    return m_rows.CommitText(text, [this](std::string_view t) { return ++m_nChecks, IsLifetimeTextAcceptable(t); });
  }
  std::string Text(int nRow) const {
    std::string text = "(none)";
    m_rows.GetPropertyText(nRow, text);
    return text;
  }

  CPropertyRows m_rows;
  int m_nChecks = 0;
};

TEST_F(PropertyRowsTest, CommittingTypedText) {
  using C = PropertyCommit;
  struct Case { int row; const char* typed; C outcome; const char* stored; int checks; const char* reason; } cases[] = {
      {2, "Infinite", C::Stored, "Infinite", 0, "keyword in any case, kept as typed, unchecked"},
      {0, "2h", C::Stored, "2h", 1, "lifetime text"},
      {2, "1h2d", C::Refused, "1d", 1, "refused: value kept"},
      {1, "2h", C::Unchanged, "(none)", 0, "a choice row takes no text"}};
  for (const Case& c : cases) {
    SetUp();
    m_nChecks = 0;
    Select(c.row);
    EXPECT_EQ(Commit(c.typed), c.outcome) << c.reason;
    EXPECT_EQ(Text(c.row), c.stored) << c.reason;
    EXPECT_EQ(m_nChecks, c.checks) << c.reason << ": checks";
  }
}

TEST_F(PropertyRowsTest, EditPendingFlagAndTheRowBeingEdited) {
  EXPECT_EQ(Commit("2h"), PropertyCommit::Unchanged) << "nothing is edited before a selection";
  m_rows.SetCurRow(2);
  EXPECT_FALSE(m_rows.IsEditPending()) << "a draw alone sets nothing";
  Select(2);
  EXPECT_TRUE(m_rows.IsBeingEdited(2)) << "selected text row";
  EXPECT_FALSE(m_rows.IsBeingEdited(0)) << "another text row";
  EXPECT_EQ(Commit("2h"), PropertyCommit::Stored);
  EXPECT_TRUE(m_rows.IsEditPending()) << "a commit does not clear it";
  Select(1);
  EXPECT_FALSE(m_rows.IsBeingEdited(2)) << "a choice row is current: the earlier text is not read";
  EXPECT_FALSE(m_rows.TakeChoice(2)) << "no third choice";
  EXPECT_FALSE(m_rows.TakeChoice(-1)) << "no choice before the first";
  Select(0);
  EXPECT_FALSE(m_rows.TakeChoice(0)) << "a text row takes no choice";
  CPropertyRows fresh;
  fresh.OnTextChanged();
  EXPECT_TRUE(fresh.IsEditPending()) << "a text change sets it";
}

TEST_F(PropertyRowsTest, AccessorsRefuseWrongRows) {
  CSortStringArray choices;
  std::string text = "untouched";
  int index = -1;
  EXPECT_FALSE(m_rows.GetPropertyText(1, text)) << "choice row";
  EXPECT_FALSE(m_rows.GetPropertyText(3, text)) << "past the rows";
  EXPECT_FALSE(m_rows.GetPropertyChoices(0, choices)) << "text row";
  EXPECT_FALSE(m_rows.GetPropertySelection(-1, &text, index)) << "negative row";
  EXPECT_TRUE(m_rows.GetPropertySelection(0, &text, index) && text == "untouched" && index == 0)
      << "a text row has a selection index but no selected text";
  EXPECT_TRUE(m_rows.GetPropertySelection(1, &text, index) && text == "unicast" && index == 1)
      << "a choice row's selected text, after sorting";
  EXPECT_TRUE(m_rows.GetPropertyChoices(1, choices) && ToStrings(choices) == (Strings{"anycast", "unicast"}))
      << "a choice row's choices, sorted";
}

TEST_F(PropertyRowsTest, SelectingARowPlacesItsEditor) {
  struct Case { int row; PropertyEditor editor; const char* text; int dropRows; const char* reason; } cases[] = {
      {0, PropertyEditor::Edit, "infinite", 0, "a text row: an edit field with its value"},
      {1, PropertyEditor::Choice, "", 2, "a choice row: a drop-down list as long as its choices"}};
  for (const Case& c : cases) {
    m_rows.SetCurRow(c.row);
    const CPropertyPlacement placement = m_rows.OnSelectionChanged();
    EXPECT_EQ(placement.editor, c.editor) << c.reason;
    EXPECT_EQ(placement.strEditText, c.text) << c.reason;
    EXPECT_EQ(placement.nDropRows, c.dropRows) << c.reason;
  }
  EXPECT_EQ(CPropertyRows().OnSelectionChanged().editor, PropertyEditor::None) << "no row selected: no editor";
}

TEST(PropertyRowReading, NameThenTheValueShown) {
  struct Case {
    int kind;
    const char* value;
    int initial;
    bool sorted;
    const char* reading;
    const char* reason;
  } cases[] = {
      {PROPERTY_KIND_TEXT, "1d2h", 0, false, "Lifetime: 1d2h", "a text row's value"},
      {PROPERTY_KIND_CHOICE, "unicast!anycast", 1, true, "Lifetime: unicast", "the selected choice, after sorting"},
      {PROPERTY_KIND_CHOICE, "unicast!anycast", 1, false, "Lifetime: anycast", "the selected choice, unsorted"},
      {PROPERTY_KIND_TEXT, "", 0, false, "Lifetime: ", "an empty value still names the row"},
  };
  for (const Case& c : cases) {
    CPropertyRows rows;
    ASSERT_TRUE(rows.AddProperty(c.kind, c.value, c.initial, 0, c.sorted, 40)) << c.reason;
    EXPECT_EQ(PropertyRowReading("Lifetime", *rows.GetRow(0)), c.reading) << c.reason;
  }
}

}  // namespace
}  // namespace vantoric
