// Birds and other animals of the world map and sea scenes: created from their
// scripts, kept here and removed when the engine unloads the scene.
#pragma once

#include "engine/base/DynArray.h"
#include "engine/base/VCallback.h"
#include "engine/base/VisMath.h"
#include "util/Singleton.h"

class AnimalEntity;
class VisBaseEntity_cl;

class WildLifeManager : public Singleton<WildLifeManager>, public IVisCallbackHandler_cl {
 public:
  ~WildLifeManager() override;
  // Scene unload and engine de-initialisation: the animals go with the scene. A
  // bird destroyed by the engine is forgotten at once (event bus).
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  // Casts shadows, visible everywhere, kept in the first free slot.
  void AddBird(AnimalEntity* bird);
  // The first bird with that key within range of the place in the x-y plane; null
  // without one or without a place.
  AnimalEntity* GetAnimalFromRange(VisBaseEntity_cl* place, float range, const char* key) const;
  const DynArray_cl<AnimalEntity*>& GetBirds() const { return m_birds; }
  // A bird of the script at a random place over the world map (x and y within
  // 2000 of the origin, 28 to 32 high), or at the position; a script that cannot be
  // attached gives way to the default bird's. Null for a null script name.
  AnimalEntity* CreateBird(const char* script);
  AnimalEntity* CreateBird(const char* script, const VisVector_cl& position);
  // Removes every bird from the scene.
  void ClearEntities();
  // Every bird forgets its target (before a game is loaded), so it picks a new one.
  void ResetAnimals();

 private:
  friend class Singleton<WildLifeManager>;
  WildLifeManager();

  DynArray_cl<AnimalEntity*> m_birds;
};
