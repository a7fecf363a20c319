// Merged models: a model text built from the parts' boxes and surfaces, plus the
// parts themselves for whoever reads them back.
#include "engine/core/VMeshManager.h"

#include "engine/base/VRefCounter.h"
#include "engine/core/VDynamicMesh.h"

#include <tinyxml.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

class VMergedDynamicMesh : public VDynamicMesh {
 public:
  explicit VMergedDynamicMesh(const char* name) : VDynamicMesh(name) {}
  std::vector<VSmartPtr<VDynamicMesh>> m_parts;
};

std::string VectorText(const VisVector_cl& v) {
  char text[96];
  std::snprintf(text, sizeof(text), "%g/%g/%g", v.x, v.y, v.z);
  return text;
}

}  // namespace

VDynamicMesh* VMeshManager::MergeDynamicMeshes(const char* name, VDynamicMesh* const* meshes, int count) {
  std::vector<VDynamicMesh*> parts;
  for (int i = 0; meshes && i < count; ++i)
    if (meshes[i]) parts.push_back(meshes[i]);
  if (parts.empty()) return nullptr;

  TiXmlDocument doc;
  auto* model = new TiXmlElement("model");
  doc.LinkEndChild(model);
  VisBoundingBox_cl box;
  for (VDynamicMesh* part : parts) {
    const VisBoundingBox_cl& partBox = part->GetBoundingBox();
    if (!partBox.IsValid()) continue;
    if (!box.IsValid()) {
      box = partBox;
      continue;
    }
    for (int axis = 0; axis < 3; ++axis) {
      if (partBox.m_vMin[axis] < box.m_vMin[axis]) box.m_vMin[axis] = partBox.m_vMin[axis];
      if (partBox.m_vMax[axis] > box.m_vMax[axis]) box.m_vMax[axis] = partBox.m_vMax[axis];
    }
  }
  if (box.IsValid()) {
    auto* bbox = new TiXmlElement("bbox");
    bbox->SetAttribute("min", VectorText(box.m_vMin));
    bbox->SetAttribute("max", VectorText(box.m_vMax));
    model->LinkEndChild(bbox);
  }
  for (VDynamicMesh* part : parts) {
    for (int s = 0; s < part->GetSurfaceCount(); ++s) {
      auto* surface = new TiXmlElement("surface");
      surface->SetAttribute("name", part->GetSurfaceName(s));
      if (*part->GetSurfaceTexture(s)) surface->SetAttribute("texture", part->GetSurfaceTexture(s));
      model->LinkEndChild(surface);
    }
  }
  TiXmlPrinter printer;
  doc.Accept(&printer);

  auto* merged = new VMergedDynamicMesh(name);
  if (!merged->LoadFromXml(printer.CStr())) {
    delete merged;
    return nullptr;
  }
  for (VDynamicMesh* part : parts) merged->m_parts.emplace_back(part);
  return merged;
}

int VMeshManager::GetMergedPartCount(const VDynamicMesh* mesh) {
  const auto* merged = dynamic_cast<const VMergedDynamicMesh*>(mesh);
  return merged ? (int)merged->m_parts.size() : 0;
}

VDynamicMesh* VMeshManager::GetMergedPart(const VDynamicMesh* mesh, int i) {
  const auto* merged = dynamic_cast<const VMergedDynamicMesh*>(mesh);
  if (!merged || i < 0 || i >= (int)merged->m_parts.size()) return nullptr;
  return merged->m_parts[(size_t)i].GetPtr();
}
