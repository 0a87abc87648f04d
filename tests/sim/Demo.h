// A small seeded scenario for trying the whole client by hand (the standalone
// runner) and for tests that want a populated site.
#pragma once

#include "tests/sim/Simulator.h"

namespace tavrin::sim {

// User "demo" with password "demo" in two classes with members.
void SeedDemo(Simulator& sim);

// The demo class's message board (tests/sim/5460/DemoMessages5460.cpp).
std::vector<Message> DemoMessages();

} // namespace tavrin::sim
