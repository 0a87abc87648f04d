// GdiObject: the base of every drawing object reached through a handle, and
// the handle table that maps handles to objects. Handles are never reused, so
// a stale handle is refused instead of reaching another object. Objects are
// shared: a device context keeps what is selected into it alive even after
// DeleteObject has retired the handle.
#pragma once

#include "platform/gdi/GdiTypes.h"

#include <memory>

namespace tavrin {

// Kinds beyond the documented OBJ_ values, for handles of user objects.
constexpr int kObjIcon = 100;
constexpr int kObjImageList = 101;

class GdiObject {
public:
    virtual ~GdiObject() = default;
    virtual int Type() const = 0;
    // GetObject: copies the object's description; returns bytes written, or
    // the size needed when out is null; 0 on failure.
    virtual int Describe(int size, void* out) const { (void)size; (void)out; return 0; }

    bool IsStock() const { return m_stock; }
    void MarkStock() { m_stock = true; }
    void* Handle() const { return m_handle; }

private:
    friend class GdiHandles;
    void* m_handle = nullptr;
    bool m_stock = false;
};

class GdiHandles {
public:
    // Registers the object and returns its new handle (null for null).
    static void* Insert(std::shared_ptr<GdiObject> object);
    static std::shared_ptr<GdiObject> Lookup(const void* handle);
    // Retires the handle; the object lives on while others hold it.
    static bool Remove(const void* handle);

    template <typename T>
    static std::shared_ptr<T> Get(const void* handle)
    {
        return std::dynamic_pointer_cast<T>(Lookup(handle));
    }
};

template <typename H>
H ToHandle(void* handle) { return static_cast<H>(handle); }

// Creates and registers an object, returning its handle as H.
template <typename H, typename T>
H Register(std::shared_ptr<T> object)
{
    return static_cast<H>(GdiHandles::Insert(std::move(object)));
}

} // namespace tavrin
