// Overlay rendering brackets; they nest, and an unmatched end is reported, not counted.
#include "engine/render/VisRenderer.h"

#include "engine/base/VisError.h"
#include "engine/core/VisGame.h"
#include "engine/render/VShaderLibrary.h"

namespace {
int g_overlayDepth = 0;
}  // namespace

void VisRenderLoopHelper_cl::BeginOverlayRendering() { ++g_overlayDepth; }

void VisRenderLoopHelper_cl::EndOverlayRendering() {
  if (g_overlayDepth == 0) {
    Vision::Error.Warning("EndOverlayRendering without BeginOverlayRendering");
    return;
  }
  --g_overlayDepth;
}

bool VisRenderLoopHelper_cl::IsInOverlay() { return g_overlayDepth > 0; }

// Outlines come with the world renderer.
void VisRenderLoopHelper_cl::RenderEntityWithShaders(const VisEntityCollection_cl& entities,
                                                     VCompiledTechnique* technique) {}
