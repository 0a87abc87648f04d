// Encoded test pictures for the simulated albums, made with the program's
// own codecs.
#pragma once

#include <string>

namespace tavrin::test {

std::string JpegBytes(int width, int height);
std::string GifBytes(int width, int height);

} // namespace tavrin::test
