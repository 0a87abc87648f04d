// A 5460 class with its message store, the simulated board behind it, and
// readers of what the store keeps in "message.xml".
#pragma once

#include "core/model/ModelEvents.h"
#include "core/services/XmlCursor.h"
#include "providers/5460/MessageStore5460.h"
#include "tests/providers/5460/ProviderFixture.h"
#include "tests/sim/5460/Site5460.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace tavrin::test {

inline constexpr char kListPath[] = "/gy5460/jsp/liuyan/liuyan.jsp";
inline constexpr char kReplyPath[] = "/gy5460/jsp/liuyan/critique.jsp";
inline constexpr char kSendPath[] = "/gy5460/jsp/liuyan/input.jsp";
inline constexpr char kReplyFormPath[] = "/gy5460/jsp/liuyan/inputCritique.jsp";
inline constexpr char kDeletePath[] = "/gy5460/jsp/liuyan/deleteLiuyan.jsp";

inline sim::Message MakeMessage(const std::string& id, const std::string& title, const std::string& time,
                                const std::string& content = "", const std::string& user = "张三",
                                const std::string& userId = "7")
{
    sim::Message m;
    m.id = id;
    m.title = title;
    m.time = time;
    m.content = content.empty() ? "内容" + id : content;
    m.user = user;
    m.userId = userId;
    return m;
}

inline sim::Reply MakeReply(const std::string& id, const std::string& time, const std::string& content,
                            const std::string& user = "王五", const std::string& userId = "9")
{
    return {id, time, content, user, userId};
}

struct StoredMessage {
    std::string custoId, id, read, title, time, user, userId, content, replyNumber;
};

class MessageStore5460Test : public Provider5460Test {
protected:
    MessageStore5460Test()
    {
        SeedUser();
        schoolClass = AddClass("301");
        store = static_cast<CMessageStore5460*>(schoolClass->GetMessageStore());
    }

    // The board, newest first.
    void Board(std::vector<sim::Message> messages, int perPage = 10)
    {
        sim.Edit([&](sim::Scenario& s) {
            s.Class("301").messages = std::move(messages);
            s.Class("301").messagesPerPage = perPage;
        });
    }
    void EditBoard(const std::function<void(std::vector<sim::Message>&)>& edit)
    {
        sim.Edit([&](sim::Scenario& s) { edit(s.Class("301").messages); });
    }

    // Runs work on a worker, as the pool does, serving the events it sends.
    void OnWorker(const std::function<void()>& work) { window.RunOnWorker(work); }

    // Starts an operation through the store and waits until its flag clears.
    void Await(const std::function<BOOL()>& busy)
    {
        while (busy()) {
            window.Pump();
            std::this_thread::yield();
        }
        window.Pump();
    }

    void Update(int count, int mode)
    {
        store->StartUpdate(count, mode);
        Await([&] { return store->IsUpdating(); });
    }

    std::vector<StoredMessage> Document(const char* element = "item")
    {
        std::vector<StoredMessage> out;
        CXmlFile& xml = *store->GetXmlFile();
        CXmlCursor cursor(xml);
        xml.ResetPos(cursor.GetId());
        if (!cursor.FindChildElem("message") || !cursor.FindChildElem(element))
            return out;
        do {
            out.push_back({cursor.GetAttrib("custo_id").Str(), cursor.GetAttrib("id").Str(),
                           cursor.GetAttrib("read").Str(), cursor.GetChildData("title").Str(),
                           cursor.GetChildData("time").Str(), cursor.GetChildData("user").Str(),
                           cursor.GetChildData("user_id").Str(), cursor.GetChildData("content").Str(),
                           cursor.GetChildData("reply_number").Str()});
        } while (xml.FindNextElem(TRUE, cursor.GetId()));
        return out;
    }

    std::vector<std::string> Ids()
    {
        std::vector<std::string> out;
        for (const StoredMessage& m : Document())
            out.push_back(m.id);
        return out;
    }

    std::vector<StoredMessage> Last() { return Document("last"); }

    std::vector<std::string> TopIds()
    {
        std::vector<std::string> out;
        CXmlFile& xml = *store->GetXmlFile();
        CXmlCursor cursor(xml);
        xml.ResetPos(cursor.GetId());
        if (!cursor.FindChildElem("message") || !cursor.FindChildElem("top") || !cursor.FindChildElem("id"))
            return out;
        do
            out.push_back(cursor.GetData().Str());
        while (xml.FindNextElem(TRUE, cursor.GetId()));
        return out;
    }

    // Class events other than log lines.
    std::vector<int> Posted()
    {
        std::vector<int> out;
        for (int code : window.Codes(WM_CLASS_EVENT, false))
            if (code != 0)
                out.push_back(code);
        return out;
    }
    std::vector<int> Sent() { return window.Codes(WM_CLASS_EVENT, true); }

    bool Logged(const std::string& line)
    {
        auto log = ClassLog(schoolClass);
        return std::find(log.begin(), log.end(), line) != log.end();
    }

    // The page numbers of the list pages requested, in order.
    std::vector<int> ListPages()
    {
        std::vector<int> out;
        for (const sim::Request& r : sim.Requests(kListPath))
            out.push_back(std::atoi(r.Field("PageNum").c_str()));
        return out;
    }

    CSchoolClass5460* schoolClass = nullptr;
    CMessageStore5460* store = nullptr;
};

} // namespace tavrin::test
