// The ChinaRen short notes ("小纸条"), kept in "private.xml".
#pragma once

#include "core/model/PrivateStore.h"

#include <vector>

class CPrivateItemChinaRen : public CPrivateItem {
public:
    CPrivateItemChinaRen() = default;
    CPrivateItemChinaRen(const CPrivateItemChinaRen& other) = default;
    CPrivateItemChinaRen& operator=(const CPrivateItemChinaRen& other) = default;
    ~CPrivateItemChinaRen() override = default;

    static void ReadXml(CPrivateItemChinaRen* item, CXmlCursor* cursor);
    // A new element gets the child content after the base ones.
    static void WriteXml(CPrivateItemChinaRen* item, CXmlCursor* cursor);

    CString m_content;
};

class CPrivateStoreChinaRen : public CPrivateStore {
public:
    CPrivateStoreChinaRen() = default;
    ~CPrivateStoreChinaRen() override = default;

    // Reads the note page into "private.xml" (PrivateStoreChinaRen.cpp):
    // mode 0 replaces the stored notes, mode 1 adds those above the mark.
    void Update(int mode) override;
    CString RenderPage(CString custoId) override;
    // Sending, replying and deleting (PrivateStoreChinaRenPost.cpp).
    void Send(CString subject, CString content, CString realName, CString userName, CString receiverId,
              int param) override;
    void Reply(CString subject, CString content, CString realName, CString userName, CString userId,
               int noteNumber) override;
    void Delete(CStringArray& custoIds, int param) override;

private:
    enum class PostResult { NotSignedIn, Unreadable, Failed, Sent };
    // Asks the form page for its key and posts the note; towho goes in as
    // given.
    PostResult PostNote(CHttpClient& client, const CString& content, const CString& towho);
    // Refuses an empty or long content with a message box; true when refused.
    bool RefuseNote(const CString& content);
    // Whether the class's member list holds this user name.
    bool IsSenderInContacts(const CString& userName);
    void Log(const CString& text);
};

namespace tavrin::chinaren {

// One row of the note page as the update reads it.
struct NoteRow {
    CString id;
    CString time;
    CString realName;
    CString content;
    CString userName;
};
// The rows of the note page that carry a note, in page order.
std::vector<NoteRow> ReadNoteRows(const CString& page);
// A query value of the site's links as text: "+" a space, "%XX" a byte.
CString DecodeLinkValue(const CString& value);

} // namespace tavrin::chinaren
