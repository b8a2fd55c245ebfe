// The transparent image's key, without windows: which pixels of a picture
// are its transparent colour, magenta, and what the pixels at the edges of
// the picture, which its drawing blended with magenta, are drawn as. The
// window side reads the bitmap's pixels, keys them out here, and scales
// and draws what is left through the mask.
#pragma once

#include <cstdint>
#include <vector>

namespace vantoric {

// Pixels are 0x00RRGGBB, as a 32-bit device-independent bitmap holds them.
constexpr std::uint32_t TRANSPARENT_KEY_RGB = 0xFF00FF;

// A pixel that holds this much of the key or less is the picture's own.
constexpr int KEY_SHARE_TOLERANCE = 24;
// A pixel that holds this much of the key or more is the key.
constexpr int KEY_SHARE_MOSTLY = 128;

// How much of the key a pixel holds, 0 to 255: what red and blue both have
// beyond green (magenta is both full and no green). A blend of the key with
// a colour holds less the less of the key went into it; a colour not of
// the key's hue holds none.
int KeyShare(std::uint32_t rgb);

struct CKeyedPicture {
  std::vector<std::uint32_t> pixels;  // as given, edge pixels given a colour of the picture's own
  std::vector<bool> transparent;      // true where the key shows what lies behind
};

// Keys the transparent colour out of a picture of nWidth x nHeight pixels,
// rows one after another. A pixel that is mostly the key is transparent.
// A pixel that holds less of it is an edge blended with the key: it takes
// the colour of a neighbour that is the picture's own (one beside it before
// one on a diagonal), and is transparent when it has none.
CKeyedPicture KeyOutTransparentColour(const std::vector<std::uint32_t>& pixels, int nWidth, int nHeight);

}  // namespace vantoric
