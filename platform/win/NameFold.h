// Names of registry keys and values, atoms and profile sections compare
// without regard to ASCII case; double-byte characters are kept whole, since
// a GBK trail byte may look like a letter.
#pragma once

#include <string>
#include <string_view>

namespace tavrin::win {

inline std::string FoldName(std::string_view name)
{
    std::string out(name);
    for (size_t i = 0; i < out.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(out[i]);
        if (c >= 0x81 && c <= 0xFE && i + 1 < out.size())
            ++i;
        else if (c >= 'A' && c <= 'Z')
            out[i] = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

inline bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && FoldName(a) == FoldName(b);
}

} // namespace tavrin::win
