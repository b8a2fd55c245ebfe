#include "controls/transparent_image.h"

#include <algorithm>

namespace vantoric {

int KeyShare(std::uint32_t rgb) {
  const int red = static_cast<int>((rgb >> 16) & 0xFF);
  const int green = static_cast<int>((rgb >> 8) & 0xFF);
  const int blue = static_cast<int>(rgb & 0xFF);
  return std::max(0, std::min(red, blue) - green);
}

namespace {

// Beside first, then the diagonals.
constexpr int kSteps[8][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}, {-1, -1}, {1, -1}, {-1, 1}, {1, 1}};

}  // namespace

CKeyedPicture KeyOutTransparentColour(const std::vector<std::uint32_t>& pixels, int nWidth, int nHeight) {
  CKeyedPicture keyed{pixels, std::vector<bool>(pixels.size(), false)};
  if (nWidth <= 0 || nHeight <= 0 ||
      pixels.size() < static_cast<std::size_t>(nWidth) * static_cast<std::size_t>(nHeight))
    return keyed;
  const auto at = [nWidth](int x, int y) { return static_cast<std::size_t>(y * nWidth + x); };
  // The colour of a neighbour of (x, y) that is the picture's own, if any.
  const auto ownNeighbour = [&](int x, int y, std::uint32_t& colour) {
    for (const auto& step : kSteps) {
      const int nx = x + step[0];
      const int ny = y + step[1];
      if (nx < 0 || ny < 0 || nx >= nWidth || ny >= nHeight) continue;
      if (KeyShare(pixels[at(nx, ny)]) > KEY_SHARE_TOLERANCE) continue;
      colour = pixels[at(nx, ny)];
      return true;
    }
    return false;
  };
  for (int y = 0; y < nHeight; ++y) {
    for (int x = 0; x < nWidth; ++x) {
      const int share = KeyShare(pixels[at(x, y)]);
      if (share <= KEY_SHARE_TOLERANCE) continue;
      keyed.transparent[at(x, y)] = share >= KEY_SHARE_MOSTLY || !ownNeighbour(x, y, keyed.pixels[at(x, y)]);
    }
  }
  return keyed;
}

}  // namespace vantoric
