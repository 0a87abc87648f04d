// The message search: the list rebuilt from "message.xml" with the messages
// (and the class vote) whose subject or text holds one of the words.
#include "providers/5460/MessageStore5460.h"

#include "core/model/Account.h"
#include "core/model/SchoolClass.h"
#include "providers/common/MessageSearch.h"

void CMessageStore5460::Search(CString text, int within)
{
    CSchoolClass* schoolClass = GetSchoolClass();
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    tavrin::MessageSearchHooks hooks;
    hooks.send = [this](WPARAM code) { SendEvent(code); };
    hooks.post = [this](WPARAM code) { PostEvent(code); };
    hooks.insertVote = [this](CXmlCursor& cursor) { InsertVoteItem(cursor); };
    hooks.hasSubject = account ? account->HasMessageSubject() : FALSE;
    tavrin::SearchMessages<CMessageItem5460>(*this, text, within, hooks);
}
