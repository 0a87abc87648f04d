#include "platform/controls/CommCtrl.h"

#include "platform/controls/Button.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/DateTimePick.h"
#include "platform/controls/Edit.h"
#include "platform/controls/ListBox.h"
#include "platform/controls/ListViewShared.h"
#include "platform/controls/Progress.h"
#include "platform/controls/RichEdit.h"
#include "platform/controls/Static.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/ToolTip.h"
#include "platform/controls/UpDown.h"

namespace tavrin::controls {
namespace {

void RegisterAll()
{
    RegisterButton();
    RegisterStatic();
    RegisterListBox();
    RegisterComboBox();
    RegisterEdit();
    RegisterProgress();
    RegisterUpDown();
    RegisterToolTip();
    RegisterStatusBar();
    RegisterDateTimePick();
    RegisterRichEdit();
    RegisterListAndTreeControls();
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
