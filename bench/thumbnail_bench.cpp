// The photo album's thumbnails against the peers that make the same 120-pixel
// JPEG thumbnails, each side one process over the whole set, pinned to one
// core, alternating round by round:
//   tavrin       the picture store's thumbnail step over the folder
//   vipsthumbnail --size 120x90 (shrinks on load), VIPS_CONCURRENCY=1
//   mogrify -define jpeg:size=120x90 -sample 120x90 (shrinks on load)
//   mogrify -sample 120x90 (decodes whole)
// on 200 photos of 1024x768 and 200 camera photos of 3000x2000. Odd rounds
// run the sides in reverse order, so that no side always follows another.
//
//   thumbnail_bench [--cpu=N] [--wall] [rounds=3] [work folder=/dev/shm/tavrin-thumbnail-bench]
//   thumbnail_bench --make FOLDER      (our side: one process over a folder)
#include "bench/PhotoSource.h"
#include "bench/Runner.h"
#include "core/model/Thumbnail.h"
#include "platform/base/Path.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
namespace bench = tavrin::bench;

namespace {

constexpr int kPhotos = 200;

struct PhotoSet {
    int width, height;
    double vipsGoal; // ours / vipsthumbnail; 0: none
};

std::string SetName(const PhotoSet& set)
{
    return std::to_string(set.width) + "x" + std::to_string(set.height);
}

bool MakePhotos(const fs::path& folder, const PhotoSet& set)
{
    fs::create_directories(folder);
    for (int i = 0; i < kPhotos; ++i) {
        fs::path jpg = folder / bench::NumberedName("p", i, ".jpg");
        if (fs::exists(jpg))
            continue;
        fs::path ppm = folder.parent_path() / "photo.ppm";
        bench::WritePhoto(ppm, set.width, set.height, static_cast<unsigned>(i + 1));
        std::string cmd = "cjpeg -quality 85 -outfile '" + jpg.string() + "' '" + ppm.string() + "'";
        if (std::system(cmd.c_str()) != 0) {
            std::fprintf(stderr, "cjpeg failed (scripts/setup installs libjpeg-turbo-progs)\n");
            return false;
        }
        fs::remove(ppm);
    }
    return true;
}

std::vector<std::string> Photos(const fs::path& folder)
{
    std::vector<std::string> photos;
    for (int i = 0; i < kPhotos; ++i)
        photos.push_back((folder / bench::NumberedName("p", i, ".jpg")).string());
    return photos;
}

// Empties a peer's output folder, or takes our "s_" files out of the photos'.
void Clean(const fs::path& folder, bool thumbnailsOnly)
{
    fs::create_directories(folder);
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (!thumbnailsOnly || entry.path().filename().string().rfind("s_", 0) == 0)
            fs::remove(entry.path());
    }
}

size_t CountFiles(const fs::path& folder, bool thumbnailsOnly)
{
    size_t n = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        n += !thumbnailsOnly || entry.path().filename().string().rfind("s_", 0) == 0;
    return n;
}

struct Side {
    const char* name;
    std::vector<std::string> command;
    bench::RunOptions options;
    fs::path output;
    bool thumbnailsOnly = false;
    std::vector<bench::Sample> times;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--make") == 0) {
        int written = tavrin::MakeMissingThumbnails(tavrin::ProgramPath(argv[2]));
        std::printf("%d\n", written);
        return written > 0 ? 0 : 1;
    }
    int cpu = bench::PinBench(argc, argv);
    int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    // On tmpfs: our thumbnails are flushed to disk before they replace a
    // file, the peers' are not.
    fs::path dir = argc > 2 ? fs::path(argv[2]) : fs::path("/dev/shm/tavrin-thumbnail-bench");
    const PhotoSet sets[] = {{1024, 768, 0}, {3000, 2000, 1.0}};
    std::printf("thumbnails of %d photos per set, one process per side and round, core %d, %d rounds, medians\n",
                kPhotos, cpu, rounds);

    bool allMet = true;
    for (const PhotoSet& set : sets) {
        fs::path base = dir / SetName(set);
        fs::path photos = base / "photos";
        if (!MakePhotos(photos, set))
            return 1;
        std::vector<std::string> files = Photos(photos);
        auto withFiles = [&](std::vector<std::string> command) {
            command.insert(command.end(), files.begin(), files.end());
            return command;
        };
        const std::string vipsOut = (base / "vips").string() + "/%s.jpg[Q=90]";
        std::vector<Side> sides;
        sides.push_back({"tavrin", {bench::SelfPath(), "--make", photos.string()}, {}, photos, true, {}});
        sides.push_back({"vipsthumbnail --size 120x90",
                         withFiles({"vipsthumbnail", "--size", "120x90", "-o", vipsOut}),
                         {"/dev/null", "", {"VIPS_CONCURRENCY=1"}},
                         base / "vips", false, {}});
        sides.push_back({"mogrify jpeg:size -sample",
                         withFiles({"/usr/bin/mogrify", "-limit", "thread", "1", "-path", (base / "hint").string(),
                                    "-define", "jpeg:size=120x90", "-sample", "120x90", "-quality", "90"}),
                         {},
                         base / "hint", false, {}});
        sides.push_back({"mogrify -sample",
                         withFiles({"/usr/bin/mogrify", "-limit", "thread", "1", "-path",
                                    (base / "sample").string(), "-sample", "120x90", "-quality", "90"}),
                         {},
                         base / "sample", false, {}});

        // Round -1 warms the page cache; odd rounds run the sides in reverse.
        for (int round = -1; round < rounds; ++round) {
            std::vector<Side*> order;
            for (Side& side : sides)
                order.push_back(&side);
            if (round % 2)
                std::reverse(order.begin(), order.end());
            for (Side* next : order) {
                Side& side = *next;
                Clean(side.output, side.thumbnailsOnly);
                bench::RunResult r = bench::Run(side.command, side.options);
                size_t made = CountFiles(side.output, side.thumbnailsOnly);
                if (!r.ok || made != static_cast<size_t>(kPhotos)) {
                    std::fprintf(stderr, "%s failed on the %s set (%zu thumbnails; scripts/setup installs the peers)\n",
                                 side.name, SetName(set).c_str(), made);
                    return 1;
                }
                if (round >= 0)
                    side.times.push_back(r.time);
            }
        }
        Clean(photos, true);

        std::printf("\n%s, %d photos:\n", SetName(set).c_str(), kPhotos);
        for (size_t i = 1; i < sides.size(); ++i) {
            double goal = i == 1 ? set.vipsGoal : 0;
            bool met = bench::PrintPair("thumbnails", sides[i].name, sides[0].times, sides[i].times, goal);
            allMet = allMet && met;
        }
    }
    return allMet ? 0 : 2;
}
