// The transparent image's key: how much of magenta a pixel holds, and which
// pixels of a picture are drawn, in which colour.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "controls/transparent_image.h"

namespace vantoric {
namespace {

constexpr std::uint32_t MAGENTA = 0xFF00FF;
constexpr std::uint32_t BLUE = 0x1F5FA8;    // the logo's ring
constexpr std::uint32_t ORANGE = 0xF0A020;  // the logo's bar

TEST(TransparentImage, KeyShareIsWhatRedAndBlueHaveBeyondGreen) {
  const struct {
    std::uint32_t rgb;
    int share;
    const char* reason;
  } cases[] = {
      {MAGENTA, 255, "the key itself"},
      {0xFE00FF, 254, "a step off the key"},
      {0x8F2FD3, 96, "blue and magenta half and half: (143, 47, 211)"},
      {0xED08F8, 229, "an edge pixel of the logo's bitmap, mostly magenta"},
      {BLUE, 0, "blue: red is below green"},
      {ORANGE, 0, "orange: blue is below green"},
      {0xFFFFFF, 0, "white: no hue"},
      {0x000000, 0, "black"},
      {0xFF0000, 0, "red alone"},
      {0x0000FF, 0, "blue alone"},
      {0x807090, 16, "a greyish purple holds a little"},
  };
  for (const auto& c : cases) EXPECT_EQ(KeyShare(c.rgb), c.share) << c.reason;
}

TEST(TransparentImage, EdgesBlendedWithTheKeyTakeTheirNeighboursColour) {
  // Each picture is a row (or a 3 x 3 block) of pixels; the expected row
  // gives the colour drawn, 0 where the pixel is transparent.
  const struct {
    std::vector<std::uint32_t> pixels;
    int width;
    std::vector<std::uint32_t> drawn;
    const char* reason;
  } cases[] = {
      {{MAGENTA, BLUE}, 2, {0, BLUE}, "the key is transparent, the picture drawn"},
      {{0xED08F8, BLUE}, 2, {0, BLUE}, "mostly the key: transparent"},
      {{MAGENTA, 0x6640C0, BLUE}, 3, {0, BLUE, BLUE}, "a little of the key: the neighbour's colour"},
      {{MAGENTA, 0x6640C0, MAGENTA}, 3, {0, 0, 0}, "a blend without a neighbour of the picture's own"},
      {{0x807090, MAGENTA}, 2, {0x807090, 0}, "within the tolerance: the picture's own colour"},
      {{ORANGE, 0x6640C0, BLUE}, 3, {ORANGE, ORANGE, BLUE}, "the left neighbour before the right"},
      {{ORANGE, MAGENTA, MAGENTA,  //
        MAGENTA, 0x6640C0, BLUE,   //
        MAGENTA, MAGENTA, MAGENTA},
       3,
       {ORANGE, 0, 0,  //
        0, BLUE, BLUE, //
        0, 0, 0},
       "beside before diagonal"},
      {{0x6640C0}, 1, {0}, "alone: transparent"},
      {{0x806898, 0x6640C0, MAGENTA}, 3, {0x806898, 0x806898, 0},
       "exactly the tolerance: the picture's own colour, and one a blend beside it takes"},
      {{MAGENTA, MAGENTA, 0x6640C0,  //
        ORANGE, MAGENTA, MAGENTA},
       3,
       {0, 0, 0,  //
        ORANGE, 0, 0},
       "at the right edge: the first pixel of the next row is no neighbour"},
      {{MAGENTA, MAGENTA, ORANGE,  //
        0x6640C0, MAGENTA, MAGENTA},
       3,
       {0, 0, ORANGE,  //
        0, 0, 0},
       "at the left edge: the last pixel of the row above is no neighbour"},
  };
  for (const auto& c : cases) {
    const int height = static_cast<int>(c.pixels.size()) / c.width;
    const CKeyedPicture keyed = KeyOutTransparentColour(c.pixels, c.width, height);
    std::vector<std::uint32_t> drawn;
    for (std::size_t i = 0; i < c.pixels.size(); ++i) drawn.push_back(keyed.transparent[i] ? 0 : keyed.pixels[i]);
    EXPECT_EQ(drawn, c.drawn) << c.reason;
  }
}

}  // namespace
}  // namespace vantoric
