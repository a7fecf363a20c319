// The stream processor's recorded state.
#include "engine/base/VStreamProcessor.h"

namespace {
int g_threadCount = 0;
}  // namespace

void VStreamProcessor::Initialize(int threadCount) { g_threadCount = threadCount < 1 ? 1 : threadCount; }

void VStreamProcessor::DeInitialize() { g_threadCount = 0; }

bool VStreamProcessor::IsInitialized() { return g_threadCount > 0; }

int VStreamProcessor::GetThreadCount() { return g_threadCount; }
