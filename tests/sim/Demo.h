// A small seeded scenario for trying the whole client by hand (the standalone
// runner) and for tests that want a populated site.
#pragma once

#include "tests/sim/Simulator.h"

namespace tavrin::sim {

// User "demo" with password "demo" in two classes with members.
void SeedDemo(Simulator& sim);

} // namespace tavrin::sim
