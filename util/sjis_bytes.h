// Shift-JIS byte classes shared by every unit, and the guard that literals are Shift-JIS.
#pragma once

#ifndef TARVEL_UTF8_LITERALS
static_assert(sizeof("表") == 3 && "表"[0] == '\x95' && "表"[1] == '\x5c',
              "build with -fexec-charset=CP932: narrow literals must be Shift-JIS");
#endif

// A byte 0x80-0x9F or 0xE0-0xFD starts a two-byte character; the byte after it belongs to it.
constexpr bool IsSjisLeadByte(unsigned char b) {
    return (b >= 0x80 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFD);
}
