// The stored registry file on hostile bytes: parsing never reads past the
// input, and whatever parses writes back to exactly the same bytes.
#include "platform/win/RegistryFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#define CHECK(cond)                                                                            \
    do {                                                                                       \
        if (!(cond)) {                                                                         \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    tavrin::win::registry::Key root;
    if (tavrin::win::registry::Parse(bytes, root)) {
        CHECK(tavrin::win::registry::Serialize(root) == bytes);
    } else {
        CHECK(root.values.empty() && root.subkeys.empty());
    }
    return 0;
}
