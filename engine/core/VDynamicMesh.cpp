// Reading our XML model format into a VDynamicMesh.
#include "engine/core/VDynamicMesh.h"

#include "engine/core/VTextValues.h"
#include "engine/core/VXmlRoot.h"
#include "engine/core/VisAnimSequenceSet.h"

#include "engine/base/VisError.h"
#include "engine/base/VisFile.h"

#include <tinyxml.h>

#include <string>

VDynamicMesh::VDynamicMesh(const char* file) : m_sFile(file), m_spSkeleton(new VisSkeleton_cl()) {}

VDynamicMesh::~VDynamicMesh() = default;

bool VDynamicMesh::LoadFromXml(const char* text) {
  m_bbox.SetInvalid();
  // Controls already playing keep the skeleton they were made for.
  m_spSkeleton = new VisSkeleton_cl();
  m_surfaces.clear();
  m_surfaceTextures.clear();
  m_sequenceSets.Clear();
  TiXmlDocument doc;
  std::string error;
  const TiXmlElement* root = VParseXmlRoot(doc, text, "model", error);
  if (!root) {
    if (doc.Error())
      Vision::Error.Warning("Model %s: XML error: %s (line %d)", GetFilename(), doc.ErrorDesc(), doc.ErrorRow());
    else
      Vision::Error.Warning("Model %s: %s", GetFilename(), error.c_str());
    return false;
  }

  std::vector<std::string> parentNames;
  for (const TiXmlElement* el = root->FirstChildElement(); el; el = el->NextSiblingElement()) {
    const std::string& tag = el->ValueStr();
    if (tag == "bbox") {
      VisVector_cl mn, mx;
      if (VParseVector3(el->Attribute("min"), mn) && VParseVector3(el->Attribute("max"), mx))
        m_bbox = VisBoundingBox_cl(mn, mx);
      else
        Vision::Error.Warning("Model %s: <bbox> needs min and max as x/y/z", GetFilename());
    } else if (tag == "bone") {
      const char* name = el->Attribute("name");
      if (!name || !*name) {
        Vision::Error.Warning("Model %s: a <bone> without a name is ignored", GetFilename());
        continue;
      }
      Bone bone;
      bone.name = name;
      const char* pos = el->Attribute("position");
      if (pos && !VParseVector3(pos, bone.restPosition))
        Vision::Error.Warning("Model %s: bone %s has a bad position \"%s\"", GetFilename(), name, pos);
      VisVector_cl ypr;
      const char* rot = el->Attribute("rotation");
      if (rot && !VParseVector3(rot, ypr)) {
        Vision::Error.Warning("Model %s: bone %s has a bad rotation \"%s\"", GetFilename(), name, rot);
      } else if (rot) {
        VisMatrix3x3_cl m;
        m.SetEulerAngles(ypr.x, ypr.y, ypr.z);
        bone.restRotation = VisQuaternion_cl::FromMatrix(m);
      }
      const char* parent = el->Attribute("parent");
      parentNames.push_back(parent ? parent : "");
      m_spSkeleton->AddBone(bone);
    } else if (tag == "surface") {
      const char* name = el->Attribute("name");
      const char* texture = el->Attribute("texture");
      if (name && *name) {
        m_surfaces.push_back(name);
        m_surfaceTextures.push_back(texture ? texture : "");
      }
    }
    // <sequence> elements are read below; others are left to their readers.
  }

  // Parents may be listed after their children.
  VisSkeleton_cl& sk = *m_spSkeleton;
  const int count = sk.GetBoneCount();
  for (int i = 0; i < count; ++i) {
    if (parentNames[i].empty()) continue;
    const int p = sk.GetBoneIndexByName(parentNames[i].c_str());
    if (p < 0 || p == i)
      Vision::Error.Warning("Model %s: bone %s has an unknown parent %s", GetFilename(), sk.GetBone(i).name.AsChar(),
                            parentNames[i].c_str());
    else
      sk.EditBone(i).parent = p;
  }
  // A bone that is its own ancestor would make every walk up the skeleton endless.
  for (int i = 0; i < count; ++i) {
    int steps = 0;
    for (int p = sk.GetBone(i).parent; p >= 0; p = sk.GetBone(p).parent) {
      if (++steps > count) {
        Vision::Error.Warning("Model %s: bone %s is part of a parent loop", GetFilename(), sk.GetBone(i).name.AsChar());
        sk.EditBone(i).parent = -1;
        break;
      }
    }
  }

  // The model's own sequences form its first sequence set.
  if (root->FirstChildElement("sequence")) {
    VSmartPtr<VisAnimSequenceSet_cl> set = new VisAnimSequenceSet_cl(GetFilename());
    if (set->LoadFromXml(text) && set->GetSequenceCount() > 0) m_sequenceSets.Add(set);
  }
  return true;
}

bool VDynamicMesh::LoadFromFile(const char* file) {
  if (!file || !*file) return false;
  if (m_sFile.IsEmpty()) m_sFile = file;
  std::string text;
  if (!Vision::File.ReadTextFile(file, text)) {
    Vision::Error.Warning("Model file %s not found", file);
    return false;
  }
  return LoadFromXml(text.c_str());
}

int VDynamicMesh::GetSurfaceIndexByName(const char* name) const {
  if (!name) return -1;
  for (size_t i = 0; i < m_surfaces.size(); ++i)
    if (m_surfaces[i] == name) return (int)i;
  return -1;
}

bool VDynamicMesh::ReloadSurfaceTextures() {
  VDynamicMesh fresh(GetFilename());
  if (!fresh.LoadFromFile(GetFilename())) return false;
  if (fresh.m_surfaces != m_surfaces) {
    Vision::Error.Warning("Model %s: surfaces changed; reload the scene to take them", GetFilename());
    return false;
  }
  if (fresh.m_surfaceTextures == m_surfaceTextures) return false;
  m_surfaceTextures = fresh.m_surfaceTextures;
  return true;
}
