#include "platform/controls/EditText.h"

#include <gtest/gtest.h>

using tavrin::controls::EditText;

namespace {

// "a", 中 (D6 D0), a character whose trail byte is a backslash (81 5C), "b".
const std::string kMixed = "a\xD6\xD0\x81\x5C" "b";

} // namespace

TEST(EditText, BoundariesNeverSplitADoubleByteCharacter)
{
    EditText t;
    t.SetText(kMixed);
    struct Case {
        int pos, snap, prev, next;
    } cases[] = {
        {0, 0, 0, 1}, {1, 1, 0, 3}, {2, 1, 0, 3}, {3, 3, 1, 5}, {4, 3, 1, 5}, {5, 5, 3, 6}, {6, 6, 5, 6}, {9, 6, 5, 6},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(t.Snap(c.pos), c.snap) << c.pos;
        EXPECT_EQ(t.Prev(c.pos), c.prev) << c.pos;
        EXPECT_EQ(t.Next(c.pos), c.next) << c.pos;
    }
    EXPECT_EQ(t.CharCount(), 4);
    EXPECT_EQ(t.PosOfChar(2), 3);
    EXPECT_EQ(t.CharOfPos(5), 3);
    t.Select(2, 4); // inside characters: snapped back
    EXPECT_EQ(t.SelStart(), 1);
    EXPECT_EQ(t.SelEnd(), 3);
}

TEST(EditText, TheLimitCutsBetweenCharacters)
{
    EditText t;
    t.SetLimit(4);
    bool cut = false;
    EXPECT_TRUE(t.Replace("a\xD6\xD0\xD6\xD0", true, &cut)); // a中中: only a中 fits
    EXPECT_TRUE(cut);
    EXPECT_EQ(t.Text(), "a\xD6\xD0");
    EXPECT_FALSE(t.Replace("\xD6\xD0", true, &cut)); // one byte left: the character does not fit
    EXPECT_TRUE(cut);
    EXPECT_TRUE(t.Replace("x", true, &cut));
    EXPECT_FALSE(cut);
    EXPECT_EQ(t.Text(), "a\xD6\xD0x");
    t.SetLimit(0); // back to the largest
    EXPECT_EQ(t.Limit(), EditText::kMaxLimit);
}

TEST(EditText, UndoSwapsAndTypingIsOneStep)
{
    EditText t;
    t.SetText("ab");
    EXPECT_FALSE(t.CanUndo());
    EXPECT_FALSE(t.Modified());
    t.Select(2, 2);
    for (const char* c : {"c", "d", "e"})
        t.Type(c);
    EXPECT_EQ(t.Text(), "abcde");
    EXPECT_TRUE(t.Modified());
    EXPECT_TRUE(t.Undo());
    EXPECT_EQ(t.Text(), "ab");
    EXPECT_TRUE(t.Undo()); // a second undo redoes
    EXPECT_EQ(t.Text(), "abcde");
    t.Select(0, 2);
    t.Replace("", true);
    EXPECT_EQ(t.Text(), "cde");
    t.Undo();
    EXPECT_EQ(t.Text(), "abcde");
    t.Replace("z", false); // not undoable: the undo is gone
    EXPECT_FALSE(t.CanUndo());
}

TEST(EditText, WordMoves)
{
    EditText t;
    t.SetText("one two  three");
    EXPECT_EQ(t.WordRight(0), 4);
    EXPECT_EQ(t.WordRight(4), 9);
    EXPECT_EQ(t.WordLeft(14), 9);
    EXPECT_EQ(t.WordLeft(9), 4);
    EXPECT_EQ(t.WordLeft(2), 0);
}
