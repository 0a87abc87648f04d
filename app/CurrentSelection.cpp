#include "app/CurrentSelection.h"

#include <utility>

namespace tavrin::app {

namespace {
SelectionSource& Source()
{
    static SelectionSource source;
    return source;
}
} // namespace

void SetSelectionSource(SelectionSource source) { Source() = std::move(source); }

CAccount* GetCurrentAccount() { return Source().account ? Source().account() : nullptr; }

CSchoolClass* GetCurrentClass() { return Source().schoolClass ? Source().schoolClass() : nullptr; }

} // namespace tavrin::app
