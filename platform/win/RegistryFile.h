// The stored form of the user's registry tree: a key holds named values (in
// the order they were first set) and subkeys (in name order, ignoring case).
// The file comes from disk and so is outside input: the parser checks every
// length and count against what is left and limits the depth; anything
// damaged makes it fail, and the caller starts from an empty tree.
#pragma once

#include "platform/base/Types.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::win::registry {

struct Value {
    std::string name;
    DWORD type = 0;
    std::string data;
};

struct Key {
    std::string name;
    std::vector<Value> values;
    // Folded name -> subkey.
    std::map<std::string, std::unique_ptr<Key>> subkeys;

    Value* FindValue(std::string_view name);
    Key* FindSubkey(std::string_view name);
    // The subkey, made when missing; created tells which.
    Key& AddSubkey(std::string_view name, bool* created = nullptr);
    bool RemoveValue(std::string_view name);
};

// Key names are at most 255 bytes, value names at most 16383; keys nest at
// most 512 deep; the whole file is at most 64 MiB.
inline constexpr size_t kMaxKeyName = 255;
inline constexpr size_t kMaxValueName = 16383;
inline constexpr int kMaxDepth = 512;
inline constexpr size_t kMaxFileSize = 64u << 20;

// False (and root cleared) when the bytes are not a whole, valid tree.
bool Parse(std::string_view bytes, Key& root);
std::string Serialize(const Key& root);

} // namespace tavrin::win::registry
