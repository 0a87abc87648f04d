#include "core/services/BusyGuard.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(BusyGuard, FlagIsSetExactlyWhileTheOperationRuns)
{
    std::atomic<int> busy{0};
    {
        CBusyGuard guard(&busy);
        EXPECT_EQ(busy.load(), 1);
    }
    EXPECT_EQ(busy.load(), 0);

    auto failingOperation = [&busy] {
        CBusyGuard guard(&busy);
        throw std::runtime_error("request failed");
    };
    EXPECT_THROW(failingOperation(), std::runtime_error);
    EXPECT_EQ(busy.load(), 0);
}
