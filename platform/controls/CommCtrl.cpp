#include "platform/controls/CommCtrl.h"

#include "platform/controls/Button.h"

namespace tavrin::controls {
namespace {

void RegisterAll()
{
    RegisterButton();
}

} // namespace
} // namespace tavrin::controls

void InitCommonControls()
{
    tavrin::controls::RegisterAll();
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init)
{
    if (!init || init->dwSize != sizeof(INITCOMMONCONTROLSEX))
        return FALSE;
    tavrin::controls::RegisterAll();
    return TRUE;
}
