#pragma once

namespace update {

// The program's identity: shown in the window title and matched against the update server's
// version list.
inline constexpr char AppName[] = "Kestrolan";
inline constexpr char AppVersion[] = "v01.01";
inline constexpr char AppDate[] = "02/09/2012";

}  // namespace update
