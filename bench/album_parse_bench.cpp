// The ChinaRen album parse, side by side for albums of 500 and of 5,000
// photos with four comments each: the photo data script into sorted records,
// every record into a photo, the comments script indexed once and every
// photo's comment table built, as the photo update does between its
// requests. Both sizes run in-process on one core, alternating run by run,
// the order reversed every other round; medians of CPU and wall time.
//
//   album_parse_bench [--cpu=N] [--wall] [rounds=9]
//
// The parse is linear when the larger album takes at most 11 times the
// smaller one's time; exit status 2 when it takes more, 1 when a parse reads
// other than the album holds.
#include "bench/Runner.h"
#include "providers/chinaren/AlbumRecords.h"
#include "providers/chinaren/PictureStoreChinaRen.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace bench = tavrin::bench;

namespace {

constexpr int kComments = 4;
constexpr double kGoal = 11.0;
const char kSep[] = "`@^";

struct Album {
    CString data;
    CString comments;
};

// The two scripts as the album-data host serves them, in upload order.
Album MakeAlbum(int photos)
{
    std::string data = "var pl = new Array();\r\n";
    std::string comments = "var cl = new Array();\r\n";
    int n = 0;
    char number[32];
    for (int i = 1; i <= photos; ++i) {
        const std::string id = std::to_string(100000 + i * 7);
        data += "pl[\"" + id + "\"]=\"HOST" + std::to_string(1 + i % 4) + kSep + "USID" + std::to_string(i) + kSep +
                "REAL张三" + kSep + "FNAM毕业照片第" + std::to_string(i) + "张" + kSep + "FEXTjpg" + kSep +
                "FLSZ204800" + kSep + "IMSZ1024*768" + kSep + "CRTM" + std::to_string(1117584000000LL + i * 60000LL) +
                kSep + "INTR大家在操场上的合影，还有老师" + kSep + "PURL" + kSep + "CLIK" + std::to_string(i % 97) +
                kSep + "CMNM4" + kSep + "CMDB0" + kSep + "STAT1" + kSep + "COL0" + kSep + "COL0\";\n";
        for (int k = 0; k < kComments; ++k) {
            std::snprintf(number, sizeof number, "%d", ++n);
            comments += "cl[\"" + id + kSep + number + "\"]=\"USID" + number + kSep + "REAL李四" + kSep + "CRTM" +
                        std::to_string(1117584000000LL + n * 1000LL) + kSep +
                        "MESG照片拍得真好，<b>怀念</b>那时候的日子" + "\";\n";
        }
    }
    return {CString(data.c_str(), static_cast<int>(data.size())),
            CString(comments.c_str(), static_cast<int>(comments.size()))};
}

// The update's parse of one album; the number of photos with comments.
int Parse(const Album& album)
{
    const tavrin::chinaren::AlbumComments comments(album.comments);
    int withComments = 0;
    for (const CString& record : tavrin::chinaren::PhotoRecords(album.data)) {
        CPictureItemChinaRen photo;
        if (!tavrin::chinaren::ReadPhotoRecord(record, "3012345", photo))
            continue;
        if (comments.Find(photo.m_id, photo.m_commentNum, photo.m_comment) && photo.m_commentNum == "4")
            ++withComments;
    }
    return withComments;
}

} // namespace

int main(int argc, char** argv)
{
    const int cpu = bench::PinBench(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    const int sizes[2] = {500, 5000};
    const Album albums[2] = {MakeAlbum(sizes[0]), MakeAlbum(sizes[1])};
    std::printf("album parse: %d and %d photos, %d comments each, core %d, %d rounds, medians\n", sizes[0], sizes[1],
                kComments, cpu, rounds);

    std::vector<bench::Sample> times[2];
    bool right = true;
    // Round -1 warms up; odd rounds run the larger album first.
    for (int round = -1; round < rounds; ++round) {
        for (int k = 0; k < 2; ++k) {
            const int side = round % 2 == 0 ? k : 1 - k;
            bench::Stopwatch watch;
            const int parsed = Parse(albums[side]);
            const bench::Sample time = watch.Stop();
            right = right && parsed == sizes[side];
            if (round >= 0)
                times[side].push_back(time);
        }
    }
    if (!right) {
        std::printf("a parse read other than the album holds\n");
        return 1;
    }
    auto median = [](const std::vector<bench::Sample>& samples, bool wall) {
        std::vector<double> values;
        for (const bench::Sample& s : samples)
            values.push_back(wall ? s.wall : s.cpu);
        return bench::Median(values) * 1000;
    };
    const double small[2] = {median(times[0], false), median(times[0], true)};
    const double large[2] = {median(times[1], false), median(times[1], true)};
    const double ratio[2] = {large[0] / small[0], large[1] / small[1]};
    std::printf("%-14s cpu %8.2f ms  wall %8.2f ms\n", "500 photos", small[0], small[1]);
    std::printf("%-14s cpu %8.2f ms  wall %8.2f ms\n", "5000 photos", large[0], large[1]);
    std::printf("ratio 5000/500: cpu %.2f  wall %.2f  (goal <= %.0f)\n", ratio[0], ratio[1], kGoal);
    const double judged = bench::JudgeWallTime() ? ratio[1] : ratio[0];
    return judged <= kGoal ? 0 : 2;
}
