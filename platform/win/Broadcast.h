// Broadcasts of a message to the top-level windows of this process and of
// this user's other copies of the program. Registered message ids differ
// between processes, so a copy receives a registered message by its name
// (over a local socket in the configuration folder that only this user can
// reach) and posts its own id for that name. An atom in wParam travels by its
// name too: the receiver adds it to its global atom table and passes its own.
#pragma once

#include "platform/win/WinMessage.h"

#include <string>

#define BSM_ALLCOMPONENTS 0x00000000
#define BSM_VXDS 0x00000001
#define BSM_NETDRIVER 0x00000002
#define BSM_INSTALLABLEDRIVERS 0x00000004
#define BSM_APPLICATIONS 0x00000008
#define BSM_ALLDESKTOPS 0x00000010

#define BSF_QUERY 0x00000001
#define BSF_IGNORECURRENTTASK 0x00000002
#define BSF_FLUSHDISK 0x00000004
#define BSF_NOHANG 0x00000008
#define BSF_POSTMESSAGE 0x00000010
#define BSF_FORCEIFHUNG 0x00000020
#define BSF_NOTIMEOUTIFNOTHUNG 0x00000040

// A positive value on success, -1 on failure. Other copies always get the
// message posted; this process's windows get it sent unless BSF_POSTMESSAGE.
long BroadcastSystemMessageA(DWORD flags, LPDWORD recipients, UINT message, WPARAM wParam, LPARAM lParam);
inline long BroadcastSystemMessage(DWORD flags, LPDWORD recipients, UINT message, WPARAM wParam, LPARAM lParam)
{
    return BroadcastSystemMessageA(flags, recipients, message, wParam, lParam);
}

namespace tavrin::win {

// Makes this copy reachable by the others' broadcasts (done by creating a
// named mutex); again after the configuration folder moved, it moves too.
void StartInstanceListener();
// The name a registered message was registered under; false for others.
// (Kept by the message core.)
bool GetRegisteredMessageName(UINT message, std::string& name);

} // namespace tavrin::win
