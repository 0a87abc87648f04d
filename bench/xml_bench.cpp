// A large message.xml (100,000 items, about 39 MB of GBK text with "&nbsp;",
// as the message store writes it) against pugixml and libxml2's xmllint, all
// on one core, alternating round by round. The files lie on tmpfs, so the
// atomic save's flush costs nothing that the peers' saves do not pay.
// Each pair alternates run by run, the order reversed every other round.
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
#include "bench/StoreFiles.h"
#include "core/services/XmlFile.h"
#include "platform/base/Path.h"

#include <pugixml.hpp>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <utility>
#include <string>
#include <vector>

namespace fs = std::filesystem;
namespace bench = tavrin::bench;

namespace {

constexpr int kItems = 100000;
const char* const kChildren[] = {"title", "time", "user", "user_id", "content", "id", "reply_number"};
const char* const kAttributes[] = {"read", "custo_id", "id"};


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

// The peak resident size of this process image. The parent cannot tell it:
// a child started by posix_spawn inherits the parent's high-water mark.
long PeakKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    }
    return 0;
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
        std::string text = bench::MessageXml(kItems);
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
        if (!LoadOurs(file, tavrin::ProgramPath(argv[2]).GetString()) ||
            !file.SaveAs(tavrin::ProgramPath(argv[3]).GetString()))
            return 1;
        std::printf("%ld\n", PeakKb());
        return 0;
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

    const std::string errors = (d.folder / "errors.txt").string();
    const std::string peakFile = (d.folder / "peak.txt").string();
    // Each step runs one side once and tells whether it worked.
    using Step = std::function<bool(bench::Sample&)>;
    auto runChild = [&](std::vector<std::string> args, bench::RunOptions options, bench::Sample& time) {
        bench::RunResult r = bench::Run(args, options);
        time = r.time;
        return r.ok && (options.errors.empty() || fs::file_size(options.errors) == 0);
    };
    struct Side {
        Pair* pair;
        bool ours;
        Step step;
    };
    std::vector<std::pair<Side, Side>> steps = {
        {{&load, true, [&](bench::Sample& t) {
              CXmlFile file;
              bench::Stopwatch watch;
              bool ok = LoadOurs(file, d.ours.c_str());
              t = watch.Stop();
              return ok;
          }},
         {&load, false, [&](bench::Sample& t) {
              pugi::xml_document doc;
              bench::Stopwatch watch;
              bool ok = LoadPugi(doc, d.native);
              t = watch.Stop();
              return ok;
          }}},
        {{&read, true, [&](bench::Sample& t) {
              bench::Stopwatch watch;
              CXmlFile file;
              bool ok = LoadOurs(file, d.ours.c_str());
              oursBytes = ReadOurs(file);
              t = watch.Stop();
              return ok;
          }},
         {&read, false, [&](bench::Sample& t) {
              bench::Stopwatch watch;
              pugi::xml_document doc;
              bool ok = LoadPugi(doc, d.native);
              pugiBytes = ReadPugi(doc);
              t = watch.Stop();
              return ok;
          }}},
        {{&save, true, [&](bench::Sample& t) {
              CXmlFile file;
              if (!LoadOurs(file, d.ours.c_str()))
                  return false;
              bench::Stopwatch watch;
              bool ok = file.SaveAs(d.saved.c_str());
              t = watch.Stop();
              return ok;
          }},
         {&save, false, [&](bench::Sample& t) {
              pugi::xml_document doc;
              if (!LoadPugi(doc, d.native))
                  return false;
              bench::Stopwatch watch;
              bool ok = doc.save_file(d.pugiSaved.c_str());
              t = watch.Stop();
              return ok;
          }}},
        {{&loadProcess, true, [&](bench::Sample& t) { return runChild({self, "--load", d.native}, {}, t); }},
         {&loadProcess, false,
          [&](bench::Sample& t) { return runChild({"xmllint", "--noout", d.lint}, {"/dev/null", errors, {}}, t); }}},
        {{&saveProcess, true, [&](bench::Sample& t) {
              if (!runChild({self, "--save", d.native, (d.folder / "saved.xml").string()}, {peakFile, "", {}}, t))
                  return false;
              std::ifstream peak(peakFile);
              long kb = 0;
              peak >> kb;
              peakKb = std::max(peakKb, kb);
              return true;
          }},
         {&saveProcess, false, [&](bench::Sample& t) {
              return runChild({"xmllint", "--output", d.lintSaved, d.lint}, {"/dev/null", errors, {}}, t);
          }}},
    };

    // Round -1 warms up; odd rounds run the peer first, so that neither side
    // always follows the other.
    for (int round = -1; round < rounds; ++round) {
        for (auto& [first, second] : steps) {
            Side* order[] = {&first, &second};
            if (round % 2)
                std::swap(order[0], order[1]);
            for (Side* side : order) {
                bench::Sample time;
                if (!side->step(time)) {
                    std::fprintf(stderr, "%s: %s failed (see %s)\n", side->pair->what,
                                 side->ours ? "tavrin" : side->pair->peer, errors.c_str());
                    return 1;
                }
                if (round >= 0)
                    (side->ours ? side->pair->ours : side->pair->theirs).push_back(time);
            }
        }
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
