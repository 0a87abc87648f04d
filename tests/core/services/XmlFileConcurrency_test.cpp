// One file under several threads, and a saver killed in the middle.
#include "core/services/Config.h"
#include "core/services/XmlCursor.h"
#include "core/services/XmlFile.h"
#include "core/services/XmlText.h"
#include "platform/base/Path.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <csignal>
#include <latch>
#include <poll.h>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using tavrin::test::TempDir;

namespace {

long long NowNs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

void BuildItems(CXmlFile& file, int count)
{
    file.Clear();
    file.FindChildElem("message", TRUE);
    for (int i = 0; i < count; ++i) {
        file.CreateChildElem("item");
        file.FindChildElem("item");  // the first; move to the new last one
        while (file.FindNextElem())
            ;
        file.SetAttribInt("custo_id", i);
        file.AddChildElem("title", ("t" + std::to_string(i)).c_str());
        file.OutOfElem();
    }
    file.ResetPos();
}

// Two walkers, an inserter and a remover share one file, each with its own
// cursor; every operation is atomic on its own and no walk ever meets a
// freed node. Run under the tsan preset for the data races.
TEST(XmlFileThreads, FourThreadsWalkAndEdit)
{
    CXmlFile file;
    file.Load("", TRUE);
    BuildItems(file, 50);
    constexpr int kRounds = 150;
    std::latch start(4);
    std::atomic<int> inserted{0}, removed{0}, badReads{0};

    auto walker = [&] {
        start.arrive_and_wait();
        for (int round = 0; round < kRounds / 5; ++round) {
            CXmlCursor c(file);
            file.ResetPos(c.GetId());
            if (!c.FindChildElem("message") || !c.FindChildElem("item"))
                continue;
            do {
                CString id = c.GetAttrib("custo_id");
                CString title = c.GetChildData("title");
                // Between two reads the item may be removed (the gap reads
                // as empty) or still be filled in by the inserter.
                if (!id.IsEmpty() && !title.IsEmpty() && title != "t" + id && title != "new")
                    ++badReads;
                c.SetNodeAttrib(c.GetNode(), "read", "1");
            } while (file.FindNextElem(TRUE, c.GetId()));
        }
    };
    auto inserter = [&] {
        start.arrive_and_wait();
        CXmlCursor c(file);
        for (int round = 0; round < kRounds; ++round) {
            file.ResetPos(c.GetId());
            c.FindChildElem("message");
            if (c.InsertChildElemBefore("item", "item")) {
                c.FindChildElem("item");
                c.SetAttribInt("custo_id", 1000 + round);
                c.AddChildElem("title", "new");
                ++inserted;
            }
        }
    };
    auto remover = [&] {
        start.arrive_and_wait();
        CXmlCursor c(file);
        for (int round = 0; round < kRounds; ++round) {
            file.ResetPos(c.GetId());
            c.FindChildElem("message");
            if (c.FindChildElem("item")) {
                file.FindNextElem(TRUE, c.GetId());
                CString id = c.GetAttrib("custo_id");
                file.OutOfElem(c.GetId());
                if (c.RemoveChildElemWithAttrib("item", "custo_id", XmlEscapeString(id)))
                    ++removed;
            }
        }
    };
    std::thread threads[] = {std::thread(walker), std::thread(walker), std::thread(inserter), std::thread(remover)};
    for (auto& t : threads)
        t.join();

    EXPECT_EQ(badReads.load(), 0);
    CXmlCursor c(file);
    file.ResetPos(c.GetId());
    c.FindChildElem("message");
    EXPECT_EQ(file.GetChildCount(c.GetId()), 50 + inserted.load() - removed.load());
    EXPECT_GT(removed.load(), 0);
}

// Runs save(first), save(first + 1), ... in a child process, waits for one
// to three of them and kills the child at a random point of the next one.
// Returns how many saves the child finished, 0 when it stopped on its own.
int KillSaverMidway(std::mt19937& random, int first, const std::function<bool(int)>& save)
{
    int fds[2];
    if (pipe(fds) != 0)
        return 0;
    pid_t pid = fork();
    if (pid < 0)
        return 0;
    if (pid == 0) {
        close(fds[0]);
        for (int generation = first;; ++generation) {
            char signal = save(generation) ? '+' : '!';
            if (write(fds[1], &signal, 1) != 1 || signal == '!')
                _exit(1);
        }
    }
    close(fds[1]);
    int saves = 1 + static_cast<int>(random() % 3);
    bool failed = false;
    long long previous = NowNs(), cycle = 0;
    for (int i = 0; i < saves && !failed; ++i) {
        pollfd p{fds[0], POLLIN, 0};
        char signal = 0;
        failed = poll(&p, 1, 30000) != 1 || read(fds[0], &signal, 1) != 1 || signal != '+';
        long long now = NowNs();
        cycle = now - previous;
        previous = now;
    }
    // Let the next save run for a random part of one save's time, so the
    // kill lands anywhere in it: building, writing, flushing, renaming.
    long long until = previous + cycle * static_cast<long long>(random() % 100) / 100;
    while (NowNs() < until)
        ;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    close(fds[0]);
    return failed ? 0 : saves;
}

// A child process saves ever newer documents and is killed at random
// points; the file on disk is always one whole document, the old or a newer.
TEST(XmlFileCrash, KilledSaverLeavesWholeDocument)
{
    TempDir dir;
    std::string path = tavrin::ProgramPath((dir.Path() / "store").string()).GetString() + std::string("\\message.xml");
    auto build = [](CXmlFile& file, int generation) {
        file.Clear();
        file.FindChildElem("message", TRUE);
        file.SetAttribInt("generation", generation);
        for (int i = 0; i < 400; ++i)
            file.AddChildElem("item", ("generation " + std::to_string(generation) + " item " + std::to_string(i)).c_str());
        file.ResetPos();
    };
    auto expected = [&](int generation) {
        CXmlFile file;
        file.Load("", TRUE);
        build(file, generation);
        return tavrin::WriteXmlText(file.GetNode());
    };
    {
        CXmlFile file;
        file.Load(path.c_str(), TRUE);
        build(file, 0);
        ASSERT_TRUE(file.Save());
    }

    std::mt19937 random(12345);
    std::unique_ptr<CXmlFile> saver; // made in the child process
    auto save = [&](int generation) {
        if (!saver) {
            saver = std::make_unique<CXmlFile>();
            saver->Load(path.c_str(), TRUE);
        }
        build(*saver, generation);
        return saver->Save() != FALSE;
    };
    int last = 0;
    for (int round = 0; round < 30; ++round) {
        int saves = KillSaverMidway(random, last + 1, save);
        ASSERT_GT(saves, 0) << "the saver stopped at round " << round;

        CXmlFile file;
        ASSERT_TRUE(file.Load(path.c_str(), FALSE)) << "round " << round;
        ASSERT_TRUE(file.FindChildElem("message")) << "round " << round;
        int generation = std::atoi(file.GetAttrib("generation"));
        EXPECT_GE(generation, last + saves) << "round " << round;
        EXPECT_EQ(TempDir::Read(dir.Path() / "store" / "message.xml"), expected(generation)) << "round " << round;
        last = generation;
    }
}

// Hidden files beside the target: what a save leaves when it is killed
// between naming its finished file and renaming it.
std::vector<std::string> HiddenCopies(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        std::string name = e.path().filename().string();
        if (name.rfind(".config.xml", 0) == 0)
            names.push_back(name);
    }
    return names;
}

