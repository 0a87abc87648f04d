// "msctls_progress32": a bar that fills from the range's low end to the position.
#pragma once

#include "platform/controls/CommCtrl.h"

#define PBS_SMOOTH 0x01
#define PBS_VERTICAL 0x04

#define PBM_SETRANGE (WM_USER + 1)
#define PBM_SETPOS (WM_USER + 2)
#define PBM_DELTAPOS (WM_USER + 3)
#define PBM_SETSTEP (WM_USER + 4)
#define PBM_STEPIT (WM_USER + 5)
#define PBM_SETRANGE32 (WM_USER + 6)
#define PBM_GETRANGE (WM_USER + 7)
#define PBM_GETPOS (WM_USER + 8)
#define PBM_SETBARCOLOR (WM_USER + 9)
#define PBM_SETBKCOLOR CCM_SETBKCOLOR

struct PBRANGE {
    int iLow;
    int iHigh;
};
typedef PBRANGE* PPBRANGE;

namespace tavrin::controls {
bool RegisterProgress();
}
