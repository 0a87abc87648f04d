// The rich edit's content: GBK text in which each embedded object stands as
// one position, the selection, a one-step undo that brings objects back too,
// and the objects' records. Positions count bytes of the text, a double-byte
// character counting two and an object one. No window: "RICHEDIT" drives it.
#pragma once

#include "platform/controls/EditText.h"
#include "platform/controls/RichEditOle.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::controls {

// One embedded object: holds a reference to each interface it was given.
class EmbeddedObject {
public:
    explicit EmbeddedObject(const REOBJECT& record);
    ~EmbeddedObject();
    EmbeddedObject(const EmbeddedObject&) = delete;
    EmbeddedObject& operator=(const EmbeddedObject&) = delete;

    // The record at position cp, with the interfaces the flags ask for
    // (each one with a reference for the caller).
    void Fill(REOBJECT* out, LONG cp, DWORD flags) const;
    IOleObject* Object() const { return m_record.poleobj; }
    // The size to draw in pixels: the record's, else the object's natural one.
    SIZE Size() const;

private:
    REOBJECT m_record;
};

using ObjectRef = std::shared_ptr<EmbeddedObject>;

class RichEditText {
public:
    // The byte an object takes in the text. Text from outside never holds it.
    static constexpr char kObjectMark = '\x01';
    // What an object reads as in plain text.
    static constexpr char kObjectText = ' ';

    RichEditText() { m_text.SetLimit(32767); }

    // Line ends become CRLF, control bytes other than tab go, and a lead
    // byte without its trail byte is dropped.
    static std::string Clean(std::string_view text);

    // The text with each object as kObjectText.
    std::string PlainText() const;
    std::string PlainRange(int start, int end) const;
    int Length() const { return m_text.Length(); }
    const std::string& Raw() const { return m_text.Text(); }
    bool IsObjectAt(int pos) const
    {
        return pos >= 0 && pos < Length() && Raw()[static_cast<size_t>(pos)] == kObjectMark;
    }

    void SetText(std::string_view cleanText);
    int Anchor() const { return m_text.Anchor(); }
    int Caret() const { return m_text.Caret(); }
    int SelStart() const { return m_text.SelStart(); }
    int SelEnd() const { return m_text.SelEnd(); }
    bool HasSelection() const { return m_text.HasSelection(); }
    void Select(int anchor, int caret);

    // Replaces the selection with cleaned text; false when nothing changed.
    bool Replace(std::string_view cleanText, bool undoable);
    // Typing one character: consecutive characters make one undo step.
    bool Type(std::string_view character);
    // Puts an object in place of the selection (an undoable change).
    bool InsertObject(ObjectRef object);
    bool CanUndo() const { return m_text.CanUndo(); }
    bool Undo();
    void EmptyUndo();

    int Limit() const { return m_text.Limit(); }
    void SetLimit(int limit) { m_text.SetLimit(limit); }
    bool Modified() const { return m_text.Modified(); }
    void SetModified(bool modified) { m_text.SetModified(modified); }

    // Character steps; a CRLF is one step.
    int Prev(int pos) const;
    int Next(int pos) const;
    int Snap(int pos) const { return m_text.Snap(pos); }
    int WordLeft(int pos) const { return m_text.WordLeft(pos); }
    int WordRight(int pos) const { return m_text.WordRight(pos); }

    int ObjectCount() const { return static_cast<int>(m_objects.size()); }
    // Null when index names no object.
    const EmbeddedObject* ObjectAt(int index) const;
    int ObjectPosition(int index) const;
    // The object at a text position, or null.
    const EmbeddedObject* ObjectAtPosition(int pos) const;

    // Forward search in [start, end) (end -1: the text's end) for whole
    // characters; objects match nothing. -1 when not found.
    int Find(std::string_view what, int start, int end, bool matchCase, bool wholeWord) const;

private:
    // Objects stand in m_objects in the order of their marks in the text.
    int MarksBefore(int pos) const;
    void Edit(int start, int end, int newEnd, std::vector<ObjectRef> inserted);

    EditText m_text;
    std::vector<ObjectRef> m_objects;
    std::vector<ObjectRef> m_undoObjects;
    bool m_typing = false; // mirrors the text's own typing run
};

} // namespace tavrin::controls
