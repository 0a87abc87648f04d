#include "tests/providers/5460/PrivateStore5460Fixture.h"

#include "core/model/ModelEvents.h"
#include "core/services/XmlCursor.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace tavrin::test {

PrivateStore5460Test::PrivateStore5460Test()
{
    SeedUser();
    sim.Edit([](sim::Scenario& s) {
        auto& members = s.Class("301").members;
        for (auto [name, id] : {std::pair<const char*, const char*>{"甲", "11"}, {"乙", "12"}}) {
            sim::Member m;
            m.realName = name;
            m.id = id;
            members.push_back(m);
        }
    });
    schoolClass = AddClass("301");
    store = static_cast<CPrivateStore5460*>(schoolClass->GetPrivateStore());
    RunOnWorker([&] {
        CStringArray ids;
        Contacts(schoolClass)->Update(ids, 0);
    });
    window.Pump();
    Mark();
}

void PrivateStore5460Test::Mark()
{
    window.Pump();
    logMark = ClassLog(schoolClass).size();
    eventMark = window.Events().size();
}

std::vector<std::string> PrivateStore5460Test::NoteLog()
{
    auto log = ClassLog(schoolClass);
    return std::vector<std::string>(log.begin() + static_cast<long>(std::min(logMark, log.size())), log.end());
}

std::vector<int> PrivateStore5460Test::Codes(bool sent)
{
    std::vector<int> out;
    auto events = window.Events();
    for (size_t i = eventMark; i < events.size(); ++i)
        if (events[i].message == WM_CLASS_EVENT && events[i].sent == sent && (sent || events[i].code != 0))
            out.push_back(static_cast<int>(events[i].code));
    return out;
}

sim::Note PrivateStore5460Test::MakeNote(const std::string& id, const std::string& subject,
                                         const std::string& content, const std::string& senderName,
                                         const std::string& senderId, const std::string& receiverId)
{
    sim::Note n;
    n.id = id;
    n.subject = subject;
    n.content = content;
    n.senderName = senderName;
    n.senderId = senderId;
    n.receiverId = receiverId;
    n.time = "2006-06-10 08:00";
    return n;
}

void PrivateStore5460Test::SetNotes(const std::vector<sim::Note>& notes)
{
    sim.Edit([&](sim::Scenario& s) { s.Class("301").notes = notes; });
}

void PrivateStore5460Test::RunOnWorker(const std::function<void()>& fn)
{
    window.RunOnWorker(fn);
}

void PrivateStore5460Test::Update(int mode)
{
    RunOnWorker([&] { store->Update(mode); });
}

static Stored ReadStored(CXmlCursor& cursor)
{
    return {cursor.GetAttrib("custo_id").Str(),      cursor.GetAttrib("id").Str(),
            cursor.GetAttrib("read").Str(),          cursor.GetChildData("title").Str(),
            cursor.GetChildData("content").Str(),    cursor.GetChildData("user_id").Str(),
            cursor.GetChildData("real_name").Str(),  cursor.GetChildData("time").Str(),
            cursor.GetChildData("reply_status").Str(), cursor.GetChildData("user_name").Str()};
}

std::vector<Stored> PrivateStore5460Test::Document()
{
    std::vector<Stored> out;
    CXmlFile& xml = *store->GetXmlFile();
    CXmlCursor cursor(xml);
    xml.ResetPos(cursor.GetId());
    if (!cursor.FindChildElem("private") || !cursor.FindChildElem("item"))
        return out;
    do {
        out.push_back(ReadStored(cursor));
    } while (xml.FindNextElem(TRUE, cursor.GetId()));
    return out;
}

Stored PrivateStore5460Test::Last()
{
    CXmlFile& xml = *store->GetXmlFile();
    CXmlCursor cursor(xml);
    xml.ResetPos(cursor.GetId());
    if (!cursor.FindChildElem("private") || !cursor.FindChildElem("last"))
        return {};
    return ReadStored(cursor);
}

bool PrivateStore5460Test::Logged(const std::string& line)
{
    auto log = NoteLog();
    return std::find(log.begin(), log.end(), line) != log.end();
}

} // namespace tavrin::test
