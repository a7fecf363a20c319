// Makes hits visible on the model of a ship, a sail or a building: each hit leaves
// a mark in a per-surface damage map. For now it keeps the marks per surface
// texture and saves them; stamping them into textures comes with the renderer.
#pragma once

#include "core/BaseComponent.h"

#include <map>
#include <string>
#include <vector>

class VArchive;

class DamageTextureComponent : public BaseComponent {
  V_DECLARE_DYNCREATE(DamageTextureComponent)
 public:
  DamageTextureComponent();
  ~DamageTextureComponent() override;

  // Entities only (the game's, and the sails' and flags' cloth entities).
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // "ARCH", version 2, record count, per record the surface texture name and its
  // marks, "EOA".
  virtual bool SerializeX(VArchive& ar);

  // The marks of one surface texture: (u, v) of the hit and two further values.
  typedef std::vector<VisVector_cl> Marks;
  const std::map<std::string, Marks>& GetRecords() const { return m_records; }
  void AddMark(const char* texture, const VisVector_cl& mark) { m_records[texture ? texture : ""].push_back(mark); }

  // Texture names are read into a buffer of this size.
  static constexpr int MaxTextureName = 1024;

 private:
  std::map<std::string, Marks> m_records;
};
