// A store of collectable templates that a building, a soldier or a ship carries and
// drops into the world as collectable entities (loot of a burnt building, a fallen
// soldier, a sunken ship). Towns refill their buildings' storages between visits.
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VCallback.h"

#include <vector>

class CollectableEntityTemplate;
class VArchive;

class StorageComponentProto : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(StorageComponentProto)
 public:
  StorageComponentProto() = default;
  ~StorageComponentProto() override;
  StorageComponentProto(const StorageComponentProto&) = delete;
  StorageComponentProto& operator=(const StorageComponentProto&) = delete;

  // Buildings, ships and soldiers.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  void OnHandleCallback(IVisCallbackDataObject_cl*) override {}

  // The storage owns the template from then on (null is ignored).
  void AddCollectable(CollectableEntityTemplate* templ);
  unsigned int GetCollectableCount() const { return (unsigned int)m_collectables.size(); }
  // Null for an index past the end.
  CollectableEntityTemplate* GetCollectable(unsigned int i) const;
  void RemoveCollectable(unsigned int i);
  void ClearCollectables();

  // The first template becomes an entity near the owner (scattered, at z 0).
  void DropCollectable();
  // Every template becomes an entity resting on the ground around the owner; the
  // list is empty afterwards. Nothing without an owner to drop them at.
  void DropAllCollectables();

  const VString& GetCollectableSource() const { return m_CollectableSource; }
  void SetCollectableSource(const char* source) { m_CollectableSource = source; }
  int GetCollectableDropCount() const { return m_iCollectableDropCount; }
  const VString& GetDefinedItem() const { return m_DefinedItem; }

  // Only SerializeX: "ARCH", version 2, the template count, each template's block,
  // the collectable source, "EOA". The drop count and the unique drop are not kept.
  void Serialize(VArchive& ar) override;
  // A block that does not check out leaves the storage as it was; false then.
  virtual bool SerializeX(VArchive& ar);

 protected:
  static void BuildVarList(VARTABLE& t);

 private:
  // Where the owner stands; false without a placed owner.
  bool GetOwnerPosition(VisVector_cl& out) const;

  std::vector<CollectableEntityTemplate*> m_collectables;
  VString m_CollectableSource;
  int m_iCollectableDropCount = 0;
  VString m_DefinedItem;
};
