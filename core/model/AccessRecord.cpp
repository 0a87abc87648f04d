#include "core/model/AccessRecord.h"

#include <string_view>

namespace tavrin {

const char kDefaultAccessPassword[] = "~!q7#Lm2%(zT8)+wR5=vK!3^pX9&sN6*<bH4>jD1?gF0[cY7]eU2 aW5x ";

namespace {

// A count: one to nine decimal digits, nothing else.
bool ParseCount(std::string_view text, size_t* value)
{
    if (text.empty() || text.size() > 9)
        return false;
    size_t n = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + static_cast<size_t>(c - '0');
    }
    *value = n;
    return true;
}

AccessState Mismatch()
{
    AccessState state;
    state.locked = TRUE;
    state.enabled = TRUE;
    state.password = kDefaultAccessPassword;
    return state;
}

} // namespace

CString MakeAccessRecord(const CString& cookie, const CString& password, const CString& accessPassword,
                         BOOL enabled)
{
    CString record;
    record.Format("%d:%d:%d:", cookie.GetLength(), password.GetLength(), accessPassword.GetLength());
    record += cookie;
    record += password;
    record += accessPassword;
    record += enabled ? "1" : "0";
    return record;
}

AccessState ReadAccessRecord(const CString& record, const CString& cookie, const CString& password)
{
    std::string_view r = record.View();
    if (r.empty()) {
        if (cookie.IsEmpty() && password.IsEmpty())
            return AccessState();
        return Mismatch();
    }
    size_t colon1 = r.find(':');
    size_t colon2 = colon1 == std::string_view::npos ? colon1 : r.find(':', colon1 + 1);
    size_t colon3 = colon2 == std::string_view::npos ? colon2 : r.find(':', colon2 + 1);
    if (colon3 == std::string_view::npos)
        return Mismatch();
    size_t n1 = 0, n2 = 0, n3 = 0;
    if (!ParseCount(r.substr(0, colon1), &n1) || !ParseCount(r.substr(colon1 + 1, colon2 - colon1 - 1), &n2) ||
        !ParseCount(r.substr(colon2 + 1, colon3 - colon2 - 1), &n3))
        return Mismatch();
    // The counts must describe the rest exactly: the three texts and the flag.
    std::string_view t = r.substr(colon3 + 1);
    if (t.size() != n1 + n2 + n3 + 1)
        return Mismatch();
    if (t.substr(0, n1) != cookie.View() || t.substr(n1, n2) != password.View())
        return Mismatch();
    char flag = t.back();
    if (flag != '0' && flag != '1')
        return Mismatch();
    AccessState state;
    state.enabled = flag == '1';
    state.password = CString(t.substr(n1 + n2, n3));
    state.locked = !state.password.IsEmpty() && state.enabled;
    return state;
}

} // namespace tavrin
