// Where the panes learn the current account and class: the account tree
// installs its answers; until it does there is neither.
#pragma once

#include <functional>

class CAccount;
class CSchoolClass;

namespace tavrin::app {

struct SelectionSource {
    std::function<CAccount*()> account;
    std::function<CSchoolClass*()> schoolClass;
};

void SetSelectionSource(SelectionSource source);
// The account when an account item itself is selected, else null.
CAccount* GetCurrentAccount();
// The class when a class item is selected, else null.
CSchoolClass* GetCurrentClass();

} // namespace tavrin::app
