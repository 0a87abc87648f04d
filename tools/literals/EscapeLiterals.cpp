#include "tools/literals/EscapeLiterals.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>

namespace tavrin::tools {

bool Utf8ToGbk(std::string_view utf8, std::string& gbk)
{
    iconv_t cd = iconv_open("GBK", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string in(utf8);
    char* inPtr = in.data();
    size_t inLeft = in.size();
    std::string out(in.size() * 2 + 4, '\0');
    char* outPtr = out.data();
    size_t outLeft = out.size();
    size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (done == static_cast<size_t>(-1) || inLeft != 0)
        return false;
    gbk.assign(out.data(), out.size() - outLeft);
    return true;
}

namespace {

bool IsIdentStart(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsIdentChar(char c)
{
    return IsIdentStart(c) || (c >= '0' && c <= '9');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char c)
{
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

class Escaper {
public:
    explicit Escaper(std::string_view src) : src_(src) {}

    EscapeResult Run()
    {
        while (at_ < src_.size() && error_.empty()) {
            char c = src_[at_];
            if (StartsWith("//"))
                CopyUntil("\n", false);
            else if (StartsWith("/*"))
                CopyUntil("*/", true);
            else if (IsIdentStart(c))
                Identifier();
            else if (IsDigit(c) || (c == '.' && at_ + 1 < src_.size() && IsDigit(src_[at_ + 1])))
                Number();
            else if (c == '"' || c == '\'')
                Quoted(true);
            else
                Copy(1);
        }
        return {error_.empty() ? std::move(out_) : std::string(), error_};
    }

private:
    bool StartsWith(std::string_view s) const { return src_.substr(at_, s.size()) == s; }

    void Copy(size_t n)
    {
        for (size_t i = 0; i < n && at_ < src_.size(); ++i) {
            if (src_[at_] == '\n')
                ++line_;
            out_ += src_[at_++];
        }
    }

    void CopyUntil(std::string_view end, bool includeEnd)
    {
        size_t stop = src_.find(end, at_ + 2);
        if (stop == std::string_view::npos)
            stop = src_.size();
        else if (includeEnd)
            stop += end.size();
        Copy(stop - at_);
    }

    void Fail(const char* why)
    {
        char buf[64];
        std::snprintf(buf, sizeof buf, "line %d: ", line_);
        error_ = std::string(buf) + why;
    }

    void Identifier()
    {
        size_t start = at_;
        size_t end = at_;
        while (end < src_.size() && IsIdentChar(src_[end]))
            ++end;
        std::string_view word = src_.substr(start, end - start);
        char next = end < src_.size() ? src_[end] : '\0';
        Copy(end - start);
        if (next != '"' && next != '\'')
            return;
        if (word == "R" && next == '"')
            Raw(true);
        else if (word == "LR" || word == "uR" || word == "UR" || word == "u8R")
            Raw(false);
        else if (word == "L" || word == "u" || word == "U" || word == "u8")
            Quoted(false);
    }

    // A preprocessing number, so a digit separator is not taken for a quote.
    void Number()
    {
        size_t end = at_ + 1;
        while (end < src_.size()) {
            char c = src_[end];
            char prev = src_[end - 1];
            if (IsIdentChar(c) || c == '.')
                ++end;
            else if ((c == '+' || c == '-') && (prev == 'e' || prev == 'E' || prev == 'p' || prev == 'P'))
                ++end;
            else if (c == '\'' && end + 1 < src_.size() && IsIdentChar(src_[end + 1]))
                ++end;
            else
                break;
        }
        Copy(end - at_);
    }

    // The UTF-8 run starting at at_, as GBK bytes; advances past it.
    bool TakeNonAscii(std::string& gbk)
    {
        size_t end = at_;
        while (end < src_.size() && static_cast<unsigned char>(src_[end]) >= 0x80)
            ++end;
        if (!Utf8ToGbk(src_.substr(at_, end - at_), gbk)) {
            Fail("character in a literal has no GBK form");
            return false;
        }
        at_ = end;
        return true;
    }

    static void AppendHex(std::string& out, const std::string& bytes)
    {
        static const char kHex[] = "0123456789ABCDEF";
        for (unsigned char b : bytes) {
            out += "\\x";
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    }

    static void AppendOctal(std::string& out, const std::string& bytes)
    {
        for (unsigned char b : bytes) {
            out += '\\';
            out += static_cast<char>('0' + (b >> 6));
            out += static_cast<char>('0' + ((b >> 3) & 7));
            out += static_cast<char>('0' + (b & 7));
        }
    }

    // An ordinary quoted literal from its opening quote; convert is false
    // for the encoding-prefixed ones, which are copied as they stand.
    void Quoted(bool convert)
    {
        const char quote = src_[at_];
        Copy(1);
        while (at_ < src_.size()) {
            char c = src_[at_];
            if (c == quote) {
                Copy(1);
                return;
            }
            if (c == '\n') {
                Fail("unterminated literal");
                return;
            }
            if (c == '\\') {
                Copy(2);
                continue;
            }
            if (!convert || static_cast<unsigned char>(c) < 0x80) {
                Copy(1);
                continue;
            }
            std::string gbk;
            if (!TakeNonAscii(gbk))
                return;
            if (quote == '\'') {
                // Octal escapes never run on into the next character.
                AppendOctal(out_, gbk);
            } else {
                AppendHex(out_, gbk);
                // A hex escape would swallow a following hex digit: split.
                if (at_ < src_.size() && IsHexDigit(src_[at_]))
                    out_ += "\" \"";
            }
        }
        Fail("unterminated literal");
    }

    // A raw literal from its opening quote.
    void Raw(bool convert)
    {
        size_t open = src_.find('(', at_);
        if (open == std::string_view::npos) {
            Fail("malformed raw literal");
            return;
        }
        std::string delim(src_.substr(at_ + 1, open - at_ - 1));
        std::string close = ")" + delim + "\"";
        size_t end = src_.find(close, open);
        if (end == std::string_view::npos) {
            Fail("unterminated raw literal");
            return;
        }
        Copy(open + 1 - at_);
        while (at_ < end && error_.empty()) {
            if (!convert || static_cast<unsigned char>(src_[at_]) < 0x80) {
                Copy(1);
                continue;
            }
            std::string gbk;
            if (!TakeNonAscii(gbk))
                return;
            // Raw text has no escapes: close it, splice an ordinary literal in,
            // and reopen.
            out_ += close;
            out_ += " \"";
            AppendHex(out_, gbk);
            out_ += "\" R\"" + delim + "(";
        }
        Copy(close.size());
    }

    std::string_view src_;
    size_t at_ = 0;
    int line_ = 1;
    std::string out_;
    std::string error_;
};

} // namespace

EscapeResult EscapeLiterals(std::string_view source)
{
    return Escaper(source).Run();
}

} // namespace tavrin::tools
