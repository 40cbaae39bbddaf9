/* The registry walk of keywalk.h over HKEY_LOCAL_MACHINE. */
#ifndef KVL_KEYWALK_WIN_H
#define KVL_KEYWALK_WIN_H

#include <windows.h>

#include "sysinfo/keywalk.h"

/* Walks HKLM\rootPath as WalkKeyTree does, with at most WALK_KEYS_MAX keys;
 * each WalkKey the visitor gets is an HKEY open for reading. Every key left
 * out, and a walk that reaches the cap, is traced. */
WalkResult WalkMachineKeys(const char *rootPath, KeyVisitor visit, void *context);

/* The key as an HKEY. */
inline HKEY HkeyOf(WalkKey key) { return static_cast<HKEY>(key); }

#endif
