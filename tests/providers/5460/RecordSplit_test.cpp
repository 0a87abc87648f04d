#include "providers/5460/RecordSplit.h"

#include <gtest/gtest.h>

namespace tavrin::p5460 {
namespace {

std::vector<std::string> Strings(const std::vector<CString>& v)
{
    std::vector<std::string> out;
    for (const CString& s : v)
        out.push_back(s.Str());
    return out;
}

TEST(RecordSplit, Records)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(Strings(SplitRecords("a^~`@b^~`@")), (V{"a", "b"}));
    EXPECT_EQ(Strings(SplitRecords("^~`@^~`@a^~`@^~`@b")), (V{"a", "b"}));
    EXPECT_EQ(Strings(SplitRecords("")), V{});
    // "\x81\x5E" is one character whose second byte is '^': no separator
    // starts inside it, the one after it counts.
    EXPECT_EQ(Strings(SplitRecords("\x81^~`@x")), (V{"\x81^~`@x"}));
    EXPECT_EQ(Strings(SplitRecords("\x81\x41^~`@x")), (V{"\x81\x41", "x"}));
}

TEST(RecordSplit, Fields)
{
    using V = std::vector<std::string>;
    struct Case {
        const char* record;
        V fields;
    } cases[] = {
        {"a`|b`|c", {"a", "b", "c"}},
        {"a`|`|c", {"a", "", "c"}},
        {"`|b", {"", "b"}},
        {"a`|", {"a", ""}},
        {"`|`|", {"", "", ""}},
        {"`|", {}},
        {"", {}},
        {"solo", {"solo"}},
        // '`' as the second byte of a double-byte character is no separator.
        {"\x81`|x", {"\x81`|x"}},
        {"\x81\x60`|x", {"\x81\x60", "x"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Strings(SplitFields(c.record)), c.fields) << c.record;
    auto fields = SplitFields("a`|b");
    EXPECT_EQ(FieldAt(fields, 1), CString("b"));
    EXPECT_EQ(FieldAt(fields, 9), CString(""));
}

} // namespace
} // namespace tavrin::p5460
