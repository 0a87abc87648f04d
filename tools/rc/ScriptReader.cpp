#include "tools/rc/ScriptReader.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <fstream>
#include <sstream>

namespace tavrin::rc {

namespace fs = std::filesystem;

namespace {

constexpr int kMaxDepth = 32;

bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

void AppendUtf8(std::string& out, uint32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Scans the text from pos; lines counted in *line. Comments are skipped.
// Returns false at the end of the text.
bool NextToken(const std::string& s, size_t& pos, int& line, Token& token, const std::string& file)
{
    for (;;) {
        while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t' || s[pos] == '\r' || s[pos] == '\n' ||
                                  s[pos] == '\f' || s[pos] == '\v')) {
            if (s[pos] == '\n')
                ++line;
            ++pos;
        }
        if (s.compare(pos, 2, "//") == 0) {
            while (pos < s.size() && s[pos] != '\n')
                ++pos;
            continue;
        }
        if (s.compare(pos, 2, "/*") == 0) {
            const int start = line;
            size_t end = s.find("*/", pos + 2);
            if (end == std::string::npos)
                throw CompileError({file, start}, "unterminated comment");
            for (size_t i = pos; i < end; ++i)
                line += s[i] == '\n';
            pos = end + 2;
            continue;
        }
        break;
    }
    if (pos >= s.size())
        return false;
    token = Token{};
    token.where = {file, line};
    const char c = s[pos];
    if ((c == 'L' || c == 'l') && pos + 1 < s.size() && s[pos + 1] == '"') {
        token.wide = true;
        ++pos;
    }
    if (s[pos] == '"') {
        token.kind = TokenKind::String;
        ++pos;
        for (;;) {
            if (pos >= s.size() || s[pos] == '\n')
                throw CompileError(token.where, "unterminated string");
            char ch = s[pos++];
            if (ch == '"') {
                if (pos < s.size() && s[pos] == '"') { // "" stands for one quote
                    token.text += '"';
                    ++pos;
                    continue;
                }
                break;
            }
            if (ch != '\\') {
                token.text += ch;
                continue;
            }
            if (pos >= s.size())
                throw CompileError(token.where, "unterminated string");
            ch = s[pos++];
            switch (ch) {
            case 'n': token.text += '\n'; break;
            case 't': token.text += '\t'; break;
            case 'r': token.text += '\r'; break;
            case 'a': token.text += '\b'; break; // rc's \a is a right-aligning backspace
            case '0': token.text += '\0'; break;
            case '\\': token.text += '\\'; break;
            case '"': token.text += '"'; break;
            case 'x': {
                uint32_t v = 0;
                int digits = 0;
                while (pos < s.size() && digits < 4 && std::isxdigit(static_cast<unsigned char>(s[pos]))) {
                    v = v * 16 + static_cast<uint32_t>(std::stoi(std::string(1, s[pos]), nullptr, 16));
                    ++pos;
                    ++digits;
                }
                if (!digits)
                    throw CompileError(token.where, "bad \\x escape");
                AppendUtf8(token.text, v);
                break;
            }
            default:
                throw CompileError(token.where, std::string("unknown escape \\") + ch);
            }
        }
        return true;
    }
    if (std::isdigit(static_cast<unsigned char>(s[pos]))) {
        token.kind = TokenKind::Number;
        size_t start = pos;
        int base = 10;
        if (s[pos] == '0' && pos + 1 < s.size() && (s[pos + 1] == 'x' || s[pos + 1] == 'X')) {
            base = 16;
            pos += 2;
        }
        size_t digitsStart = pos;
        while (pos < s.size() && std::isxdigit(static_cast<unsigned char>(s[pos])))
            ++pos;
        token.text = s.substr(start, pos - start);
        try {
            token.number = static_cast<int64_t>(std::stoull(s.substr(digitsStart, pos - digitsStart), nullptr, base));
        } catch (const std::exception&) {
            throw CompileError(token.where, "bad number " + token.text);
        }
        while (pos < s.size() && (s[pos] == 'L' || s[pos] == 'l' || s[pos] == 'U' || s[pos] == 'u'))
            ++pos;
        if (pos < s.size() && IsNameChar(s[pos]))
            throw CompileError(token.where, "bad number " + token.text);
        return true;
    }
    if (IsNameStart(s[pos])) {
        token.kind = TokenKind::Name;
        size_t start = pos;
        while (pos < s.size() && IsNameChar(s[pos]))
            ++pos;
        token.text = s.substr(start, pos - start);
        return true;
    }
    token.kind = TokenKind::Punct;
    static const char* const kTwo[] = {"<<", ">>", "&&", "||", "==", "!="};
    for (const char* two : kTwo)
        if (s.compare(pos, 2, two) == 0) {
            token.text = two;
            pos += 2;
            return true;
        }
    token.text = std::string(1, s[pos++]);
    return true;
}

std::string Trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t\r");
    size_t e = s.find_last_not_of(" \t\r");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

} // namespace

