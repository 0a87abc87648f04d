// Per-thread maps from handles to framework objects. Permanent entries are
// the objects the program made and attached; temporary ones are made by
// FromHandle for handles nobody attached, owned by the map and freed in the
// idle pass (DeleteTempMap), detached first so the handle itself lives on.
// A temporary object is made of the class the caller asks for (a CBrush for
// CBrush::FromHandle), one per handle and class, so no object is ever used
// as a class it is not.
#pragma once

#include <memory>
#include <typeinfo>
#include <unordered_map>
#include <vector>

namespace tavrin::mfc {

template <class T, class H, H T::*Handle>
class HandleMap {
public:
    T* FromHandlePermanent(H h) const
    {
        auto it = m_permanent.find(h);
        return it == m_permanent.end() ? nullptr : it->second;
    }
    // The permanent object when it is a U, else a temporary U for the handle.
    template <class U = T>
    U* FromHandle(H h)
    {
        if (!h)
            return nullptr;
        if (U* p = dynamic_cast<U*>(FromHandlePermanent(h)))
            return p;
        auto& objects = m_temporary[h];
        for (auto& object : objects) {
            if (typeid(*object) == typeid(U))
                return static_cast<U*>(object.get());
        }
        auto made = std::make_unique<U>();
        made.get()->*Handle = h;
        U* p = made.get();
        objects.push_back(std::move(made));
        return p;
    }
    void SetPermanent(H h, T* object)
    {
        m_permanent[h] = object;
        DropTemporaries(h);
    }
    void RemoveHandle(H h)
    {
        m_permanent.erase(h);
        DropTemporaries(h);
    }
    void DeleteTemp()
    {
        auto temporary = std::move(m_temporary);
        m_temporary.clear();
        for (auto& [h, objects] : temporary) {
            for (auto& object : objects)
                object.get()->*Handle = H();
        }
    }
    ~HandleMap() { DeleteTemp(); }

private:
    void DropTemporaries(H h)
    {
        auto it = m_temporary.find(h);
        if (it == m_temporary.end())
            return;
        for (auto& object : it->second)
            object.get()->*Handle = H();
        m_temporary.erase(it);
    }

    std::unordered_map<H, T*> m_permanent;
    std::unordered_map<H, std::vector<std::unique_ptr<T>>> m_temporary;
};

// The calling thread's map of the kind.
template <class T, class H, H T::*Handle>
HandleMap<T, H, Handle>& ThreadHandleMap()
{
    thread_local HandleMap<T, H, Handle> map;
    return map;
}

} // namespace tavrin::mfc
