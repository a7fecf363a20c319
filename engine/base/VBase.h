// Basic types and macros shared by the whole stand-in engine and the game.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// Pointer-sized integers: component message parameters and handles carry addresses.
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef int BOOL;
typedef unsigned int UINT;
typedef unsigned char UBYTE;
typedef unsigned short USHORT;
typedef unsigned long ULONG;
typedef int64_t __int64_t_alias;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define V_ARRAY_SIZE(a) (sizeof(a) / sizeof((a)[0]))

// Symbols the game plug-in and the engine export; everything is visible on Linux.
#define VBASE_IMPEXP __attribute__((visibility("default")))
#define VISION_APIFUNC VBASE_IMPEXP

// Engine assertion: logged and counted, never stops the program (see VisError.h).
#define VASSERT(expr) \
  ((expr) ? (void)0 : VAssertFailed(#expr, nullptr, __FILE__, __LINE__))
#define VASSERT_MSG(expr, msg) \
  ((expr) ? (void)0 : VAssertFailed(#expr, (msg), __FILE__, __LINE__))

VBASE_IMPEXP void VAssertFailed(const char* expr, const char* msg, const char* file, int line);

// Engine allocator conventions: game objects use plain new/delete.
#define V_SAFE_DELETE(p) do { delete (p); (p) = nullptr; } while (0)
#define V_SAFE_DELETE_ARRAY(p) do { delete[] (p); (p) = nullptr; } while (0)
#define V_SAFE_RELEASE(p) do { if (p) { (p)->Release(); (p) = nullptr; } } while (0)
