// Loading and saving a large message.xml, side by side with libxml2's
// xmllint on the same document.
//
//   xml_bench --ratio             prints the ratios against the targets
//                                 (load <= xmllint, save <= 2 x xmllint,
//                                 peak memory < 4 x file size); exit 1 when
//                                 one is missed
//   xml_bench [benchmark flags]   Google Benchmark runs of load, write,
//                                 save and xmllint
#include "core/services/XmlFile.h"
#include "core/services/XmlText.h"
#include "platform/base/Path.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int kItems = 100000;

double Now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// A store file as the message update writes it: GBK text, "&nbsp;" for
// spaces, one item with its seven children per message.
std::string MessageXml(int items)
{
    static const char* const kUsers[] = {"张三", "李四", "王小明", "赵丽", "陈晓东", "刘洋"};
    static const char* const kWords[] = {"同学们好", "好久不见", "毕业十年了", "大家都还好吗", "聚会的时间定了吗", "我在北京",
                                         "照片已经上传", "祝大家新年快乐", "老师身体可好", "下次一起吃饭"};
    std::string out;
    out.reserve(static_cast<size_t>(items) * 420);
    out += "<message>\n";
    char line[256];
    for (int i = 0; i < items; ++i) {
        int id = 3000000 + i * 7;
        std::snprintf(line, sizeof line, "\t<item read=\"%d\" custo_id=\"%d\" id=\"%d\">\n", i % 2, items - i, id);
        out += line;
        out += "\t\t<title>";
        out += kWords[i % 10];
        out += "&nbsp;";
        out += kUsers[i % 6];
        out += "</title>\n";
        std::snprintf(line, sizeof line, "\t\t<time>2008-%02d-%02d&nbsp;%02d:%02d:%02d</time>\n", 1 + i % 12, 1 + i % 28, i % 24, i % 60, (i * 7) % 60);
        out += line;
        out += "\t\t<user>";
        out += kUsers[(i * 5) % 6];
        out += "</user>\n";
        std::snprintf(line, sizeof line, "\t\t<user_id>%d</user_id>\n\t\t<content>", 100000 + i % 977);
        out += line;
        for (int w = 0; w < 7; ++w) {
            out += kWords[(i + w * 3) % 10];
            out += w % 3 == 2 ? "&lt;br&gt;" : "&nbsp;";
        }
        out += "</content>\n";
        std::snprintf(line, sizeof line, "\t\t<id>%d</id>\n\t\t<reply_number>%d</reply_number>\n\t</item>\n", id, i % 5);
        out += line;
    }
    out += "</message>\n";
    return out;
}

struct Fixture {
    std::filesystem::path folder;
    std::string ours;     // program path of our file
    std::string xmllint;  // native path of xmllint's copy
    std::string saved;    // program path the saves go to
    size_t size = 0;

