#include "platform/win/GbkText.h"

#include <iconv.h>

namespace tavrin {

namespace {

class Decoder {
public:
    Decoder() : m_cd(iconv_open("UTF-32LE", "CP936")) {}
    ~Decoder()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }
    char32_t Decode(const char* bytes, size_t n)
    {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            return 0xFFFD;
        char* in = const_cast<char*>(bytes);
        unsigned char out[8];
        char* o = reinterpret_cast<char*>(out);
        size_t inLeft = n, outLeft = sizeof out;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(m_cd, &in, &inLeft, &o, &outLeft) == static_cast<size_t>(-1) || inLeft != 0 || outLeft != 4)
            return 0xFFFD;
        return char32_t(out[0]) | (char32_t(out[1]) << 8) | (char32_t(out[2]) << 16) | (char32_t(out[3]) << 24);
    }

private:
    iconv_t m_cd;
};

void AppendUtf8(std::string& s, char32_t c)
{
    if (c < 0x80) {
        s += char(c);
    } else if (c < 0x800) {
        s += char(0xC0 | (c >> 6));
        s += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += char(0xE0 | (c >> 12));
        s += char(0x80 | ((c >> 6) & 0x3F));
        s += char(0x80 | (c & 0x3F));
    } else {
        s += char(0xF0 | (c >> 18));
        s += char(0x80 | ((c >> 12) & 0x3F));
        s += char(0x80 | ((c >> 6) & 0x3F));
        s += char(0x80 | (c & 0x3F));
    }
}

} // namespace

std::vector<TextChar> DecodeGbkText(std::string_view gbk)
{
    thread_local Decoder decoder;
    std::vector<TextChar> out;
    out.reserve(gbk.size());
    for (size_t i = 0; i < gbk.size();) {
        unsigned char b = static_cast<unsigned char>(gbk[i]);
        if (b < 0x80) {
            out.push_back({char32_t(b), int(i), 1});
            ++i;
        } else if (b >= 0x81 && b <= 0xFE && i + 1 < gbk.size()) {
            out.push_back({decoder.Decode(gbk.data() + i, 2), int(i), 2});
            i += 2;
        } else {
            out.push_back({b == 0x80 ? decoder.Decode(gbk.data() + i, 1) : char32_t(0xFFFD), int(i), 1});
            ++i;
        }
    }
    return out;
}

std::string GbkToUtf8Text(std::string_view gbk)
{
    std::string s;
    for (const TextChar& c : DecodeGbkText(gbk))
        AppendUtf8(s, c.code);
    return s;
}

} // namespace tavrin
