// The ChinaRen message board: messages without subjects, pinned messages and
// the class vote, kept in "message.xml". New messages and replies carry a
// verification code.
#pragma once

#include "core/model/MessageStore.h"

namespace tavrin::chinaren {
// The class vote's ballot cleaned: the sanitiser with the ballot's own form,
// choices and vote button admitted.
CString CleanBallotHtml(const CString& html);
// The vote button that the update puts into the stored ballot.
inline constexpr char kVoteButton[] = "<input class=txtbtn type=\"button\" value=\"投票\" onclick=\"doSubmit()\">";
} // namespace tavrin::chinaren

class CMessageItemChinaRen : public CMessageItem {
public:
    CMessageItemChinaRen() = default;
    CMessageItemChinaRen(const CMessageItemChinaRen& other) = default;
    CMessageItemChinaRen& operator=(const CMessageItemChinaRen& other) = default;
    ~CMessageItemChinaRen() override = default;

    // The same message: time, user and content equal byte for byte; title,
    // vote reason, ids and flags take no part.
    bool operator==(const CMessageItemChinaRen& other) const
    {
        return m_time == other.m_time && m_user == other.m_user && m_content == other.m_content;
    }

    static void ReadXml(CMessageItemChinaRen* item, CXmlCursor* cursor);
    // A new element gets the children title, time, user, content,
    // vote_reason in this order.
    static void WriteXml(CMessageItemChinaRen* item, CXmlCursor* cursor);

    CString m_content;
    CString m_voteReason;
};

class CMessageStoreChinaRen : public CMessageStore {
public:
    CMessageStoreChinaRen() = default;
    ~CMessageStoreChinaRen() override = default;

    BOOL NeedsAuthCode() override { return TRUE; }
    // The verification stamp (see AuthCode.h).
    CString GetAuthTime() override;
    // The stored messages and the vote that hold one of the words
    // (providers/common/MessageSearch.h).
    void Search(CString text, int within) override;
    // The selected message and the stored ones below it, or the class vote
    // (MessageStoreChinaRenPages.cpp).
    CString RenderPage(CString custoId) override;
    CString RenderPreview(CString subject, CString text, int mode) override;
    // Characters of the compose text as a reply sends it.
    int GetContentLength() override;
    // Reads the board's three listings newest first into "message.xml", with
    // the pinned messages and the class vote (MessageStoreChinaRenUpdate.cpp).
    // mode 0 stops at the stored mark; mode 1 reads up to count pages and
    // rebuilds the document when it read the board to its end or limit.
    void Update(int count, int mode) override;
    // Posting to the board (MessageStoreChinaRenPosting.cpp): a new message,
    // a reply to the current item, the class vote's ballot, and deleting.
    void Send(CString subject, CString text, int param) override;
    void Reply(CString subject, CString text, CString targetId, int param) override;
    void Vote(CByteArray& form, int param) override;
    void Delete(CStringArray& custoIds, int param) override;

    // Makes the pictures of item's content local and, in a photo notice,
    // links each to its photo; raw is the board's row, whose album links
    // name the photos.
    void LocalizeImages(CMessageItemChinaRen& item, CHttpClient& client, const CString& raw);

private:
    struct Run;
    // The stored message with this custo_id; false when there is none.
    bool ReadStoredItem(const CString& custoId, CMessageItemChinaRen& item);
    // "To ", the replied message's user and ": " in reply mode.
    CString ReplyHeader(int mode);
    // One row of a list page into the run; see the .cpp.
    void ReadRow(const CString& row, Run& run, CXmlCursor& cursor, int mode);
    // The class vote from the class page; empty content when none.
    CMessageItemChinaRen ReadVote();
    void Write(Run& run, CXmlCursor& cursor, const CMessageItemChinaRen& vote, bool rebuild);
    // Asks for an empty text and refuses a long one; true when it may go.
    bool MayPost(const CString& text);
    // Posts text as a new message over client; a rejected code refreshes
    // the picture and posts rejectEvent. True when the post counts as done.
    bool PostWords(CHttpClient& client, const CString& text, const char* verb, const CString& currentId,
                   WPARAM rejectEvent);
    void Log(const CString& text);
    void PostEvent(WPARAM code);
    void SendEvent(WPARAM code);
    int Login();
};
