// The stored registry file on hostile bytes: parsing never reads past the
// input, a failure leaves an empty tree, and whatever parses writes back to
// bytes that parse to the same tree (subkeys come back in name order).
#include "platform/win/RegistryFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
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
        const std::string written = tavrin::win::registry::Serialize(root);
        tavrin::win::registry::Key again;
        CHECK(tavrin::win::registry::Parse(written, again));
        CHECK(tavrin::win::registry::Serialize(again) == written);
    } else {
        CHECK(root.values.empty() && root.subkeys.empty());
    }
    return 0;
}
