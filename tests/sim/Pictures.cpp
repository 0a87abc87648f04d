#include "tests/sim/Pictures.h"

#include "imaging/ImageMemoryStream.h"
#include "imaging/ImageObj.h"

#include <gtest/gtest.h>

namespace tavrin::test {

namespace {

std::string Encode(CImageObj& image, DWORD type)
{
    ImageMemoryStream stream;
    EXPECT_TRUE(image.Encode(stream, type)) << image.GetLastError();
    return std::string(stream.Bytes().begin(), stream.Bytes().end());
}

} // namespace

std::string JpegBytes(int width, int height)
{
    CImageObj image(static_cast<DWORD>(width), static_cast<DWORD>(height), 24, IMAGE_TYPE_JPEG);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetPixelColor(x, y, RGBQUAD{static_cast<BYTE>(x), static_cast<BYTE>(y), 90, 0});
    return Encode(image, IMAGE_TYPE_JPEG);
}

std::string GifBytes(int width, int height)
{
    CImageObj image(static_cast<DWORD>(width), static_cast<DWORD>(height), 8, IMAGE_TYPE_GIF);
    image.SetGrayPalette();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetPixelIndex(x, y, static_cast<BYTE>((x + y) & 0xFF));
    return Encode(image, IMAGE_TYPE_GIF);
}

} // namespace tavrin::test
