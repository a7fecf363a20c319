// Overlay rendering brackets; they nest, and an unmatched end is reported, not counted.
#include "engine/render/VisRenderer.h"

#include "engine/base/VisError.h"
#include "engine/core/VisGame.h"
#include "engine/render/VShaderLibrary.h"
#include "engine/render/VisWorldRenderer.h"

#include <set>
#include <string>

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

void VisRenderLoopHelper_cl::RenderEntityWithShaders(const VisEntityCollection_cl& entities,
                                                     VCompiledTechnique* technique) {
  if (!technique) return;
  // The colour of the first pass that has one; white otherwise.
  float colour[4] = {1, 1, 1, 1};
  for (int i = 0; i < technique->GetShaderCount(); ++i)
    if (technique->GetShader(i)->GetConstant("HighlightColor", colour)) break;
  // The list outlives a released technique: it keeps the name in a table of its own.
  static std::set<std::string> names;
  const char* name = names.insert(technique->GetName()).first->c_str();
  VisDrawList_cl& list = Vision::Renderer.GetDrawList();
  for (VisBaseEntity_cl* e : entities) {
    if (!e || e->IsMarkedRemoved()) continue;
    VisDrawItem_t item;
    // Without a model the outline is an empty box at the entity's place.
    if (!VisWorldRenderer_cl::MakeEntityBoxItem(e, VIS_DRAW_OUTLINE, item)) {
      item.kind = VIS_DRAW_OUTLINE;
      item.object = e;
      item.position = e->GetPosition();
      item.rotation = e->GetRotationMatrix();
    }
    for (int c = 0; c < 4; ++c) item.colour[c] = colour[c];
    item.technique = name;
    list.Add(item);
  }
}
