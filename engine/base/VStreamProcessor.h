// The engine's background stream processor (asynchronous resource streaming).
// The stand-in streams nothing in the background: resources load at once on the
// main thread, so runs stay deterministic. It keeps what it was given.
#pragma once

#include "engine/base/VBase.h"

class VBASE_IMPEXP VStreamProcessor {
 public:
  // Starts the processor with that many streaming threads (at least 1); a second
  // call replaces the count.
  static void Initialize(int threadCount);
  static void DeInitialize();
  static bool IsInitialized();
  // 0 while not initialised.
  static int GetThreadCount();
};
