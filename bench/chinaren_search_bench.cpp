// The ChinaRen message search over a stored board of 20,000 messages, side
// by side with grep -c of the same word over the same message.xml.
//
//   chinaren_search_bench [work folder]   prints both times (medians of five
//                                         runs) and the ratio; exit 2 when
//                                         it is above 1.5
#include "core/services/Config.h"
#include "platform/base/Path.h"
#include "providers/chinaren/MessageStoreChinaRen.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

constexpr int kMessages = 20000;
const char kWord[] = "聚会";

double Now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// A board as the ChinaRen update stores it; one message in 50 holds the word.
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

double Grep(const std::string& file)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::string word = kWord;
    std::vector<char*> argv = {const_cast<char*>("grep"), const_cast<char*>("-c"), word.data(),
                               const_cast<char*>(file.c_str()), nullptr};
    pid_t pid;
    const double start = Now();
    if (posix_spawnp(&pid, "grep", &actions, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
    return Now() - start;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    const std::filesystem::path folder = argc > 1 ? argv[1] : "/tmp/tavrin-chinaren-search-bench";
    std::filesystem::create_directories(folder / "class");
    const std::filesystem::path file = folder / "class" / "message.xml";
    {
        std::ofstream out(file, std::ios::binary);
        out << BoardXml();
    }
    tavrin::SetProgramFolder(tavrin::ProgramPath(folder.string()));
    CMessageStoreChinaRen store;
    store.SetClassFolder(tavrin::ProgramPath((folder / "class").string()));
    store.LoadItems(TRUE);

    std::vector<double> ours, grep;
    for (int round = 0; round < 5; ++round) {
        const double start = Now();
        store.Search(kWord, 0);
        ours.push_back(Now() - start);
        // The next round searches again.
        store.Search("", 0);
        grep.push_back(Grep(file.string()));
    }
    std::printf("message.xml: %d messages, %.1f MB; %d hits\n", kMessages,
                static_cast<double>(std::filesystem::file_size(file)) / 1e6, [&] {
                    store.Search(kWord, 0);
                    return store.GetItemCount();
                }());
    const double a = Median(ours), b = Median(grep);
    std::printf("search %.4f s, grep -c %.4f s, ratio %.2f (target <= 1.5)\n", a, b, a / b);
    tavrin::SetProgramFolder(CString());
    return a / b > 1.5 ? 2 : 0;
}
