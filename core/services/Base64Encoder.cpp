#include "core/services/Base64Encoder.h"

#include <string>

namespace {
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr size_t kLineLength = 72;
} // namespace

BOOL CBase64Encoder::Encode(const BYTE* data, int length, CString& out, BOOL breakLines)
{
    size_t count = data && length > 0 ? static_cast<size_t>(length) : 0;
    size_t groups = (count + 2) / 3;
    std::string text;
    text.reserve(groups * 4 + (breakLines ? groups * 4 / kLineLength * 2 : 0));

    size_t encoded = 0;
    size_t i = 0;
    for (; i + 3 <= count; i += 3) {
        unsigned v = (unsigned(data[i]) << 16) | (unsigned(data[i + 1]) << 8) | data[i + 2];
        text += kAlphabet[(v >> 18) & 63];
        text += kAlphabet[(v >> 12) & 63];
        text += kAlphabet[(v >> 6) & 63];
        text += kAlphabet[v & 63];
        encoded += 4;
        if (breakLines && encoded % kLineLength == 0)
            text += "\r\n";
    }
    if (count - i == 1) {
        unsigned v = unsigned(data[i]) << 16;
        text += kAlphabet[(v >> 18) & 63];
        text += kAlphabet[(v >> 12) & 63];
        text += "==";
    } else if (count - i == 2) {
        unsigned v = (unsigned(data[i]) << 16) | (unsigned(data[i + 1]) << 8);
        text += kAlphabet[(v >> 18) & 63];
        text += kAlphabet[(v >> 12) & 63];
        text += kAlphabet[(v >> 6) & 63];
        text += '=';
    }
    out = CString(std::move(text));
    return TRUE;
}
