// The global atom table: case-insensitive strings of at most 255 bytes
// counted by reference, atoms from 0xC000; "#n" and MAKEINTATOM(n) below
// 0xC000 are integer atoms that need no entry. A broadcast to another copy
// of the program carries an atom's name along, and the receiver adds it to
// its own table (Broadcast.h).
#pragma once

#include "platform/base/Types.h"

ATOM GlobalAddAtomA(LPCSTR name);
ATOM GlobalFindAtomA(LPCSTR name);
// Bytes copied without the zero (cut to size - 1); 0 for an unknown atom.
UINT GlobalGetAtomNameA(ATOM atom, LPSTR buffer, int size);
// 0 on success, else the atom.
ATOM GlobalDeleteAtom(ATOM atom);

inline ATOM GlobalAddAtom(LPCSTR name) { return GlobalAddAtomA(name); }
inline ATOM GlobalFindAtom(LPCSTR name) { return GlobalFindAtomA(name); }
inline UINT GlobalGetAtomName(ATOM atom, LPSTR buffer, int size) { return GlobalGetAtomNameA(atom, buffer, size); }
