#include "platform/win/Locale.h"

#include "platform/win/NameFold.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

#define ERROR_INVALID_FLAGS 1004L

namespace {

struct Language {
    const char* code;  // ISO 639-1
    WORD primary;      // the primary language id of a locale id
    const char* name;  // its English name
};

const Language kLanguages[] = {
    {"ar", 0x01, "Arabic"},    {"bg", 0x02, "Bulgarian"},  {"ca", 0x03, "Catalan"},   {"zh", 0x04, "Chinese"},
    {"cs", 0x05, "Czech"},     {"da", 0x06, "Danish"},     {"de", 0x07, "German"},    {"el", 0x08, "Greek"},
    {"en", 0x09, "English"},   {"es", 0x0A, "Spanish"},    {"fi", 0x0B, "Finnish"},   {"fr", 0x0C, "French"},
    {"he", 0x0D, "Hebrew"},    {"hu", 0x0E, "Hungarian"},  {"it", 0x10, "Italian"},   {"ja", 0x11, "Japanese"},
    {"ko", 0x12, "Korean"},    {"nl", 0x13, "Dutch"},      {"nb", 0x14, "Norwegian"}, {"no", 0x14, "Norwegian"},
    {"pl", 0x15, "Polish"},    {"pt", 0x16, "Portuguese"}, {"ro", 0x18, "Romanian"},  {"ru", 0x19, "Russian"},
    {"sv", 0x1D, "Swedish"},   {"th", 0x1E, "Thai"},       {"tr", 0x1F, "Turkish"},   {"uk", 0x22, "Ukrainian"},
    {"vi", 0x2A, "Vietnamese"},
};

std::mutex g_lock;
std::string g_override;

// The language code of the user's locale ("zh" of "zh_CN.UTF-8").
std::string UserLanguageCode()
{
    std::string name;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        name = g_override;
    }
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (!name.empty())
            break;
        const char* value = getenv(variable);
        if (value && *value)
            name = value;
    }
    const std::string code = tavrin::win::FoldName(name.substr(0, name.find_first_of("_.@")));
    if (code.empty() || code == "c" || code == "posix")
        return "en";
    return code;
}

} // namespace

void tavrin::win::SetUserLocaleName(const std::string& name)
{
    std::lock_guard<std::mutex> guard(g_lock);
    g_override = name;
}

int GetLocaleInfoA(LCID locale, LCTYPE type, LPSTR data, int size)
{
    type &= 0x0FFFFFFF; // LOCALE_NOUSEROVERRIDE and friends
    if (type != LOCALE_SENGLANGUAGE && type != LOCALE_SISO639LANGNAME) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    if (size < 0 || (size > 0 && !data)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const Language* language = nullptr;
    std::string code;
    if (locale == LOCALE_USER_DEFAULT || locale == LOCALE_SYSTEM_DEFAULT || locale == 0) {
        code = UserLanguageCode();
        for (const Language& l : kLanguages)
            if (code == l.code)
                language = &l;
    } else {
        for (const Language& l : kLanguages)
            if ((locale & 0x3FF) == l.primary && !language)
                language = &l;
        if (!language) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
    }
    // A language without an entry answers with its code.
    const std::string text = type == LOCALE_SENGLANGUAGE ? (language ? language->name : code)
                                                        : (language ? language->code : code);
    const int needed = static_cast<int>(text.size()) + 1;
    if (size == 0)
        return needed;
    if (size < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    memcpy(data, text.c_str(), static_cast<size_t>(needed));
    return needed;
}
