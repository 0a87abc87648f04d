// The image manager's stored icon sets on hostile bytes: loading never
// throws or reads past the input, and whatever loads is stored and loaded
// again whole.
#include "platform/mfc/Archive.h"
#include "platform/mfc/MemFile.h"
#include "toolkit/commandbars/XTPImageManager.h"
#include "toolkit/commandbars/XTPPropExchange.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#define CHECK(cond)                                                                            \
    do {                                                                                       \
        if (!(cond)) {                                                                         \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

namespace {

BOOL Load(CXTPImageManager& manager, std::vector<BYTE>& bytes)
{
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    CXTPPropExchangeArchive px(ar);
    return manager.DoPropExchange(&px);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<BYTE> input(data, data + size);
    CXTPImageManager manager;
    Load(manager, input);

    CMemFile out;
    {
        CArchive ar(&out, CArchive::store);
        manager.Serialize(ar);
        ar.Close();
    }
    std::vector<BYTE> stored(static_cast<size_t>(out.GetLength()));
    out.SeekToBegin();
    out.Read(stored.data(), static_cast<UINT>(stored.size()));
    CXTPImageManager again;
    CHECK(Load(again, stored));
    CHECK(again.GetIconSetCount() == manager.GetIconSetCount());
    return 0;
}