    Fixture()
    {
        char pattern[] = "/tmp/tavrin-bench-XXXXXX";
        folder = mkdtemp(pattern);
        std::string text = MessageXml(kItems);
        size = text.size();
        std::ofstream(folder / "message.xml", std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
        // Our files carry no declaration and use &nbsp;: xmllint gets both.
        std::ofstream copy(folder / "xmllint.xml", std::ios::binary);
        copy << "<?xml version=\"1.0\" encoding=\"GBK\"?><!DOCTYPE message [<!ENTITY nbsp \"&#160;\">]>";
        copy.write(text.data(), static_cast<std::streamsize>(text.size()));
        copy.close();
        ours = tavrin::ProgramPath((folder / "message.xml").string()).GetString();
        saved = tavrin::ProgramPath((folder / "saved.xml").string()).GetString();
        xmllint = (folder / "xmllint.xml").string();
    }
    ~Fixture() { std::filesystem::remove_all(folder); }
};

Fixture& Data()
{
    static Fixture fixture;
    return fixture;
}

struct ChildResult {
    bool ok = false;
    double seconds = 0;
    long maxRssKb = 0;
};

// Runs a program with its output and errors in a file; ok when it exits 0
// and prints no error.
ChildResult Run(const std::vector<std::string>& args)
{
    ChildResult result;
    std::string errors = (Data().folder / "stderr.txt").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid;
    double start = Now();
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return result;
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    result.seconds = Now() - start;
    result.maxRssKb = usage.ru_maxrss;
    posix_spawn_file_actions_destroy(&actions);
    result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 && std::filesystem::file_size(errors) == 0;
    return result;
}

bool LoadOurs(CXmlFile& file)
{
    return file.Load(Data().ours.c_str(), FALSE) && file.FindChildElem("message") && file.GetChildCount() == kItems;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

int Ratio(const char* self)
{
    Fixture& d = Data();
    std::printf("message.xml: %d items, %.1f MB\n", kItems, static_cast<double>(d.size) / 1e6);
    std::vector<double> lint, load, save;
    for (int round = 0; round < 5; ++round) {
        ChildResult r = Run({"xmllint", "--noout", d.xmllint});
        if (!r.ok) {
            std::printf("xmllint failed or reported errors (see %s)\n", (d.folder / "stderr.txt").c_str());
            return 1;
        }
        lint.push_back(r.seconds);
        CXmlFile file;
        double start = Now();
        if (!LoadOurs(file)) {
            std::printf("loading failed\n");
            return 1;
        }
        load.push_back(Now() - start);
        start = Now();
        if (!file.SaveAs(d.saved.c_str())) {
            std::printf("saving failed\n");
            return 1;
        }
        save.push_back(Now() - start);
    }
    ChildResult peak = Run({self, "--peak", d.ours, d.saved});
    if (!peak.ok) {
        std::printf("the memory run failed\n");
        return 1;
    }
    double lintS = Median(lint), loadS = Median(load), saveS = Median(save);
    double peakMb = static_cast<double>(peak.maxRssKb) * 1024 / 1e6;
    double loadRatio = loadS / lintS, saveRatio = saveS / lintS, memoryRatio = peakMb * 1e6 / static_cast<double>(d.size);
    std::printf("xmllint --noout  %7.3f s\n", lintS);
    std::printf("load             %7.3f s   %.2f x xmllint (target <= 1)\n", loadS, loadRatio);
    std::printf("save             %7.3f s   %.2f x xmllint (target <= 2)\n", saveS, saveRatio);
    std::printf("peak memory      %7.1f MB  %.2f x file size (target < 4; load and save in a fresh process)\n", peakMb, memoryRatio);
    std::filesystem::remove(std::filesystem::path(d.folder / "saved.xml"));
    return loadRatio <= 1 && saveRatio <= 2 && memoryRatio < 4 ? 0 : 1;
}

// In a fresh process: load and save, for the peak resident size.
int Peak(const char* path, const char* saved)
{
    CXmlFile file;
    if (!file.Load(path, FALSE) || !file.SaveAs(saved))
        return 1;
    return 0;
}

void BM_Load(benchmark::State& state)
{
    for (auto _ : state) {
        CXmlFile file;
        if (!LoadOurs(file))
            state.SkipWithError("load failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Data().size));
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

void BM_Write(benchmark::State& state)
{
    CXmlFile file;
    LoadOurs(file);
    file.ResetPos();
    for (auto _ : state) {
        std::string text = tavrin::WriteXmlText(file.GetNode());
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Data().size));
}
BENCHMARK(BM_Write)->Unit(benchmark::kMillisecond);

void BM_Save(benchmark::State& state)
{
    CXmlFile file;
    LoadOurs(file);
    for (auto _ : state)
        if (!file.SaveAs(Data().saved.c_str()))
            state.SkipWithError("save failed");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Data().size));
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

void BM_Xmllint(benchmark::State& state)
{
    for (auto _ : state) {
        ChildResult r = Run({"xmllint", "--noout", Data().xmllint});
        if (!r.ok)
            state.SkipWithError("xmllint failed");
        state.SetIterationTime(r.seconds);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Data().size));
}
BENCHMARK(BM_Xmllint)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--peak") == 0)
        return Peak(argv[2], argv[3]);
    if (argc == 2 && std::strcmp(argv[1], "--ratio") == 0)
        return Ratio("/proc/self/exe");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
