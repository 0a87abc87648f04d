// Pieces shared by the collection templates: the opaque iteration position,
// the key hash of the maps and the stop on a misuse that would otherwise
// read or write outside a collection.
#pragma once

#include "platform/base/Types.h"

#include <type_traits>

class CString;
class CObject;

typedef struct __POSITION* POSITION;
#define BEFORE_START_POSITION (reinterpret_cast<POSITION>(static_cast<intptr_t>(-1)))

namespace tavrin {
// An index or position outside the collection is a programming error; it
// stops the program with a message instead of touching foreign memory.
[[noreturn]] void CollectionFault(const char* what);

// The framework's string hash: hash * 33 + c over the characters, as chars.
inline UINT HashString(const char* key)
{
    UINT hash = 0;
    if (key) {
        while (*key)
            hash = (hash << 5) + hash + static_cast<UINT>(static_cast<int>(*key++));
    }
    return hash;
}

template <typename T>
inline constexpr bool kIsStringKey =
    std::is_same_v<std::remove_cvref_t<T>, CString> || std::is_same_v<std::remove_cvref_t<T>, const char*> ||
    std::is_same_v<std::remove_cvref_t<T>, char*>;
} // namespace tavrin

// Integer and pointer keys hash to their value shifted right by 4 (as a 32-bit
// value); string keys use the string hash. Maps walk buckets in ascending
// order of hash modulo the table size, so callers that depend on the order
// depend on this function.
template <typename ARG_KEY>
inline UINT HashKey(ARG_KEY key)
{
    if constexpr (tavrin::kIsStringKey<ARG_KEY>) {
        return tavrin::HashString(static_cast<const char*>(key));
    } else if constexpr (std::is_pointer_v<std::remove_cvref_t<ARG_KEY>>) {
        return static_cast<UINT>(reinterpret_cast<uintptr_t>(key) >> 4);
    } else if constexpr (std::is_enum_v<std::remove_cvref_t<ARG_KEY>>) {
        return static_cast<UINT>(static_cast<DWORD>(key)) >> 4;
    } else {
        static_assert(std::is_integral_v<std::remove_cvref_t<ARG_KEY>>, "HashKey needs an integer, pointer or string key");
        return static_cast<UINT>(static_cast<DWORD>(key)) >> 4;
    }
}
