// The engine's thread manager (Vision::GetThreadManager): the number of worker
// threads the engine may use for its tasks. All work of the stand-in runs on the
// main thread, so the count is kept for the callers that read it back.
#pragma once

#include "engine/base/VBase.h"

class VBASE_IMPEXP VThreadManager {
 public:
  // At least 1.
  void SetThreadCount(int workers) { m_iWorkers = workers < 1 ? 1 : workers; }
  int GetThreadCount() const { return m_iWorkers; }

 private:
  int m_iWorkers = 1;
};

namespace Vision {
VBASE_IMPEXP VThreadManager& GetThreadManager();
}  // namespace Vision
