// The resizable dialog's arithmetic: where anchored controls go, which size
// changes count, and when a size is worth remembering.
#include <gtest/gtest.h>

#include "controls/anchor_layout.h"

namespace vantoric {
namespace {

TEST(AnchorLayout, EntryKeepsIdAndFlags) {
  const AnchorEntry entry = MakeAnchorEntry(ANCHOR_RIGHT | ANCHOR_BOTTOM, 1082);
  EXPECT_EQ(AnchorControlId(entry), 1082u);
  EXPECT_EQ(AnchorFlags(entry), ANCHOR_RIGHT | ANCHOR_BOTTOM);
  EXPECT_EQ(entry, 0x0003043Au);
  const AnchorEntry high = MakeAnchorEntry(ANCHOR_WIDTH | ANCHOR_HEIGHT, 0xFFFF);
  EXPECT_EQ(AnchorControlId(high), 0xFFFFu);
  EXPECT_EQ(AnchorFlags(high), ANCHOR_WIDTH | ANCHOR_HEIGHT);
}

TEST(AnchorLayout, ApplyAnchorMovesAndStretchesByFlags) {
  const CLayoutRect rc{10, 20, 110, 70};
  struct Case {
    const char* name;
    unsigned flags;
    CLayoutRect expected;
  };
  const Case cases[] = {
      {"none", 0, {10, 20, 110, 70}},
      {"right", ANCHOR_RIGHT, {40, 20, 140, 70}},
      {"bottom", ANCHOR_BOTTOM, {10, 25, 110, 75}},
      {"width", ANCHOR_WIDTH, {10, 20, 140, 70}},
      {"height", ANCHOR_HEIGHT, {10, 20, 110, 75}},
      {"right+bottom", ANCHOR_RIGHT | ANCHOR_BOTTOM, {40, 25, 140, 75}},
      {"width+height", ANCHOR_WIDTH | ANCHOR_HEIGHT, {10, 20, 140, 75}},
      {"width beats right", ANCHOR_WIDTH | ANCHOR_RIGHT, {10, 20, 140, 70}},
      {"height beats bottom", ANCHOR_HEIGHT | ANCHOR_BOTTOM, {10, 20, 110, 75}},
      {"bottom+width", ANCHOR_BOTTOM | ANCHOR_WIDTH, {10, 25, 140, 75}},
      {"all four", 15, {10, 20, 140, 75}},
  };
  for (const Case& c : cases) EXPECT_EQ(ApplyAnchor(rc, c.flags, 30, 5), c.expected) << c.name;
  EXPECT_EQ(ApplyAnchor(rc, ANCHOR_RIGHT | ANCHOR_HEIGHT, -4, -6), (CLayoutRect{6, 20, 106, 64})) << "shrinking";
}

TEST(AnchorLayout, AnchorsKeepTheirRegistrationOrder) {
  CResizeLayout layout;
  layout.AddAnchor(ANCHOR_RIGHT | ANCHOR_BOTTOM, 1);
  layout.AddAnchor(ANCHOR_WIDTH | ANCHOR_HEIGHT, 1059);
  layout.AddAnchor(ANCHOR_BOTTOM, 1082);
  ASSERT_EQ(layout.GetAnchors().size(), 3u);
  EXPECT_EQ(AnchorControlId(layout.GetAnchors()[0]), 1u);
  EXPECT_EQ(AnchorControlId(layout.GetAnchors()[1]), 1059u);
  EXPECT_EQ(AnchorControlId(layout.GetAnchors()[2]), 1082u);
}

TEST(AnchorLayout, FirstSizeChangeOnlyRecords) {
  CResizeLayout layout;
  int dx = -1, dy = -1;
  EXPECT_FALSE(layout.OnClientSize(false, {400, 300}, dx, dy));
  EXPECT_EQ(dx, 0);
  EXPECT_EQ(dy, 0);
  EXPECT_FALSE(layout.IsSized());
  EXPECT_EQ(layout.GetLastClientSize(), (CLayoutSize{400, 300}));

  EXPECT_TRUE(layout.OnClientSize(false, {450, 280}, dx, dy));
  EXPECT_EQ(dx, 50);
  EXPECT_EQ(dy, -20);
  EXPECT_TRUE(layout.IsSized());
  EXPECT_EQ(layout.GetLastClientSize(), (CLayoutSize{450, 280}));
}

TEST(AnchorLayout, MinimiseRecordsNothingAndRestoreAppliesTheDifferenceOnce) {
  CResizeLayout layout;
  int dx = 0, dy = 0;
  layout.OnClientSize(false, {400, 300}, dx, dy);
  layout.OnClientSize(false, {500, 350}, dx, dy);
  EXPECT_FALSE(layout.OnClientSize(true, {0, 0}, dx, dy)) << "minimise";
  EXPECT_EQ(layout.GetLastClientSize(), (CLayoutSize{500, 350}));
  EXPECT_TRUE(layout.OnClientSize(false, {500, 350}, dx, dy)) << "restore";
  EXPECT_EQ(dx, 0);
  EXPECT_EQ(dy, 0);
  EXPECT_TRUE(layout.OnClientSize(false, {520, 360}, dx, dy)) << "restore to another size";
  EXPECT_EQ(dx, 20);
  EXPECT_EQ(dy, 10);
}

TEST(AnchorLayout, SizeIsRememberedOnlyAfterARealResize) {
  CResizeLayout layout;
  int dx = 0, dy = 0;
  EXPECT_FALSE(layout.ShouldRememberSize()) << "never shown";
  layout.OnClientSize(false, {400, 300}, dx, dy);
  EXPECT_FALSE(layout.ShouldRememberSize()) << "created only";
  layout.OnClientSize(false, {400, 300}, dx, dy);
  EXPECT_FALSE(layout.ShouldRememberSize()) << "a size message without change";
  layout.OnClientSize(true, {0, 0}, dx, dy);
  layout.OnClientSize(false, {400, 300}, dx, dy);
  EXPECT_FALSE(layout.ShouldRememberSize()) << "minimised and restored";
  layout.OnClientSize(false, {401, 300}, dx, dy);
  EXPECT_TRUE(layout.ShouldRememberSize()) << "resized";

  layout.SetMinTrackSize({420, 330});
  layout.Reset();
  EXPECT_FALSE(layout.ShouldRememberSize());
  EXPECT_FALSE(layout.HasMinTrackSize());
  EXPECT_EQ(layout.GetLastClientSize(), (CLayoutSize{0, 0}));
  layout.OnClientSize(false, {401, 300}, dx, dy);
  layout.OnClientSize(false, {401, 300}, dx, dy);
  EXPECT_FALSE(layout.ShouldRememberSize()) << "created again after the reset, not resized";
}

TEST(AnchorLayout, MinTrackSizeIsTheCreationSize) {
  CResizeLayout layout;
  EXPECT_FALSE(layout.HasMinTrackSize());
  layout.SetMinTrackSize({470, 510});
  EXPECT_TRUE(layout.HasMinTrackSize());
  EXPECT_EQ(layout.GetMinTrackSize(), (CLayoutSize{470, 510}));
}

TEST(AnchorLayout, RememberedSizeFitsBetweenTemplateAndWorkArea) {
  const CLayoutSize templ{470, 510};
  const CLayoutSize screen{1280, 1000};
  struct Case {
    const char* name;
    CLayoutSize remembered;
    CLayoutSize workArea;
    CLayoutSize expected;
  };
  const Case cases[] = {
      {"in range", {800, 600}, screen, {800, 600}},
      {"the template's size", templ, screen, templ},
      {"the work area's size", screen, screen, screen},
      {"both 0: nothing stored", {0, 0}, screen, templ},
      {"width 0: ignored whole", {0, 600}, screen, templ},
      {"height 0: ignored whole", {800, 0}, screen, templ},
      {"negative", {-800, -600}, screen, templ},
      {"negative width only", {-1, 600}, screen, {470, 600}},
      {"smaller than the template", {100, 80}, screen, templ},
      {"huge", {2147483647, 100000}, screen, screen},
      {"huge height only", {800, 5000}, screen, {800, 1000}},
      {"one pixel over the work area", {1281, 1001}, screen, screen},
      {"work area smaller than the template", {2000, 2000}, {400, 300}, templ},
      {"work area narrower only", {2000, 700}, {400, 1000}, {470, 700}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FitRememberedSize(c.remembered, templ, c.workArea), c.expected) << c.name;
}

TEST(AnchorLayout, AtTheFirstStartTheWindowWidensForWhatItsListHolds) {
  const struct {
    const char* name;
    int shortBy;
    int workArea;
    int expected;
  } cases[] = {
      {"short of its columns", 190, 1280, 660},
      {"wide enough already", 0, 1280, 470},
      {"wider than needed: not narrowed", -60, 1280, 470},
      {"the work area is the limit", 1000, 1280, 1280},
      {"a work area narrower than the window does not shrink it", 190, 400, 470},
  };
  for (const auto& c : cases) EXPECT_EQ(FitFirstStartWidth(470, c.shortBy, c.workArea), c.expected) << c.name;
}

TEST(AnchorLayout, ProfileSectionIsTheTemplateIdInLowerCaseHex) {
  EXPECT_EQ(FormatProfileSection(102), "66");
  EXPECT_EQ(FormatProfileSection(100), "64");
  EXPECT_EQ(FormatProfileSection(0xABC), "abc");
  EXPECT_EQ(FormatProfileSection(0), "0");
}

}  // namespace
}  // namespace vantoric
