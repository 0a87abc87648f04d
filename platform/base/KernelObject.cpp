#include "platform/base/KernelObject.h"

#include <mutex>
#include <unordered_map>

namespace tavrin {
namespace {

struct Registry {
    std::mutex lock;
    std::unordered_map<HANDLE, std::shared_ptr<KernelObject>> objects;
};

Registry& GetRegistry()
{
    static Registry* registry = new Registry; // outlives static destructors
    return *registry;
}

} // namespace

HANDLE RegisterHandle(std::shared_ptr<KernelObject> object)
{
    if (!object)
        return INVALID_HANDLE_VALUE;
    HANDLE handle = object.get();
    Registry& r = GetRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.objects[handle] = std::move(object);
    return handle;
}

std::shared_ptr<KernelObject> LookupHandle(HANDLE handle)
{
    Registry& r = GetRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    auto it = r.objects.find(handle);
    return it == r.objects.end() ? nullptr : it->second;
}

std::shared_ptr<KernelObject> ReleaseHandle(HANDLE handle)
{
    Registry& r = GetRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    auto it = r.objects.find(handle);
    if (it == r.objects.end())
        return nullptr;
    std::shared_ptr<KernelObject> object = std::move(it->second);
    r.objects.erase(it);
    return object;
}

} // namespace tavrin

BOOL CloseHandle(HANDLE handle)
{
    std::shared_ptr<tavrin::KernelObject> object = tavrin::ReleaseHandle(handle);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return object->Close() ? TRUE : FALSE;
}
