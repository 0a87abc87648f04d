// Window pixels resized step by step: kept pixels stay at the top left, every
// pixel newly inside is zero (also where a larger size left pixels behind in
// the same block), and a view given out stays readable.
#include "platform/gdi/ResizableSurface.h"

#include <gtest/gtest.h>

#include <algorithm>

using tavrin::ResizableSurface;
using tavrin::Surface;

namespace {

uint32_t Mark(int step, int x, int y)
{
    return (uint32_t(step + 1) << 24) | (uint32_t(y) << 12) | uint32_t(x);
}

} // namespace

TEST(ResizableSurfaceTest, KeepsTopLeftAndClearsWhatIsNew)
{
    struct Step {
        int width, height;
        const char* what;
    } const steps[] = {
        {100, 50, "first"},
        {90, 50, "narrower, in place"},
        {95, 55, "taller than the block: a new one with room"},
        {120, 70, "inside the room"},
        {100, 60, "smaller, in place"},
        {120, 70, "back: what the larger size left must not show"},
        {60, 40, "much smaller: a block of its own"},
        {80, 60, "inside that block's room"},
        {80, 60, "same size"},
    };
    ResizableSurface pixels;
    EXPECT_EQ(pixels.Get(), nullptr);
    std::shared_ptr<Surface> first;
    int oldWidth = 0, oldHeight = 0;
    for (int i = 0; i < int(std::size(steps)); ++i) {
        const Step& step = steps[i];
        std::shared_ptr<Surface> view = pixels.Resize(step.width, step.height);
        ASSERT_NE(view, nullptr) << step.what;
        ASSERT_EQ(view->Width(), step.width) << step.what;
        ASSERT_EQ(view->Height(), step.height) << step.what;
        if (!first)
            first = view;
        const int keepWidth = std::min(oldWidth, step.width), keepHeight = std::min(oldHeight, step.height);
        int wrong = 0;
        for (int y = 0; y < step.height; ++y)
            for (int x = 0; x < step.width; ++x) {
                const bool kept = x < keepWidth && y < keepHeight;
                const uint32_t want = kept ? Mark(i - 1, x, y) : 0;
                wrong += view->GetPixel(x, y) != want;
            }
        EXPECT_EQ(wrong, 0) << step.what;
        for (int y = 0; y < step.height; ++y)
            for (int x = 0; x < step.width; ++x)
                view->SetPixel(x, y, Mark(i, x, y));
        oldWidth = step.width;
        oldHeight = step.height;
    }
    // The first view still reads its block (freed only with the last view).
    EXPECT_EQ(first->GetPixel(0, 0) >> 24, 2u);

    EXPECT_EQ(pixels.Resize(0, 10), nullptr) << "no size, no pixels";
    EXPECT_EQ(pixels.Resize(Surface::kMaxSide + 1, 1), nullptr);
    const std::shared_ptr<Surface>& fresh = pixels.Resize(30, 30);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->GetPixel(29, 29), 0u) << "starts zeroed again";
}
