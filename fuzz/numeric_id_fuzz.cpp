// Ids from remote pages compared as numbers: up to three ids, one a line.
// The comparison is a total order whatever the text (antisymmetric,
// transitive), leading zeros never count, ids that fit 64 bits compare as
// their values, and every number sorts before every other text.
#include "fuzz/FuzzText.h"
#include "providers/common/NumericId.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

int Compare(const std::string& a, const std::string& b)
{
    int c = tavrin::CompareIds(CString(a), CString(b));
    FUZZ_CHECK(c == -1 || c == 0 || c == 1);
    FUZZ_CHECK(tavrin::IdsEqual(CString(a), CString(b)) == (c == 0));
    return c;
}

// Value of a number of at most 19 significant digits.
bool Small(const std::string& id, unsigned long long& value)
{
    size_t first = id.find_first_not_of('0');
    if (first != std::string::npos && id.size() - first > 19)
        return false;
    value = std::strtoull(id.c_str(), nullptr, 10);
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> ids = fuzz::SplitInput(std::string_view(reinterpret_cast<const char*>(data), size), '\n');
    ids.resize(3);
    for (const std::string& a : ids) {
        FUZZ_CHECK(Compare(a, a) == 0);
        bool numeric = tavrin::IsNumericId(CString(a));
        FUZZ_CHECK(numeric == (!a.empty() && a.find_first_not_of("0123456789") == std::string::npos));
        if (numeric) {
            FUZZ_CHECK(Compare("000" + a, a) == 0);
            FUZZ_CHECK(Compare(a + "1", a) > 0);
            FUZZ_CHECK(Compare(a, "x") < 0 && Compare("", a) > 0);
        }
        for (const std::string& b : ids) {
            int ab = Compare(a, b);
            FUZZ_CHECK(Compare(b, a) == -ab);
            unsigned long long x = 0, y = 0;
            if (numeric && tavrin::IsNumericId(CString(b)) && Small(a, x) && Small(b, y))
                FUZZ_CHECK(ab == (x < y ? -1 : (x > y ? 1 : 0)));
            if (numeric != tavrin::IsNumericId(CString(b)))
                FUZZ_CHECK(ab == (numeric ? -1 : 1));
            for (const std::string& c : ids) {
                int bc = Compare(b, c);
                if (ab <= 0 && bc <= 0)
                    FUZZ_CHECK(Compare(a, c) <= 0);
                if (ab == 0)
                    FUZZ_CHECK(Compare(a, c) == bc);
            }
        }
    }
    return 0;
}
