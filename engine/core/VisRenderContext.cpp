// Render contexts: the main one and the one currently rendered to.
#include "engine/core/VisRenderContext.h"

#include "engine/core/VisionApp.h"

namespace {
VisRenderContext_cl g_mainContext;
VisRenderContext_cl* g_currentContext = &g_mainContext;
}  // namespace

VisRenderContext_cl* VisRenderContext_cl::GetMainRenderContext() { return &g_mainContext; }

VisRenderContext_cl* VisRenderContext_cl::GetCurrentContext() { return g_currentContext; }

void VisRenderContext_cl::Activate() { g_currentContext = this; }

void VisRenderContext_cl::SetFOV(float horizontal, float vertical) {
  if (horizontal != 0.0f) m_fovX = horizontal;
  if (vertical != 0.0f) m_fovY = vertical;
}

void VisRenderContext_cl::GetSize(int& w, int& h) const {
  w = VVideo::GetCurrentWidth();
  h = VVideo::GetCurrentHeight();
}
