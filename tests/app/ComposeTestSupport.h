// Helpers of the compose pane's tests: small GIF files with frames of one
// colour each, and the pixels a window shows.
#pragma once

#include "platform/base/Types.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tavrin::test {

// Colour indexes of the GIFs: 0 white, 1 red, 2 green, 3 blue.
struct GifBlock {
    int left, top, width, height, colour;
};
// A GIF of the screen size whose frames are single-colour blocks.
std::string SolidFramesGif(int screenWidth, int screenHeight, const std::vector<GifBlock>& frames);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

// A pixel of a window as shown, in the window's client coordinates
// (0x00RRGGBB); the window's top-level surface is read.
DWORD ShownPixel(HWND hwnd, int x, int y);
inline DWORD Rgb(BYTE r, BYTE g, BYTE b) { return (DWORD(r) << 16) | (DWORD(g) << 8) | b; }

} // namespace tavrin::test
