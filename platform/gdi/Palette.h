// Palette: a colour table. Surfaces are true-colour, so palettes only keep
// their entries for the code that reads them back.
#pragma once

#include "platform/gdi/GdiObject.h"

#include <vector>

namespace tavrin {

class Palette final : public GdiObject {
public:
    explicit Palette(std::vector<PALETTEENTRY> entries) : m_entries(std::move(entries)) {}
    int Type() const override { return OBJ_PAL; }
    int Describe(int size, void* out) const override;
    const std::vector<PALETTEENTRY>& Entries() const { return m_entries; }

private:
    std::vector<PALETTEENTRY> m_entries;
};

} // namespace tavrin
