// The program's version and build stamp: the log's first lines and the title
// screen show them, the update check sends the version.
#pragma once

inline constexpr char kBrinemarkVersion[] = "1,0,2,7542";
inline constexpr char kBrinemarkBuildStamp[] = "2011/08/06 02:17:32";
