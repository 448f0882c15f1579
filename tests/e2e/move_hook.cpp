// A test-only hook DLL: the driver hooks it into the tool's thread (WH_CALLWNDPROCRET) while it sends
// WM_DPICHANGED, so that every place the tool moves its window to is seen, even one it leaves again
// before the message returns. Tarvel.exe itself has no such machinery.
#include "tests/e2e/move_record.h"

namespace {

TMoveRecord* Record() {
    static TMoveRecord* const record = [] {
        HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, kMoveRecordName);
        return mapping ? static_cast<TMoveRecord*>(
                             MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(TMoveRecord)))
                       : nullptr;
    }();
    return record;
}

} // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK RecordMoves(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_WINDOWPOSCHANGED &&
        !(GetWindowLongW(call->hwnd, GWL_STYLE) & WS_CHILD))
        if (TMoveRecord* record = Record()) {
            const LONG index = InterlockedIncrement(&record->Count) - 1;
            if (index < kMoveRecordCapacity) {
                record->Moves[index].Window = reinterpret_cast<ULONG64>(call->hwnd);
                GetWindowRect(call->hwnd, &record->Moves[index].Rect);
            }
        }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
