// The 5460 message board: the class's messages with their replies, read from
// the board's list and reply pages into "message.xml", searched, rendered
// from "message.html", and posted, replied to and deleted on the board.
//
// A message with replies is one record: content, user, user_id, time and id
// hold the message's own value and then one value per reply, each behind the
// reply separator "`|".
#pragma once

#include "core/model/MessageStore.h"

#include <vector>

class CMessageItem5460 : public CMessageItem {
public:
    CMessageItem5460() = default;
    CMessageItem5460(const CMessageItem5460& other) = default;
    CMessageItem5460& operator=(const CMessageItem5460& other) = default;
    ~CMessageItem5460() override = default;

    // The same message: time, user and content equal.
    bool operator==(const CMessageItem5460& other) const
    {
        return CMessageItem::operator==(other) && m_content == other.m_content;
    }

    static void ReadXml(CMessageItem5460* item, CXmlCursor* cursor);
    // A new element gets the children title, time, user, user_id, content,
    // id, reply_number in this order.
    static void WriteXml(CMessageItem5460* item, CXmlCursor* cursor);

    CString m_content;
    CString m_userId;
    CString m_replyNumber;
};

class CMessageStore5460 : public CMessageStore {
public:
    CMessageStore5460() = default;
    ~CMessageStore5460() override = default;

    void Search(CString text, int within) override;
    int GetContentLength() override;
    CString RenderPage(CString custoId) override;
    CString RenderPreview(CString subject, CString text, int mode) override;
    void Reply(CString subject, CString text, CString targetId, int param) override;
    void Send(CString subject, CString text, int param) override;
    void Update(int count, int mode) override;
    void Delete(CStringArray& custoIds, int param) override;

    // The value a list shows for a joined field: the first reply's value when
    // there is one, else the message's own.
    static CString GetDisplayValue(const CString& text);

    // Makes the pictures of a message's content local (the "images" folder of
    // the class) and, for a photo notice, links each picture to its photo.
    // rawContent is the text as the board sent it, whose photo links name the
    // photos of the pictures inside them.
    void LocalizeImages(CMessageItem5460* message, CHttpClient* client, const CString& rawContent);

private:
    struct ReadState;

    // One list page's messages into the run's lists; false when the page
    // shows nothing new (the board repeats itself).
    bool ReadListPage(const CString& page, ReadState& state);
    void ReadReplies(CMessageItem5460& message, const CString& host);
    // Stores the messages read, newest at the head of the document.
    void StoreMessages(std::vector<CMessageItem5460>& messages, int base);

    // Removes the stored message with this board id (by custo_id when the id
    // is empty) from the document and the list.
    void RemoveStoredMessage(const CString& custoId, const CString& id);

    // The item element with this custo_id into item; false when none.
    bool ReadStoredItem(const CString& custoId, CMessageItem5460& item);

    void Log(const CString& text);
    void PostEvent(WPARAM code);
    void SendEvent(WPARAM code);
    int Login(CHttpClient* client);
    int Confirm(const char* text);
    void Refuse(const char* text);
    CString WebHost();
    CString ClassId();
};