std::vector<Token> Tokenize(const std::string& text, const Where& where)
{
    std::vector<Token> out;
    size_t pos = 0;
    int line = where.line;
    Token t;
    while (NextToken(text, pos, line, t, where.file))
        out.push_back(t);
    return out;
}

std::vector<Token> ScriptReader::Read(const fs::path& script)
{
    std::vector<Token> out;
    m_conds.clear();
    ReadFile(script, false, out, 0);
    Token end;
    end.where = {script.string(), m_lastLine};
    out.push_back(end);
    return out;
}

bool ScriptReader::Active() const
{
    return m_conds.empty() || (m_conds.back().taking && m_conds.back().parentActive);
}

void ScriptReader::ReadFile(const fs::path& path, bool header, std::vector<Token>& out, int depth)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw CompileError({path.string(), 0}, "cannot read " + path.string());
    std::stringstream ss;
    ss << in.rdbuf();
    std::string text = ss.str();
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    const std::string file = path.string();
    const size_t conds = m_conds.size();

    // Line by line: directives are whole lines; the rest is scanned as tokens,
    // comments may span lines.
    size_t pos = 0;
    int line = 1;
    while (pos < text.size()) {
        size_t p = pos;
        while (p < text.size() && (text[p] == ' ' || text[p] == '\t'))
            ++p;
        if (p < text.size() && text[p] == '#') {
            std::string directive;
            int start = line;
            for (;;) {
                size_t eol = text.find('\n', p);
                if (eol == std::string::npos)
                    eol = text.size();
                std::string part = text.substr(p, eol - p);
                if (!part.empty() && part.back() == '\r')
                    part.pop_back();
                pos = eol < text.size() ? eol + 1 : eol;
                ++line;
                if (!part.empty() && part.back() == '\\') {
                    directive += part.substr(0, part.size() - 1) + " ";
                    p = pos;
                    continue;
                }
                directive += part;
                break;
            }
            // A // comment ends the directive.
            bool inString = false;
            for (size_t i = 0; i < directive.size(); ++i) {
                if (directive[i] == '"')
                    inString = !inString;
                if (!inString && directive.compare(i, 2, "//") == 0) {
                    directive.resize(i);
                    break;
                }
            }
            Directive(directive.substr(directive.find('#') + 1), {file, start}, path.parent_path(), header, out,
                      depth);
            continue;
        }
        // One line of script (a comment may carry on past it).
        size_t eol = text.find('\n', pos);
        size_t lineEnd = eol == std::string::npos ? text.size() : eol + 1;
        std::string chunk = text.substr(pos, lineEnd - pos);
        size_t open = chunk.rfind("/*");
        if (open != std::string::npos && chunk.find("*/", open) == std::string::npos) {
            size_t close = text.find("*/", pos + open);
            if (close == std::string::npos)
                throw CompileError({file, line}, "unterminated comment");
            size_t next = text.find('\n', close);
            lineEnd = next == std::string::npos ? text.size() : next + 1;
            chunk = text.substr(pos, lineEnd - pos);
        }
        if (Active() && !header) {
            size_t cp = 0;
            int l = line;
            Token t;
            while (NextToken(chunk, cp, l, t, file))
                out.push_back(t);
        }
        for (char ch : chunk)
            line += ch == '\n';
        pos = lineEnd;
    }
    if (m_conds.size() != conds)
        throw CompileError({file, m_conds.back().line}, "#if without #endif");
    m_lastLine = line;
}

