// The text of a single-line edit: GBK bytes with a selection whose ends
// always lie on character boundaries, a length limit that cuts only between
// characters, a one-step undo and the modified flag. No window: the "EDIT"
// control drives it and draws it.
#pragma once

#include <string>
#include <string_view>

namespace tavrin::controls {

class EditText {
public:
    static constexpr int kMaxLimit = 0x7FFFFFFE;

    const std::string& Text() const { return m_text; }
    int Length() const { return static_cast<int>(m_text.size()); }
    // Replaces everything; the selection goes to the start, undo is emptied.
    void SetText(std::string_view text);

    int Anchor() const { return m_anchor; }
    int Caret() const { return m_caret; }
    int SelStart() const { return m_anchor < m_caret ? m_anchor : m_caret; }
    int SelEnd() const { return m_anchor < m_caret ? m_caret : m_anchor; }
    bool HasSelection() const { return m_anchor != m_caret; }
    std::string Selection() const { return m_text.substr(SelStart(), SelEnd() - SelStart()); }
    // Both ends are snapped back to character boundaries and into the text.
    void Select(int anchor, int caret);

    // Replaces the selection with as much of text as the limit leaves room
    // for, cut between characters; the caret goes after it. Returns false
    // when nothing changed. *cut tells that text did not fit whole.
    bool Replace(std::string_view text, bool undoable, bool* cut = nullptr);
    // Typing: consecutive characters make one undo step.
    bool Type(std::string_view character, bool* cut = nullptr);

    int Limit() const { return m_limit; }
    void SetLimit(int limit) { m_limit = (limit <= 0 || limit > kMaxLimit) ? kMaxLimit : limit; }

    bool CanUndo() const { return m_canUndo; }
    // Swaps the text with the one before the last change (so a second undo redoes).
    bool Undo();
    void EmptyUndo() { m_canUndo = false; m_typing = false; }

    bool Modified() const { return m_modified; }
    void SetModified(bool modified) { m_modified = modified; }

    // Character boundaries around a byte position.
    int Snap(int pos) const;
    int Prev(int pos) const;
    int Next(int pos) const;
    int WordLeft(int pos) const;
    int WordRight(int pos) const;
    int CharCount() const;
    // The byte position of the n-th character (clamped).
    int PosOfChar(int n) const;
    int CharOfPos(int pos) const;

private:
    void Remember();

    std::string m_text;
    int m_anchor = 0;
    int m_caret = 0;
    int m_limit = kMaxLimit;
    bool m_modified = false;
    bool m_canUndo = false;
    bool m_typing = false; // the last change was typing at the caret
    std::string m_undoText;
    int m_undoAnchor = 0;
    int m_undoCaret = 0;
};

} // namespace tavrin::controls
