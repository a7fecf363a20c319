// The pick ray of Vision::Game: a screen point turned into a view direction.
#include "engine/core/VisGame.h"
#include "engine/core/VisRenderContext.h"

VisVector_cl VisGame_cl::GetTraceDirFromScreenPos(float x, float y, float length,
                                                  const VisRenderContext_cl* context) const {
  if (!context) context = VisRenderContext_cl::GetMainRenderContext();
  return context->GetViewRayDirection(x, y) * length;
}
