// A large message.xml (100,000 items, about 39 MB of GBK text with "&nbsp;",
// as the message store writes it) against pugixml and libxml2's xmllint, all
// on one core, alternating round by round. The files lie on tmpfs, so the
// atomic save's flush costs nothing that the peers' saves do not pay.
//   in-process, against pugixml (parse_default):
//     load                 CXmlFile::Load / xml_document::load_file
//     load + every field   the cursor API into CStrings / child_value() and
//                          attribute values copied into std::strings
//     save                 CXmlFile::SaveAs / xml_document::save_file
//   one process per side, against xmllint:
//     load                 xml_bench --load / xmllint --noout
//     load + save          xml_bench --save / xmllint --output
//   and the peak resident memory of the --save process against the file size.
//
//   xml_bench [--cpu=N] [--wall] [rounds=5] [work folder=/dev/shm]
//   xml_bench --load FILE | --save FILE OUT     (our side as a process)
#include "bench/Runner.h"
#include "core/services/XmlFile.h"
#include "platform/base/Path.h"

#include <pugixml.hpp>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
namespace bench = tavrin::bench;

namespace {

constexpr int kItems = 100000;
const char* const kChildren[] = {"title", "time", "user", "user_id", "content", "id", "reply_number"};
const char* const kAttributes[] = {"read", "custo_id", "id"};

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

bool LoadOurs(CXmlFile& file, const char* path)
{
    return file.Load(path, FALSE) && file.FindChildElem("message") && file.GetChildCount() == kItems;
}

// Every field of every item through a cursor, as the stores read them.
size_t ReadOurs(CXmlFile& file)
{
    size_t bytes = 0;
    int c = file.NewCursor();
    file.ResetPos(c);
    if (file.FindChildElem("message", FALSE, c) && file.FindChildElem("item", FALSE, c)) {
        do {
            for (const char* name : kAttributes)
                bytes += static_cast<size_t>(file.GetAttrib(name, c).GetLength());
            for (const char* name : kChildren)
                bytes += static_cast<size_t>(file.GetChildData(name, c).GetLength());
        } while (file.FindNextElem(TRUE, c));
    }
    file.ReleaseCursor(c);
    return bytes;
}

bool LoadPugi(pugi::xml_document& doc, const std::string& path)
{
    return doc.load_file(path.c_str(), pugi::parse_default) &&
           static_cast<int>(std::distance(doc.child("message").begin(), doc.child("message").end())) == kItems;
}

size_t ReadPugi(const pugi::xml_document& doc)
{
    size_t bytes = 0;
    for (pugi::xml_node item = doc.child("message").child("item"); item; item = item.next_sibling("item")) {
        for (const char* name : kAttributes) {
            std::string value = item.attribute(name).value();
            bytes += value.size();
        }
        for (const char* name : kChildren) {
            std::string value = item.child(name).child_value();
            bytes += value.size();
        }
    }
    return bytes;
}

struct Fixture {
    fs::path folder;
    std::string native;  // our file, native path
    std::string ours;    // the same, program path
    std::string lint;    // xmllint's copy, with a declaration and the entity
    std::string saved;   // program path our saves go to
    std::string pugiSaved, lintSaved;
    size_t size = 0;

    explicit Fixture(const fs::path& root)
    {
        std::string pattern = (root / "tavrin-xml-bench-XXXXXX").string();
        folder = mkdtemp(pattern.data()) ? fs::path(pattern) : root;
        std::string text = MessageXml(kItems);
        size = text.size();
        native = (folder / "message.xml").string();
        std::ofstream(native, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
        // Our files carry no declaration and use &nbsp;: xmllint gets both.
        std::ofstream copy(folder / "xmllint.xml", std::ios::binary);
        copy << "<?xml version=\"1.0\" encoding=\"GBK\"?><!DOCTYPE message [<!ENTITY nbsp \"&#160;\">]>";
        copy.write(text.data(), static_cast<std::streamsize>(text.size()));
        copy.close();
        ours = tavrin::ProgramPath(native).GetString();
        saved = tavrin::ProgramPath((folder / "saved.xml").string()).GetString();
        lint = (folder / "xmllint.xml").string();
        pugiSaved = (folder / "pugi.xml").string();
        lintSaved = (folder / "lint-saved.xml").string();
    }
    ~Fixture() { fs::remove_all(folder); }
};

struct Pair {
    const char* what;
    const char* peer;
    double goal;
    std::vector<bench::Sample> ours, theirs;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--load") == 0) {
        CXmlFile file;
        return LoadOurs(file, tavrin::ProgramPath(argv[2]).GetString()) ? 0 : 1;
    }
    if (argc == 4 && std::strcmp(argv[1], "--save") == 0) {
        CXmlFile file;
        return LoadOurs(file, tavrin::ProgramPath(argv[2]).GetString()) &&
                       file.SaveAs(tavrin::ProgramPath(argv[3]).GetString())
                   ? 0
                   : 1;
    }
    int cpu = bench::PinBench(argc, argv);
    int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    Fixture d(argc > 2 ? fs::path(argv[2]) : fs::path("/dev/shm"));
    std::printf("message.xml: %d items, %.1f MB in %s, core %d, %d rounds, medians\n", kItems,
                static_cast<double>(d.size) / 1e6, d.folder.c_str(), cpu, rounds);

