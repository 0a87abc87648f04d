// Runs one test of this binary in a second process, as another copy of the
// program would run: the child's test reads its arguments from TAVRIN_CHILD_*
// variables and skips itself when started normally.
#pragma once

#include "tests/support/ChildProcess.h"

#include <string>
#include <utility>
#include <vector>

namespace tavrin::test {

// Starts "--gtest_filter=<test>" of this binary with the variables set.
bool StartSelf(ChildProcess& child, const std::string& test,
               const std::vector<std::pair<std::string, std::string>>& variables);
// The variable for a child test; empty when not running as a child.
std::string ChildArgument(const char* name);

} // namespace tavrin::test
