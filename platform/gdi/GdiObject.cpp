#include "platform/gdi/GdiObject.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace tavrin {

namespace {

struct Table {
    std::mutex mutex;
    std::unordered_map<uintptr_t, std::shared_ptr<GdiObject>> objects;
    uintptr_t next = 1;
};

Table& TheTable()
{
    static Table* table = new Table; // outlives every static object that may free handles
    return *table;
}

} // namespace

void* GdiHandles::Insert(std::shared_ptr<GdiObject> object)
{
    if (!object)
        return nullptr;
    Table& t = TheTable();
    std::lock_guard<std::mutex> lock(t.mutex);
    uintptr_t key = (t.next++) << 4;
    void* handle = reinterpret_cast<void*>(key);
    object->m_handle = handle;
    t.objects.emplace(key, std::move(object));
    return handle;
}

std::shared_ptr<GdiObject> GdiHandles::Lookup(const void* handle)
{
    if (!handle)
        return nullptr;
    Table& t = TheTable();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
    return it == t.objects.end() ? nullptr : it->second;
}

bool GdiHandles::Remove(const void* handle)
{
    std::shared_ptr<GdiObject> doomed; // released outside the lock
    Table& t = TheTable();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
    if (it == t.objects.end())
        return false;
    doomed = std::move(it->second);
    t.objects.erase(it);
    return true;
}

} // namespace tavrin