void ScriptReader::Directive(const std::string& raw, const Where& where, const fs::path& dir, bool header,
                             std::vector<Token>& out, int depth)
{
    std::string line = Trim(raw);
    size_t nameEnd = 0;
    while (nameEnd < line.size() && IsNameChar(line[nameEnd]))
        ++nameEnd;
    const std::string name = line.substr(0, nameEnd);
    const std::string rest = Trim(line.substr(nameEnd));

    if (name == "if" || name == "ifdef" || name == "ifndef") {
        bool parent = Active();
        bool value = false;
        if (parent) {
            if (name == "if")
                value = Evaluate(rest, where, true, 0) != 0;
            else
                value = m_defines.count(rest) == (name == "ifdef" ? 1u : 0u);
        }
        m_conds.push_back({value, value, parent, where.line});
        return;
    }
    if (name == "elif" || name == "else") {
        if (m_conds.empty())
            throw CompileError(where, "#" + name + " without #if");
        Cond& c = m_conds.back();
        bool value = !c.taken && (name == "else" || (c.parentActive && Evaluate(rest, where, true, 0) != 0));
        c.taking = value;
        c.taken = c.taken || value;
        return;
    }
    if (name == "endif") {
        if (m_conds.empty())
            throw CompileError(where, "#endif without #if");
        m_conds.pop_back();
        return;
    }
    if (!Active())
        return;
    if (name == "define") {
        size_t e = 0;
        while (e < rest.size() && IsNameChar(rest[e]))
            ++e;
        if (e == 0)
            throw CompileError(where, "#define without a name");
        if (e < rest.size() && rest[e] == '(')
            return; // function-like macros mean nothing to resources
        m_defines[rest.substr(0, e)] = Trim(rest.substr(e));
        return;
    }
    if (name == "undef") {
        m_defines.erase(rest);
        return;
    }
    if (name == "include") {
        const bool quoted = rest.size() >= 2 && ((rest.front() == '"' && rest.back() == '"') ||
                                                 (rest.front() == '<' && rest.back() == '>'));
        if (!quoted)
            throw CompileError(where, "bad #include");
        const std::string target = rest.substr(1, rest.size() - 2);
        if (depth >= kMaxDepth)
            throw CompileError(where, "#include nested too deeply");
        std::vector<fs::path> candidates{dir / target};
        for (const auto& d : m_includeDirs)
            candidates.push_back(d / target);
        for (const auto& c : candidates) {
            if (fs::is_regular_file(c)) {
                const std::string ext = c.extension().string();
                const bool isHeader = header || !(ext == ".rc" || ext == ".rc2" || ext == ".dlg");
                ReadFile(c, isHeader, out, depth + 1);
                return;
            }
        }
        throw CompileError(where, "cannot find " + target);
    }
    if (name == "error")
        throw CompileError(where, "#error " + rest);
    // #pragma, #line and the like change nothing here.
}

bool ScriptReader::Lookup(const std::string& name, int64_t& value, const Where& where) const
{
    auto it = m_defines.find(name);
    if (it == m_defines.end())
        return false;
    value = Evaluate(it->second, where, false, 1);
    return true;
}