    Pair load{"load", "pugixml load_file", 1.0, {}, {}};
    Pair read{"load + every field", "pugixml + copies", 1.2, {}, {}};
    Pair save{"save", "pugixml save_file", 0, {}, {}};
    Pair loadProcess{"load (process)", "xmllint --noout", 1.0, {}, {}};
    Pair saveProcess{"load + save (process)", "xmllint --output", 2.0, {}, {}};
    const std::string self = bench::SelfPath();
    long peakKb = 0;
    size_t oursBytes = 0, pugiBytes = 0;

    for (int round = -1; round < rounds; ++round) { // round -1 warms up
        auto keep = [&](std::vector<bench::Sample>& times, bench::Sample time) {
            if (round >= 0)
                times.push_back(time);
        };
        {
            CXmlFile file;
            bench::Stopwatch watch;
            if (!LoadOurs(file, d.ours.c_str())) {
                std::fprintf(stderr, "loading failed\n");
                return 1;
            }
            keep(load.ours, watch.Stop());
            watch = bench::Stopwatch();
            if (!file.SaveAs(d.saved.c_str())) {
                std::fprintf(stderr, "saving failed\n");
                return 1;
            }
            keep(save.ours, watch.Stop());
        }
        {
            pugi::xml_document doc;
            bench::Stopwatch watch;
            if (!LoadPugi(doc, d.native)) {
                std::fprintf(stderr, "pugixml failed to load the file\n");
                return 1;
            }
            keep(load.theirs, watch.Stop());
            watch = bench::Stopwatch();
            if (!doc.save_file(d.pugiSaved.c_str())) {
                std::fprintf(stderr, "pugixml failed to save\n");
                return 1;
            }
            keep(save.theirs, watch.Stop());
        }
        {
            bench::Stopwatch watch;
            CXmlFile file;
            if (!LoadOurs(file, d.ours.c_str()))
                return 1;
            oursBytes = ReadOurs(file);
            keep(read.ours, watch.Stop());
        }
        {
            bench::Stopwatch watch;
            pugi::xml_document doc;
            if (!LoadPugi(doc, d.native))
                return 1;
            pugiBytes = ReadPugi(doc);
            keep(read.theirs, watch.Stop());
        }
        bench::RunResult a = bench::Run({self, "--load", d.native});
        bench::RunResult b = bench::Run({"xmllint", "--noout", d.lint}, {"/dev/null", (d.folder / "errors.txt").string(), {}});
        if (!a.ok || !b.ok || fs::file_size(d.folder / "errors.txt") != 0) {
            std::fprintf(stderr, "%s failed (see %s)\n", a.ok ? "xmllint --noout" : "xml_bench --load",
                         (d.folder / "errors.txt").c_str());
            return 1;
        }
        keep(loadProcess.ours, a.time);
        keep(loadProcess.theirs, b.time);
        a = bench::Run({self, "--save", d.native, (d.folder / "saved.xml").string()});
        b = bench::Run({"xmllint", "--output", d.lintSaved, d.lint}, {"/dev/null", (d.folder / "errors.txt").string(), {}});
        if (!a.ok || !b.ok || fs::file_size(d.folder / "errors.txt") != 0) {
            std::fprintf(stderr, "%s failed\n", a.ok ? "xmllint --output" : "xml_bench --save");
            return 1;
        }
        keep(saveProcess.ours, a.time);
        keep(saveProcess.theirs, b.time);
        peakKb = std::max(peakKb, a.maxRssKb);
    }

    bool met = true;
    for (Pair* p : {&load, &read, &save, &loadProcess, &saveProcess})
        met = bench::PrintPair(p->what, p->peer, p->ours, p->theirs, p->goal) && met;
    double memoryRatio = static_cast<double>(peakKb) * 1024 / static_cast<double>(d.size);
    std::printf("peak memory of load + save (process): %.1f MB, %.2f x the file (goal < 3.50)%s\n",
                static_cast<double>(peakKb) * 1024 / 1e6, memoryRatio, memoryRatio < 3.5 ? "" : "  MISSED");
    std::printf("field bytes read: tavrin %zu (unescaped), pugixml %zu\n", oursBytes, pugiBytes);
    return met && memoryRatio < 3.5 ? 0 : 1;
}
