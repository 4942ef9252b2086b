#pragma once

#include <string_view>

namespace platform {

// True when an archive's stored path names a place inside the folder it is installed into, under
// that name and no other, on every system the program runs on. Refused: an empty path, an
// absolute one, a backslash or a colon anywhere (drive letters, Windows' alternate data
// streams), a ".." component, a component that ends in a dot or a blank or is longer than 255
// bytes, bytes below 0x20 (NUL included), and Windows' device names (CON, PRN, AUX, NUL,
// CONIN$, CONOUT$, COM0-9, LPT0-9, also with superscript digits) in any letter case, with or
// without an extension, in any component. Windows would alias those names: "kestrolan.exe." and
// "kestrolan.exe " name "kestrolan.exe", "x:stream" a stream of "x", "nul.txt" the null device.
bool IsSafeStoredPath(std::string_view storedPath);

}  // namespace platform
