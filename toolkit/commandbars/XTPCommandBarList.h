// The customised bars as one stored list: which bars are saved, their
// popup bars linked by id, loading the list back and merging it with the
// bars the program made.
#pragma once

#include "platform/base/String.h"

#include <vector>

class CXTPCommandBar;
class CXTPCommandBars;
class CXTPPropExchange;

// Handed to the exchanges of the list as their user data.
struct CXTPCommandBarsPropExchangeParam {
    BOOL bSaveOnlyCustomized = TRUE;
    BOOL bSilent = FALSE;
    // Popup bars reached through the reference copies are saved too.
    BOOL bSaveOriginalControls = TRUE;
    CXTPCommandBars* pCommandBars = nullptr;
    // The id the next saved popup bar gets.
    UINT nNextPopupBarID = 0x1000000;
};

// Holds one reference of each bar.
class CXTPCommandBarList {
public:
    CXTPCommandBarList() = default;
    ~CXTPCommandBarList() { RemoveAll(); }
    CXTPCommandBarList(const CXTPCommandBarList&) = delete;
    CXTPCommandBarList& operator=(const CXTPCommandBarList&) = delete;

    // FALSE when the bar is in the list already.
    BOOL Add(CXTPCommandBar* pBar);
    BOOL Contains(const CXTPCommandBar* pBar) const;
    CXTPCommandBar* FindBar(UINT nBarID) const;
    int GetCount() const { return static_cast<int>(m_arrBars.size()); }
    CXTPCommandBar* GetAt(int nIndex) const { return m_arrBars[static_cast<size_t>(nIndex)]; }
    void RemoveAll();

    // The bars with their controls under "CommandBars"; loading fails
    // (nothing left in the list) on a bar that cannot be made, a damaged
    // stream or a popup that would contain itself.
    BOOL DoPropExchange(CXTPPropExchange* pPX);

private:
    std::vector<CXTPCommandBar*> m_arrBars;
};

namespace tavrin::commandbars {

// The bars to save, each popup bar with its id.
void GenerateCommandBarList(CXTPCommandBars* pCommandBars, CXTPCommandBarList& list,
                            CXTPCommandBarsPropExchangeParam& param);
// Links every loaded popup control to its bar; FALSE when a popup bar
// would contain itself, directly or through its submenus.
BOOL RestoreCommandBarLinks(CXTPCommandBarList& list);
// Merges the loaded toolbars with the manager's bars.
void RestoreCommandBarList(CXTPCommandBars* pCommandBars, CXTPCommandBarList& list, BOOL bSilent);

// The stored blob, and the limit of a blob that is loaded.
constexpr size_t kMaxBlobSize = 16u << 20;
constexpr size_t kMaxRegistryBlob = 16000;

} // namespace tavrin::commandbars
