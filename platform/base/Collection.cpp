#include "platform/base/Collection.h"

#include <cstdio>
#include <cstdlib>

namespace tavrin {

void CollectionFault(const char* what)
{
    std::fprintf(stderr, "tavrin: collection misuse: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

} // namespace tavrin
