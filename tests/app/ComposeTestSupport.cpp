#include "tests/app/ComposeTestSupport.h"

#include "platform/win/User.h"
#include "platform/win/WindowSurface.h"

#include <algorithm>
#include <fstream>

namespace tavrin::test {

std::string SolidFramesGif(int screenWidth, int screenHeight, const std::vector<GifBlock>& frames)
{
    std::string gif = "GIF89a";
    auto word = [&](int v) {
        gif += static_cast<char>(v & 0xFF);
        gif += static_cast<char>((v >> 8) & 0xFF);
    };
    word(screenWidth);
    word(screenHeight);
    gif += static_cast<char>(0x81); // global table of 4 colours
    gif += '\0';
    gif += '\0';
    const unsigned char table[] = {255, 255, 255, 255, 0, 0, 0, 255, 0, 0, 0, 255};
    gif.append(reinterpret_cast<const char*>(table), sizeof table);
    for (const GifBlock& f : frames) {
        gif += ',';
        word(f.left);
        word(f.top);
        word(f.width);
        word(f.height);
        gif += '\0';
        // Minimum code size 2: a clear code before every pixel keeps every
        // code 3 bits wide, so no compression is needed.
        gif += '\x02';
        std::vector<unsigned char> payload;
        unsigned bits = 0;
        int count = 0;
        auto put = [&](unsigned code) {
            bits |= code << count;
            count += 3;
            while (count >= 8) {
                payload.push_back(static_cast<unsigned char>(bits & 0xFF));
                bits >>= 8;
                count -= 8;
            }
        };
        for (int i = 0; i < f.width * f.height; ++i) {
            put(4);
            put(static_cast<unsigned>(f.colour));
        }
        put(5);
        if (count > 0)
            payload.push_back(static_cast<unsigned char>(bits & 0xFF));
        for (size_t at = 0; at < payload.size(); at += 255) {
            const size_t n = std::min<size_t>(255, payload.size() - at);
            gif += static_cast<char>(n);
            gif.append(reinterpret_cast<const char*>(payload.data() + at), n);
        }
        gif += '\0';
    }
    gif += ';';
    return gif;
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

DWORD ShownPixel(HWND hwnd, int x, int y)
{
    HWND top = ::GetAncestor(hwnd, GA_ROOT);
    auto surface = tavrin::win::GetWindowSurface(top);
    if (!surface)
        return 0xFFFFFFFF;
    POINT at{x, y};
    ::ClientToScreen(hwnd, &at);
    RECT frame{};
    ::GetWindowRect(top, &frame);
    const int sx = at.x - frame.left;
    const int sy = at.y - frame.top;
    if (sx < 0 || sy < 0 || sx >= surface->Width() || sy >= surface->Height())
        return 0xFFFFFFFF;
    return surface->GetPixel(sx, sy) & 0xFFFFFF;
}

} // namespace tavrin::test