// A child process changes a setting (each change saves config.xml) and is
// killed at random points; the file is always whole, and the hidden copies a
// kill can leave never pile up: the next save removes them.
TEST(XmlFileCrash, KilledConfigSaverLeavesNoHiddenCopies)
{
    TempDir dir;
    CString folder = tavrin::ProgramPath(dir.Path().string());
    std::mt19937 random(4242);
    bool started = false; // in the child process
    auto save = [&](int generation) {
        if (!started) {
            started = true;
            tavrin::SetProgramFolder(folder);
            tavrin::ReloadConfig();
        }
        SetConfigInt(CFG_UPDATE_PERIOD, generation);
        return true;
    };
    int last = 0;
    for (int round = 0; round < 100; ++round) {
        int saves = KillSaverMidway(random, last + 1, save);
        ASSERT_GT(saves, 0) << "the saver stopped at round " << round;

        CXmlFile file;
        ASSERT_TRUE(file.Load((folder + "\\config.xml").GetString(), FALSE)) << "round " << round;
        ASSERT_TRUE(file.FindChildElem("config") && file.FindChildElem("update") && file.FindChildElem("period"))
            << "round " << round;
        int generation = std::atoi(file.GetData());
        EXPECT_GE(generation, last + saves) << "round " << round;
        last = generation;
        ASSERT_LE(HiddenCopies(dir.Path()).size(), 1u) << "round " << round;
    }
    // One more save in this process clears what the last kill left.
    tavrin::SetProgramFolder(folder);
    tavrin::ReloadConfig();
    SetConfigInt(CFG_UPDATE_PERIOD, last + 1);
    tavrin::ReloadConfig();
    tavrin::SetProgramFolder(CString());
    EXPECT_EQ(HiddenCopies(dir.Path()), std::vector<std::string>());
}

} // namespace
