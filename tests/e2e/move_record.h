// The record of a window's moves that the end-to-end driver reads and move_hook.dll writes, inside
// the tool, at each WM_WINDOWPOSCHANGED of a top-level window: memory both processes map by name.
#pragma once

#include <windows.h>

inline constexpr wchar_t kMoveRecordName[] = L"Local\\TarvelE2eMoveRecord";
inline constexpr LONG kMoveRecordCapacity = 64;

struct TMoveRecord {
    LONG Count; // moves seen; those past the capacity are counted, not kept
    struct {
        ULONG64 Window;
        RECT Rect; // the window's rectangle once moved, in the tool's (physical) pixels
    } Moves[kMoveRecordCapacity];
};
