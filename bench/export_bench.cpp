// A message export of a class of 5,000 messages paged by month, 500 photos
// and 100 contacts, side by side with `cp -r` of the tree it produced. Both
// sides are processes started the same way, pinned to one core, alternating
// run by run with the order reversed every other round; both write to tmpfs.
// Ours renders every message page from a stand-in store (a page of about
// 2 KB around each message, as the message template renders), joins them,
// rewrites the links, writes the pages, copies the styles and the photo
// files and fills the index.
//
//   export_bench [--cpu=N] [--wall] [rounds=7] [work folder=/dev/shm/tavrin-export-bench]
//
// Exit status 2 when the ratio is above 4, 1 when a side fails.
#include "bench/Runner.h"
#include "core/model/ContactStore.h"
#include "core/model/MessageStore.h"
#include "core/model/PictureStore.h"
#include "platform/base/Time.h"
#include "reports/ExportPlan.h"
#include "reports/ExportWorker.h"
#include "reports/ReportProgress.h"

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

constexpr int kMessages = 5000;
constexpr int kPhotos = 500;
constexpr int kContacts = 100;

std::string Filler(int i)
{
    std::string text;
    static const char* const kWords[] = {"同学们好", "好久不见", "毕业十年了", "大家都还好吗", "我在北京"};
    for (int w = 0; w < 40; ++w)
        text += kWords[(i + w) % 5];
    return text;
}

// Pages as the stores render them, the message in its marked block.
class BenchMessages : public CMessageStore {
public:
    CString RenderPage(CString custoId) override
    {
        return "<html><head><link href=\"../../../styles/5460/default/message.css\" rel=\"stylesheet\"></head><body>"
               "<!--留言分割开始--><!--<hr>--><!--留言分割结束--><!--留言模板开始--><table><tr><td>" +
               custoId + "</td><td><a href=\\\"tavrin:点击查看[" + custoId + "]\\\">" + CString(Filler(atoi(custoId)).c_str()) +
               "</a></td></tr></table><img src=\"../../../styles/5460/default/images/face.gif\"><!--留言模板结束-->"
               "</body></html>";
    }
};
class BenchPictures : public CPictureStore {
public:
    CString RenderDetailPage(CString custoId, int) override
    {
        return "<html><body><img src=\"pictures\\p" + custoId + ".jpg\"><p>" + CString(Filler(atoi(custoId)).c_str()) +
               "</p></body></html>";
    }
};
class BenchContacts : public CContactStore {
public:
    CString RenderPage(CString custoId) override
    {
        return "<html><body><p>" + custoId + CString(Filler(atoi(custoId)).c_str()) + "</p></body></html>";
    }
};

int RunOurs(const std::string& work, const std::string& out)
{
    std::vector<PlanMessage> messages;
    CTime start(2004, 1, 1, 0, 0, 0);
    for (int i = 0; i < kMessages; ++i) {
        CString id;
        id.Format("%d", i + 1);
        CTime day = start + CTimeSpan(i * 3 * 365 / kMessages, 0, 0, 0);
        messages.push_back({id, "甲", day.Format("%Y-%m-%d 12:00")});
    }
    ExportJob job;
    job.plan = BuildExportPlan(messages, {kPagingMonth, kFilterAuthor, "甲", CTime(), CTime(), ""});
    job.indexPath = CString(out.c_str()) + "\\index.htm";
    job.album = job.contacts = true;
    job.classLabel = "第一中学-三班";
    job.appDir = CString((work + "/app").c_str());
    job.classFolder = CString((work + "/class").c_str());
    for (int i = 0; i < kPhotos; ++i) {
        CString id;
        id.Format("%d", i + 1);
        job.photos.push_back({id, "p" + id, "照片" + id});
    }
    for (int i = 0; i < kContacts; ++i) {
        CString id;
        id.Format("%d", i + 1);
        job.people.push_back({id, id, "同学" + id});
    }
    BenchMessages m;
    BenchPictures p;
    BenchContacts c;
    NoProgress progress;
    ExportResult result = RunExport(job, &m, &p, &c, progress);
    return result.failures == 0 && !result.refused ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--run")
        return RunOurs(argv[2], argv[3]);
    bench::PinBench(argc, argv);
    int rounds = argc > 1 ? std::atoi(argv[1]) : 7;
    fs::path work = argc > 2 ? argv[2] : "/dev/shm/tavrin-export-bench";
    fs::remove_all(work);
    fs::create_directories(work / "app");
    fs::copy(fs::path(TAVRIN_SOURCE_DIR) / "styles", work / "app" / "styles", fs::copy_options::recursive);
    fs::create_directories(work / "class" / "pictures");
    std::string photo(60000, 'j');
    for (int i = 1; i <= kPhotos; ++i) {
        std::ofstream(work / "class" / "pictures" / ("p" + std::to_string(i) + ".jpg"), std::ios::binary) << photo;
        std::ofstream(work / "class" / "pictures" / ("p" + std::to_string(i) + ".s.jpg"), std::ios::binary)
            << photo.substr(0, 4000);
    }

    const std::string w = work.string();
    const std::vector<std::string> ours = {bench::SelfPath(), "--run", w, w + "/out"};
    // The floor: a copy of the tree our side produced, same files and folders.
    const std::vector<std::string> peer = {"sh", "-c", "rm -rf " + w + "/copy && cp -r " + w + "/out " + w + "/copy"};
    fs::create_directories(work / "out");
    if (!bench::Run(ours).ok) {
        std::fprintf(stderr, "export failed\n");
        return 1;
    }
    std::vector<bench::Sample> oursTimes, peerTimes;
    auto run = [&](bool oursNow) {
        if (oursNow) {
            fs::remove_all(work / "out");
            fs::create_directories(work / "out");
        }
        return bench::Run(oursNow ? ours : peer);
    };
    if (!bench::Alternate(rounds, run, oursTimes, peerTimes)) {
        std::fprintf(stderr, "a side failed\n");
        return 1;
    }
    bool met = bench::PrintPair("export, 5,000", "cp -r of the tree", oursTimes, peerTimes, 4.0);
    return met ? 0 : 2;
}
