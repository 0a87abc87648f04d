// The 5460 private notes ("悄悄话"): read from the class's note list page into
// "private.xml" for senders who are in the class's contact list, sent,
// answered and deleted at the provider, and shown through "private.html".
#pragma once

#include "core/model/PrivateStore.h"

#include <vector>

class CPrivateItem5460 : public CPrivateItem {
public:
    CPrivateItem5460() = default;
    CPrivateItem5460(const CPrivateItem5460& other) = default;
    CPrivateItem5460& operator=(const CPrivateItem5460& other) = default;
    ~CPrivateItem5460() override = default;

    static void ReadXml(CPrivateItem5460* item, CXmlCursor* cursor);
    static void WriteXml(CPrivateItem5460* item, CXmlCursor* cursor);

    CString m_content;  // the note's body as the page shows it (HTML)
};

class CPrivateStore5460 : public CPrivateStore {
public:
    CPrivateStore5460() = default;
    ~CPrivateStore5460() override = default;

    CString RenderPage(CString custoId) override;
    void Reply(CString subject, CString content, CString realName, CString userName, CString userId,
               int noteNumber) override;
    void Send(CString subject, CString content, CString realName, CString userName, CString receiverId,
              int param) override;
    void Update(int mode) override;
    void Delete(CStringArray& custoIds, int param) override;

private:
    enum class PostResult { NotSignedIn, Failed, Sent };
    // Signs in and sends one note form.
    PostResult PostNote(CHttpClient& client, const CString& subject, const CString& content,
                        const CString& receiverId, const CString& receiverName);
    // The refusal of an empty or too long note, as a box; true when refused.
    bool RefuseNote(const CString& subject, const CString& content);
    bool IsSenderInContacts(const CString& userId);
    CString ListUrl();
    CString SubmitUrl();
    void Log(const CString& text);
    void Post(WPARAM code);
    void SendEvent(WPARAM code);
    int Login(CHttpClient& client);
};

namespace tavrin::p5460 {

// One note block of the list page.
struct NoteBlock {
    bool skip = false;     // a note of the user's own (the send marker)
    bool hasFields = false;
    CString title, content, userId, realName, time, id;
};

// The note blocks of a list page, in page order.
std::vector<NoteBlock> ReadNoteBlocks(const CString& page);

} // namespace tavrin::p5460
