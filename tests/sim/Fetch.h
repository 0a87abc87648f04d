// A bare HTTP/1.0 exchange with the simulator, sent as a proxy request, for
// the simulator's own tests and for tests that need a page without the
// program's client.
#pragma once

#include "tests/sim/Http.h"

#include <string>

namespace tavrin::sim {

struct Fetched {
    bool ok = false; // a status line arrived
    int status = 0;
    Pairs headers;
    std::string body;
    std::string Header(std::string_view name) const;
};

// Sends method and the absolute url to the simulator on port, with the extra
// header lines (each "Name: value") and the body; reads to the end.
Fetched Fetch(int port, const std::string& method, const std::string& url, const std::string& body = "",
              const std::vector<std::string>& headers = {});

} // namespace tavrin::sim
