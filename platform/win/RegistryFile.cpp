#include "platform/win/RegistryFile.h"

#include "platform/win/NameFold.h"

#include <algorithm>
#include <cstring>

namespace tavrin::win::registry {

namespace {

// Layout, little-endian: the magic, then the root key. A key is its name, its
// value count, each value (name, type, data), its subkey count and each
// subkey. Names and data are a 32-bit length and the bytes.
constexpr char kMagic[8] = {'T', 'V', 'R', 'E', 'G', '0', '0', '1'};

void PutU32(std::string& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void PutBytes(std::string& out, std::string_view bytes)
{
    PutU32(out, static_cast<uint32_t>(bytes.size()));
    out.append(bytes);
}

void PutKey(std::string& out, const Key& key)
{
    PutBytes(out, key.name);
    PutU32(out, static_cast<uint32_t>(key.values.size()));
    for (const Value& v : key.values) {
        PutBytes(out, v.name);
        PutU32(out, v.type);
        PutBytes(out, v.data);
    }
    PutU32(out, static_cast<uint32_t>(key.subkeys.size()));
    for (const auto& [folded, sub] : key.subkeys)
        PutKey(out, *sub);
}

class Reader {
public:
    explicit Reader(std::string_view bytes) : m_rest(bytes) {}

    bool U32(uint32_t& v)
    {
        if (m_rest.size() < 4)
            return false;
        v = 0;
        for (int i = 0; i < 4; ++i)
            v |= static_cast<uint32_t>(static_cast<unsigned char>(m_rest[i])) << (8 * i);
        m_rest.remove_prefix(4);
        return true;
    }

    bool Bytes(std::string& out, size_t limit)
    {
        uint32_t n = 0;
        if (!U32(n) || n > limit || n > m_rest.size())
            return false;
        out.assign(m_rest.data(), n);
        m_rest.remove_prefix(n);
        return true;
    }

    // A count of records of at least minSize bytes each must fit in the rest.
    bool Count(uint32_t& n, size_t minSize)
    {
        return U32(n) && n <= m_rest.size() / minSize;
    }

    bool Key(registry::Key& key, int depth)
    {
        if (depth > kMaxDepth || !Bytes(key.name, kMaxKeyName))
            return false;
        if (depth > 0 && (key.name.empty() || key.name.find('\\') != std::string::npos))
            return false;
        uint32_t values = 0;
        if (!Count(values, 12))
            return false;
        key.values.reserve(values);
        for (uint32_t i = 0; i < values; ++i) {
            Value v;
            if (!Bytes(v.name, kMaxValueName) || !U32(v.type) || !Bytes(v.data, kMaxFileSize))
                return false;
            if (key.FindValue(v.name))
                return false;
            key.values.push_back(std::move(v));
        }
        uint32_t subkeys = 0;
        if (!Count(subkeys, 12))
            return false;
        for (uint32_t i = 0; i < subkeys; ++i) {
            auto sub = std::make_unique<registry::Key>();
            if (!Key(*sub, depth + 1))
                return false;
            std::string folded = FoldName(sub->name);
            if (!key.subkeys.emplace(std::move(folded), std::move(sub)).second)
                return false;
        }
        return true;
    }

    bool AtEnd() const { return m_rest.empty(); }

private:
    std::string_view m_rest;
};

} // namespace

Value* Key::FindValue(std::string_view name)
{
    for (Value& v : values)
        if (SameName(v.name, name))
            return &v;
    return nullptr;
}

Key* Key::FindSubkey(std::string_view name)
{
    auto it = subkeys.find(FoldName(name));
    return it == subkeys.end() ? nullptr : it->second.get();
}

Key& Key::AddSubkey(std::string_view name, bool* created)
{
    auto [it, inserted] = subkeys.try_emplace(FoldName(name));
    if (inserted) {
        it->second = std::make_unique<Key>();
        it->second->name = std::string(name);
    }
    if (created)
        *created = inserted;
    return *it->second;
}

bool Key::RemoveValue(std::string_view name)
{
    auto it = std::find_if(values.begin(), values.end(), [&](const Value& v) { return SameName(v.name, name); });
    if (it == values.end())
        return false;
    values.erase(it);
    return true;
}

bool Parse(std::string_view bytes, Key& root)
{
    root = Key{};
    if (bytes.size() > kMaxFileSize || bytes.size() < sizeof kMagic ||
        memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
        return false;
    bytes.remove_prefix(sizeof kMagic);
    Reader reader(bytes);
    Key parsed;
    if (!reader.Key(parsed, 0) || !reader.AtEnd())
        return false;
    root = std::move(parsed);
    return true;
}

std::string Serialize(const Key& root)
{
    std::string out(kMagic, sizeof kMagic);
    PutKey(out, root);
    return out;
}

} // namespace tavrin::win::registry
