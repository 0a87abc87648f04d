// End-to-end display tests of the real program: a program folder of its
// own, the providers' sites simulated behind its proxy setting, and the
// display it runs on.
#pragma once

#include "tests/sim/Simulator.h"
#include "tests/support/ProgramHarness.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tavrin::test {

class ProgramEndToEnd : public ::testing::Test {
protected:
    // Skips without a display or a built program. A derived SetUp calls it
    // first and returns when IsSkipped() or HasFatalFailure().
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no display";
        if (BuiltProgram().empty())
            GTEST_SKIP() << "the program is not built";
        ASSERT_TRUE(m_x.IsOpen());
        m_folder.UseProxy(m_sim.ProxyHost(), m_sim.ProxyPort());
    }

    tavrin::sim::Simulator m_sim;
    ProgramFolder m_folder;
    XSession m_x;
};

} // namespace tavrin::test
