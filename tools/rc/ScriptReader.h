// Reading resource scripts: the preprocessor subset (#include of id headers,
// #define, #undef, #if/#ifdef/#ifndef/#elif/#else/#endif) and the tokens of
// the script itself, each with its file and line for error messages.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavrin::rc {

struct Where {
    std::string file;
    int line = 0;
};

// "file:line: message", what the compiler reports and stops on.
class CompileError : public std::runtime_error {
public:
    CompileError(const Where& where, const std::string& message)
        : std::runtime_error(where.file + ":" + std::to_string(where.line) + ": " + message), m_where(where)
    {
    }
    const Where& where() const { return m_where; }

private:
    Where m_where;
};

enum class TokenKind { Name, Number, String, Punct, End };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;   // names and punctuation as written; strings unescaped (UTF-8)
    int64_t number = 0; // numbers
    bool wide = false;  // L"..."
    Where where;
};

class ScriptReader {
public:
    explicit ScriptReader(std::vector<std::filesystem::path> includeDirs) : m_includeDirs(std::move(includeDirs)) {}

    // Reads a script (and what it includes) into tokens; headers (.h) give
    // only their definitions.
    std::vector<Token> Read(const std::filesystem::path& script);
    // Defines a symbol as if by #define.
    void Define(const std::string& name, const std::string& value) { m_defines[name] = value; }
    // The value of a defined symbol, expanded; false when it is not defined
    // or not a number.
    bool Lookup(const std::string& name, int64_t& value, const Where& where) const;

private:
    void ReadFile(const std::filesystem::path& path, bool header, std::vector<Token>& out, int depth);
    void Directive(const std::string& line, const Where& where, const std::filesystem::path& dir, bool header,
                   std::vector<Token>& out, int depth);
    int64_t Evaluate(const std::string& text, const Where& where, bool allowDefined, int depth) const;
    bool Active() const;

    std::vector<std::filesystem::path> m_includeDirs;
    std::map<std::string, std::string> m_defines;
    // One entry per open #if: whether its branch is taken, whether one was taken.
    struct Cond {
        bool taking;
        bool taken;
        bool parentActive;
        int line;
    };
    std::vector<Cond> m_conds;
    int m_lastLine = 0;
};

// Splits one line or string of the script into tokens (used for #define values).
std::vector<Token> Tokenize(const std::string& text, const Where& where);

} // namespace tavrin::rc
