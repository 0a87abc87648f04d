// The message statistics of a class of 20,000 messages by 2,000 authors over
// three years: the whole run (counting, the orders and the fourteen pages)
// side by side with `sort | uniq -c | sort -rn` over the same author, week and
// month columns written as text. Both sides are processes started the same
// way, pinned to one core, alternating run by run with the order reversed
// every other round. Ours reads the two fields of every message from a text
// file, as the peer reads its columns, and writes its pages to tmpfs.
//
//   statistic_bench [--cpu=N] [--wall] [rounds=7] [work folder=/dev/shm/tavrin-statistic-bench]
//
// Exit status 2 when the ratio is above 3, 1 when a side fails.
#include "bench/Runner.h"
#include "platform/base/Path.h"
#include "platform/base/Time.h"
#include "reports/ReportProgress.h"
#include "reports/StatisticPages.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
namespace bench = tavrin::bench;
using namespace tavrin::reports;

namespace {

constexpr int kMessages = 20000;
constexpr int kAuthors = 2000;

// user TAB time, one message a line; and the three columns for the peer.
void WriteInput(const fs::path& work)
{
    static const char* const kFamily[] = {"张", "李", "王", "赵", "陈", "刘", "杨", "黄"};
    std::ofstream messages(work / "messages.txt", std::ios::binary);
    std::ofstream authors(work / "authors.txt", std::ios::binary);
    std::ofstream weeks(work / "weeks.txt", std::ios::binary);
    std::ofstream months(work / "months.txt", std::ios::binary);
    unsigned seed = 12345;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) & 0xFFFFFF;
    };
    CTime start(2004, 1, 1, 0, 0, 0);
    for (int i = 0; i < kMessages; ++i) {
        // A few authors write much more than the rest.
        int author = static_cast<int>(next() % 7 == 0 ? next() % 50 : next() % kAuthors);
        std::string user = std::string(kFamily[author % 8]) + "同学" + std::to_string(author);
        CTime day = start + CTimeSpan(static_cast<LONG>(next() % (3 * 365)), 0, 0, 0);
        CString time = day.Format("%Y-%m-%d ") + CString("12:34:56");
        messages << user << '\t' << time.Str() << '\n';
        authors << user << '\n';
        weeks << day.Format("%Y年第%W周").Str() << '\n';
        months << day.Format("%Y年%m月").Str() << '\n';
    }
}

// Our side: the statistics run of the messages in the file, pages into folder.
int RunOurs(const char* input, const char* app, const char* folder)
{
    std::ifstream in(input, std::ios::binary);
    std::vector<MessageFields> messages;
    std::string line;
    while (std::getline(in, line)) {
        size_t tab = line.find('\t');
        messages.push_back({CString(line.substr(0, tab)), CString(line.substr(tab + 1))});
    }
    NoProgress progress;
    StatisticRunResult result =
        RunStatistics(messages, CString(app), CString(folder), CTime::GetCurrentTime(), progress);
    return result.completed && result.pagesWritten == kStatisticPageCount ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::string(argv[1]) == "--run")
        return RunOurs(argv[2], argv[3], argv[4]);
    bench::PinBench(argc, argv);
    int rounds = argc > 1 ? std::atoi(argv[1]) : 7;
    fs::path work = argc > 2 ? argv[2] : "/dev/shm/tavrin-statistic-bench";
    fs::remove_all(work);
    fs::create_directories(work / "app" / "styles" / "common");
    fs::create_directories(work / "class");
    for (const char* name : {"statistic_by_author.htm", "statistic_by_week.htm", "statistic_by_month.htm"})
        fs::copy_file(fs::path(TAVRIN_SOURCE_DIR) / "styles" / "common" / name, work / "app" / "styles" / "common" / name);
    WriteInput(work);

    const std::string w = work.string();
    const std::vector<std::string> ours = {bench::SelfPath(), "--run", w + "/messages.txt", w + "/app", w + "/class"};
    const std::string pipeline = "for c in authors weeks months; do sort " + w + "/$c.txt | uniq -c | sort -rn > " +
                                 w + "/$c.counts; done";
    const std::vector<std::string> peer = {"sh", "-c", pipeline};
    // Byte order, as ours compares the keys.
    bench::RunOptions options{"/dev/null", "", {"LC_ALL=C"}};

    std::vector<bench::Sample> oursTimes, peerTimes;
    if (!bench::Alternate(rounds, [&](bool oursNow) { return bench::Run(oursNow ? ours : peer, options); }, oursTimes,
                          peerTimes)) {
        std::fprintf(stderr, "a side failed\n");
        return 1;
    }
    bool met = bench::PrintPair("statistics, 20,000", "sort | uniq -c | sort -rn", oursTimes, peerTimes, 3.0);
    return met ? 0 : 2;
}
