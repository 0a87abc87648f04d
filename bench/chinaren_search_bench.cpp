// The ChinaRen message search over a stored board of 20,000 messages, side
// by side with grep -c of the same word over the same message.xml, both on
// one core, alternating run by run, the order reversed every other round.
// Ours is the search of the loaded board, from the full list to the hits
// (in-process, the process CPU clock); grep is a process (its CPU time from
// wait4), which includes its start-up. That start-up (grep -c over an empty
// file) is measured too, and a second line sets ours against grep's time
// without it.
//
//   chinaren_search_bench [--cpu=N] [--wall] [rounds=9] [work folder=/dev/shm/tavrin-chinaren-search-bench]
//
// Exit status 2 when the ratio against grep -c is above 1.5, 1 when a side
// fails or finds other than the board holds.
#include "bench/Runner.h"
#include "core/services/Config.h"
#include "platform/base/Path.h"
#include "providers/chinaren/MessageStoreChinaRen.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
namespace bench = tavrin::bench;

namespace {

constexpr int kMessages = 20000;
// One message in 50 holds the word, in its title and its text.
constexpr int kHits = kMessages / 50;
const char kWord[] = "聚会";

// A board as the ChinaRen update stores it.
std::string BoardXml()
{
    static const char* const kUsers[] = {"张三", "李四", "王小明", "赵丽", "陈晓东", "刘洋"};
    static const char* const kWords[] = {"同学们好", "好久不见", "毕业十年了", "大家都还好吗", "我在北京",
                                         "照片已经上传", "祝大家新年快乐", "老师身体可好", "下次一起吃饭"};
    std::string out = "<message>\n";
    char line[256];
    for (int i = 0; i < kMessages; ++i) {
        std::snprintf(line, sizeof line, "\t<item read=\"%d\" custo_id=\"%d\" id=\"%d\">\n", i % 2, kMessages - i,
                      900000 + i);
        out += line;
        std::string text;
        for (int w = 0; w < 6; ++w) {
            text += kWords[(i + w * 2) % 9];
            text += w % 3 == 2 ? "&lt;br&gt;" : "&nbsp;";
        }
        if (i % 50 == 0)
            text += kWord;
        out += "\t\t<title>" + text + "</title>\n";
        std::snprintf(line, sizeof line, "\t\t<time>2008-%02d-%02d&nbsp;%02d:%02d:%02d</time>\n", 1 + i % 12,
                      1 + i % 28, i % 24, i % 60, (i * 7) % 60);
        out += line;
        out += std::string("\t\t<user>") + kUsers[i % 6] + "</user>\n";
        out += "\t\t<content>" + text + "</content>\n\t\t<vote_reason></vote_reason>\n\t</item>\n";
    }
    out += "</message>\n";
    return out;
}

// grep -c over file; the count it printed, -1 when it failed.
long Grep(const std::string& file, const std::string& output, bench::Sample& time)
{
    // Bytes, as our search compares them: the C locale, grep's fastest.
    bench::RunResult r = bench::Run({"grep", "-c", kWord, file}, {output, "", {"LC_ALL=C"}});
    time = r.time;
    std::ifstream in(output);
    long count = -1;
    // grep exits 1 when nothing matched.
    if (!(in >> count))
        return -1;
    return count;
}

} // namespace

int main(int argc, char** argv)
{
    int cpu = bench::PinBench(argc, argv);
    int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    const fs::path folder = argc > 2 ? fs::path(argv[2]) : fs::path("/dev/shm/tavrin-chinaren-search-bench");
    fs::create_directories(folder / "class");
    const std::string file = (folder / "class" / "message.xml").string();
    const std::string empty = (folder / "empty.xml").string();
    const std::string output = (folder / "grep.txt").string();
    {
        std::ofstream(file, std::ios::binary) << BoardXml();
        std::ofstream(empty, std::ios::binary).flush();
    }
    tavrin::SetProgramFolder(tavrin::ProgramPath(folder.string()));
    CMessageStoreChinaRen store;
    store.SetClassFolder(tavrin::ProgramPath((folder / "class").string()));
    store.LoadItems(TRUE);
    std::printf("message.xml: %d messages, %.1f MB, core %d, %d rounds, medians\n", kMessages,
                static_cast<double>(fs::file_size(file)) / 1e6, cpu, rounds);

    std::vector<bench::Sample> ours, grep, startup;
    int found = 0;
    long lines = 0;
    // Round -1 warms up; odd rounds run grep first.
    for (int round = -1; round < rounds; ++round) {
        for (int side = 0; side < 2; ++side) {
            if ((side == 0) == (round % 2 == 0)) {
                bench::Stopwatch watch;
                store.Search(kWord, 0);
                bench::Sample time = watch.Stop();
                found = store.GetItemCount();
                // The next run starts from the full list again.
                store.Search("", 0);
                if (round >= 0)
                    ours.push_back(time);
            } else {
                bench::Sample time, start;
                lines = Grep(file, output, time);
                Grep(empty, output, start);
                if (round >= 0) {
                    grep.push_back(time);
                    startup.push_back(start);
                }
            }
        }
    }
    tavrin::SetProgramFolder(CString());
    // Each hit holds the word in its title and in its text: two lines.
    if (found != kHits || lines != 2 * kHits) {
        std::fprintf(stderr, "found %d messages and grep %ld lines; the board holds %d and %d\n", found, lines, kHits,
                     2 * kHits);
        return 1;
    }

    // grep's own time without its start-up, run by run.
    std::vector<double> startCpu, startWall;
    for (const bench::Sample& s : startup) {
        startCpu.push_back(s.cpu);
        startWall.push_back(s.wall);
    }
    const bench::Sample start{bench::Median(startWall), bench::Median(startCpu)};
    std::vector<bench::Sample> scan;
    for (const bench::Sample& s : grep)
        scan.push_back({s.wall - start.wall, s.cpu - start.cpu});
    std::printf("grep start-up (grep -c over an empty file): cpu %.2f wall %.2f ms\n", start.cpu * 1000,
                start.wall * 1000);
    bool met = bench::PrintPair("search 20,000 messages", "grep -c", ours, grep, 1.5);
    bench::PrintPair("search 20,000 messages", "grep -c less its start-up", ours, scan, 0);
    return met ? 0 : 2;
}
