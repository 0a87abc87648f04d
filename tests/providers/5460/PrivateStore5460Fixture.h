// A 5460 class with members 甲 (11) and 乙 (12) in its contact list, and
// helpers to seed notes at the simulator and read "private.xml".
#pragma once

#include "providers/5460/PrivateStore5460.h"
#include "tests/providers/5460/ProviderFixture.h"

#include <functional>
#include <string>
#include <vector>

namespace tavrin::test {

// The fields of an item (or "last") element of the note document.
struct Stored {
    std::string custoId, id, read, title, content, userId, realName, time, replyStatus, userName;
};

class PrivateStore5460Test : public Provider5460Test {
protected:
    PrivateStore5460Test();

    static sim::Note MakeNote(const std::string& id, const std::string& subject, const std::string& content,
                              const std::string& senderName, const std::string& senderId,
                              const std::string& receiverId = "42");
    // The class's notes at the simulator, newest first.
    void SetNotes(const std::vector<sim::Note>& notes);
    // Runs fn on a worker, as the pool does, while this thread serves what
    // the worker sends to the window.
    void RunOnWorker(const std::function<void()>& fn);
    void Update(int mode);
    std::vector<Stored> Document();
    Stored Last();
    // From here on NoteLog and Codes report.
    void Mark();
    // The class log since the mark, without time stamps.
    std::vector<std::string> NoteLog();
    // WM_CLASS_EVENT codes since the mark, sent or posted (log lines left out).
    std::vector<int> Codes(bool sent);
    bool Logged(const std::string& line);

    CSchoolClass5460* schoolClass = nullptr;
    CPrivateStore5460* store = nullptr;
    size_t logMark = 0;
    size_t eventMark = 0;
};

} // namespace tavrin::test
