// Models made at run time from other models (a building's construction stages
// shown as one model).
#pragma once

#include "engine/base/VBase.h"

class VDynamicMesh;

class VBASE_IMPEXP VMeshManager {
 public:
  // A new model of that name holding the given models as its parts, in order: its
  // box spans theirs and its surfaces are theirs one after another; bones and
  // sequences are not taken (a merged model stands still). Null parts are skipped;
  // null when no part is left. Nobody holds the new model until it is given to one.
  static VDynamicMesh* MergeDynamicMeshes(const char* name, VDynamicMesh* const* meshes, int count);
  // The parts of a merged model, in order; 0 and null for any other model.
  static int GetMergedPartCount(const VDynamicMesh* mesh);
  static VDynamicMesh* GetMergedPart(const VDynamicMesh* mesh, int i);
};
