// The verification pictures: "/verifyimg?" and a kind ("lw", "cp", "creg")
// with the request values. Each query shows four digits, kept so that tests
// can read them and later posts can be checked against them.
#include "tests/sim/chinaren/SiteChinaRen.h"

#include "imaging/ImageGif.h"
#include "imaging/ImageMemoryStream.h"
#include "providers/chinaren/site.h"

#include <functional>

namespace tavrin::sim::chinaren {

namespace {

// A 3 x 5 block font, one row of three bits per entry, top row first.
constexpr unsigned char kDigits[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 2, 2, 2}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};
constexpr int kScale = 3;
constexpr int kGap = 4;

PictureAnswer AnswerFor(const Data& data, const std::string& query)
{
    PictureAnswer answer = PictureAnswer::Gif;
    size_t best = 0;
    for (const auto& [prefix, value] : data.pictureAnswers) {
        if (prefix.size() >= best && query.compare(0, prefix.size(), prefix) == 0) {
            best = prefix.size();
            answer = value;
        }
    }
    return answer;
}

} // namespace

int CodeImageWidth(int n)
{
    return kGap + n * (3 * kScale + kGap);
}

int CodeImageHeight()
{
    return 5 * kScale + 2 * kGap;
}

std::string DrawCode(const std::string& text)
{
    const int width = CodeImageWidth(static_cast<int>(text.size()));
    const int height = CodeImageHeight();
    CImageObj image;
    if (!image.Create(static_cast<DWORD>(width), static_cast<DWORD>(height), 1, IMAGE_TYPE_GIF))
        return {};
    image.SetPaletteColor(0, RGBQUAD{0xF0, 0xF8, 0xFF, 0});
    image.SetPaletteColor(1, RGBQUAD{0x80, 0x20, 0x10, 0});
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetPixelIndex(x, y, 0);
    for (size_t i = 0; i < text.size(); ++i) {
        const int digit = text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : 0;
        const int left = kGap + static_cast<int>(i) * (3 * kScale + kGap);
        for (int row = 0; row < 5; ++row)
            for (int column = 0; column < 3; ++column)
                if (kDigits[digit][row] & (4 >> column))
                    for (int dy = 0; dy < kScale; ++dy)
                        for (int dx = 0; dx < kScale; ++dx)
                            // The image's rows count from the bottom.
                            image.SetPixelIndex(left + column * kScale + dx,
                                                height - 1 - (kGap + row * kScale + dy), 1);
    }
    CImageGif gif;
    gif.Ghost(&image);
    tavrin::ImageMemoryStream out;
    if (!gif.Encode(out))
        return {};
    return std::string(reinterpret_cast<const char*>(out.Bytes().data()), out.Bytes().size());
}

std::string CodeOf(Data& data, const std::string& query)
{
    auto it = data.codes.find(query);
    if (it != data.codes.end())
        return it->second;
    // Stable for a query, different between queries.
    size_t seed = std::hash<std::string>{}(query) ^ data.codes.size();
    std::string code;
    for (int i = 0; i < 4; ++i) {
        code += static_cast<char>('0' + seed % 10);
        seed /= 10;
    }
    data.codes[query] = code;
    return code;
}

void InstallVerifyImages(Simulator& sim, const StatePtr& state)
{
    sim.Route(tavrin::chinaren::kVerifyHost, "/verifyimg", [state](const Request& request, Response& response) {
        PictureAnswer answer;
        std::string code;
        {
            std::lock_guard<std::mutex> lock(state->lock);
            answer = AnswerFor(state->data, request.query);
            code = CodeOf(state->data, request.query);
        }
        std::string picture = DrawCode(code);
        switch (answer) {
        case PictureAnswer::Html:
            response.Html(Page("错误", "<p>验证码服务暂时不可用</p>"));
            return;
        case PictureAnswer::FiveBytes:
            picture = "GIF89";
            break;
        case PictureAnswer::Gif404:
            response.status = 404;
            break;
        case PictureAnswer::Gif87:
            picture.replace(0, 6, "GIF87a");
            break;
        case PictureAnswer::Gif:
            break;
        }
        response.SetHeader("Content-Type", "image/gif");
        response.body = picture;
    });
}

} // namespace tavrin::sim::chinaren