// Integer expressions of #if and #define values: numbers, symbols, unary
// - ~ !, binary | & ^ + - * / << >> == != < > && ||, parentheses.
int64_t ScriptReader::Evaluate(const std::string& text, const Where& where, bool allowDefined, int depth) const
{
    if (depth > kMaxDepth)
        throw CompileError(where, "symbol defined in terms of itself");
    std::vector<Token> tokens = Tokenize(text, where);
    size_t i = 0;
    auto peek = [&]() -> const Token* { return i < tokens.size() ? &tokens[i] : nullptr; };
    auto isPunct = [&](const char* p) { return peek() && peek()->kind == TokenKind::Punct && peek()->text == p; };
    std::function<int64_t(int)> binary;
    std::function<int64_t()> unary = [&]() -> int64_t {
        const Token* t = peek();
        if (!t)
            throw CompileError(where, "expression expected");
        ++i;
        if (t->kind == TokenKind::Number)
            return t->number;
        if (t->kind == TokenKind::Name) {
            if (allowDefined && t->text == "defined") {
                bool paren = isPunct("(");
                if (paren)
                    ++i;
                if (!peek() || peek()->kind != TokenKind::Name)
                    throw CompileError(where, "defined needs a name");
                bool d = m_defines.count(tokens[i++].text) > 0;
                if (paren) {
                    if (!isPunct(")"))
                        throw CompileError(where, "missing )");
                    ++i;
                }
                return d;
            }
            auto it = m_defines.find(t->text);
            if (it == m_defines.end()) {
                if (allowDefined)
                    return 0;
                throw CompileError(where, "undefined symbol " + t->text);
            }
            return Evaluate(it->second, where, allowDefined, depth + 1);
        }
        if (t->kind == TokenKind::Punct) {
            if (t->text == "(") {
                int64_t v = binary(0);
                if (!isPunct(")"))
                    throw CompileError(where, "missing )");
                ++i;
                return v;
            }
            if (t->text == "-")
                return -unary();
            if (t->text == "+")
                return unary();
            if (t->text == "~")
                return ~unary();
            if (t->text == "!")
                return !unary();
        }
        throw CompileError(where, "unexpected " + t->text + " in expression");
    };
    static const std::vector<std::vector<std::string>> kLevels = {
        {"||"}, {"&&"}, {"|"}, {"^"}, {"&"}, {"==", "!="}, {"<", ">"}, {"<<", ">>"}, {"+", "-"}, {"*", "/", "%"}};
    binary = [&](int level) -> int64_t {
        if (level >= static_cast<int>(kLevels.size()))
            return unary();
        int64_t v = binary(level + 1);
        for (;;) {
            const Token* t = peek();
            if (!t || t->kind != TokenKind::Punct)
                return v;
            const auto& ops = kLevels[static_cast<size_t>(level)];
            if (std::find(ops.begin(), ops.end(), t->text) == ops.end())
                return v;
            const std::string op = t->text;
            ++i;
            int64_t r = binary(level + 1);
            if ((op == "/" || op == "%") && r == 0)
                throw CompileError(where, "division by zero");
            if (op == "||") v = v || r;
            else if (op == "&&") v = v && r;
            else if (op == "|") v |= r;
            else if (op == "^") v ^= r;
            else if (op == "&") v &= r;
            else if (op == "==") v = v == r;
            else if (op == "!=") v = v != r;
            else if (op == "<") v = v < r;
            else if (op == ">") v = v > r;
            else if (op == "<<") v <<= (r & 63);
            else if (op == ">>") v >>= (r & 63);
            else if (op == "+") v += r;
            else if (op == "-") v -= r;
            else if (op == "*") v *= r;
            else if (op == "/") v /= r;
            else v %= r;
        }
    };
    int64_t v = binary(0);
    if (i != tokens.size())
        throw CompileError(where, "unexpected " + tokens[i].text + " in expression");
    return v;
}

} // namespace tavrin::rc
