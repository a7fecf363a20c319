// An item lying in the world (treasure, potions, charms, eyepatches) that the
// player picks up; what the player owns lives on as CollectableEntityTemplate.
#pragma once

#include "core/BaseEntity.h"

class CollectableEntityTemplate;

class CollectableEntity : public BaseEntity {
  V_DECLARE_DYNCREATE(CollectableEntity)
 public:
  CollectableEntity();
  ~CollectableEntity() override;

  // Loads the item's script when it names one and has none yet, then restarts the highlight.
  virtual void InitCollectableItem();
  virtual const char* GetScreenName() const { return m_sScreenName.AsChar(); }
  virtual int IsHidden() const { return m_bHidden; }
  // A hidden item is invisible.
  virtual void SetHidden(int hidden);
  virtual void SetCollectableScriptFile(const char* file) { m_sCollectableScriptFile = file; }
  // The script's "UseCollectable"; 0 without script or function.
  virtual int Use();

  // The highlight glows while it runs. The particle effect behind it comes with
  // the engine's particles; until then only its running state is kept.
  void StartHighlightEffect();
  void StopHighlightEffect() { m_bHighlightRunning = false; }
  bool IsHighlightRunning() const { return m_bHighlightRunning; }

  // Takes the values of the item's stored form (the template's creation hook).
  void LoadFromTemplate(const CollectableEntityTemplate& templ);
  // Writes the item's stored form (nothing for a null template).
  void SaveToTemplate(CollectableEntityTemplate* templ);

  int m_bHidden = 0;
  int m_bRemoveWhenUsed = 1;
  VString m_sCollectableScriptFile;
  VString m_sScreenName;
  VString m_sHighlightEffect;

 protected:
  static void BuildVarList(VARTABLE& t);

 private:
  bool m_bHighlightRunning = false;
};
