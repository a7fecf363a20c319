// The program's version: the log's first lines show it and the update check sends it.
#pragma once

inline constexpr char kBrinemarkVersion[] = "1,0,2,7542";
