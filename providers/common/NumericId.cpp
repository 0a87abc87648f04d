#include "providers/common/NumericId.h"

#include <string_view>

namespace tavrin {

namespace {

std::string_view Significant(std::string_view digits)
{
    size_t first = digits.find_first_not_of('0');
    return first == std::string_view::npos ? std::string_view() : digits.substr(first);
}

} // namespace

bool IsNumericId(const CString& id)
{
    std::string_view s = id.View();
    if (s.empty())
        return false;
    for (char c : s)
        if (c < '0' || c > '9')
            return false;
    return true;
}

int CompareIds(const CString& a, const CString& b)
{
    bool na = IsNumericId(a);
    bool nb = IsNumericId(b);
    if (na && nb) {
        std::string_view x = Significant(a.View());
        std::string_view y = Significant(b.View());
        if (x.size() != y.size())
            return x.size() < y.size() ? -1 : 1;
        int c = x.compare(y);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if (na != nb)
        return na ? -1 : 1;
    int c = a.View().compare(b.View());
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

} // namespace tavrin
