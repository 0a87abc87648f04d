// GbkText: GBK (code page 936) text split into characters with their code
// points and byte positions, for text layout. Bytes that do not form a
// character become U+FFFD.
#pragma once

#include <string_view>
#include <vector>

namespace tavrin {

struct TextChar {
    char32_t code;
    int offset; // byte offset in the GBK text
    int length; // 1 or 2 bytes
};

std::vector<TextChar> DecodeGbkText(std::string_view gbk);

} // namespace tavrin
