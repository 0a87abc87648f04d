// The tag removers as plainly stated: search from the start of the text
// after every deletion, stepping over double-byte characters. The unit tests
// and the fuzz target hold the program's removers against it.
#pragma once

#include "platform/base/String.h"

#include <string>

namespace fuzz {

// The first occurrence of needle at a character start at or after from.
inline size_t FindChars(const std::string& s, const std::string& needle, size_t from)
{
    for (size_t i = from; i + needle.size() <= s.size(); i += tavrin::CharLength(s.data() + i, s.data() + s.size()))
        if (s.compare(i, needle.size(), needle) == 0)
            return i;
    return std::string::npos;
}

// Deletes open through the next close after it, searching again from the
// start after every deletion.
inline std::string RemoveSpansPlainly(std::string s, const std::string& open, const std::string& close)
{
    for (;;) {
        size_t p = FindChars(s, open, 0);
        size_t q = p == std::string::npos ? p : FindChars(s, close, p);
        if (q == std::string::npos)
            return s;
        s.erase(p, q + close.size() - p);
    }
}

// Deletes every occurrence of needle in one pass from the start.
inline std::string RemoveAllPlainly(std::string s, const std::string& needle)
{
    for (size_t at = 0; (at = FindChars(s, needle, at)) != std::string::npos;)
        s.erase(at, needle.size());
    return s;
}

} // namespace fuzz
