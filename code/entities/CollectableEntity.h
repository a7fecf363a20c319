// An item lying in the world (treasure, potions, charms, eyepatches) that the
// player picks up; what the player owns lives on as CollectableEntityTemplate.
#pragma once

#include "core/BaseEntity.h"

class CollectableEntityTemplate;
class HeroStats;
class IVScriptInstance;

class CollectableEntity : public BaseEntity {
  V_DECLARE_DYNCREATE(CollectableEntity)
 public:
  CollectableEntity();
  ~CollectableEntity() override;

  void InitFunction() override;
  // Every frame: drawn to its collector, revealed near the player's unit, claimed
  // within pick distance, collected once close (nothing while a conversation runs).
  void ThinkFunction() override;
  // After BaseEntity's block: "ARCH", version 11, the item's values, "EOA"; versions
  // 2 to 10 hold the collector in front of them. A block that does not check out
  // keeps the item as it was.
  void Serialize(VArchive& ar) override;
  // A loaded item is readied as a new one (CommonInit).
  void OnDeserializationCallback(void* context) override;
  // Forgets a collector or carrier that leaves the world; the base's per-frame work.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  // A hidden item is invisible; then InitCollectableItem.
  virtual void CommonInit();
  virtual void SetCarrier(VisBaseEntity_cl* carrier) { m_pCarrier = carrier; }
  virtual VisBaseEntity_cl* GetCarrier() const { return m_pCarrier; }
  virtual bool HasCarrier() const { return m_pCarrier != nullptr; }
  virtual int IsHidden() const { return m_bHidden; }
  virtual int IsCarriable() const { return m_bCarriable; }
  // A hidden item is invisible.
  virtual void SetHidden(int hidden);
  // Claims the item for the entity unless it is claimed already or the player may
  // not take it (the script's "CanPlayerCollect"). Always true.
  virtual bool Collect(VisBaseEntity_cl* collector);
  // Bought through the script's "OnBuy": into the inventory when the player may take it.
  virtual void Buy();
  // The script's "UseCollectable"; 0 without script or function.
  virtual int Use();
  virtual const char* GetCollectableType() const { return m_sType.AsChar(); }
  virtual const VString& GetCollectableTypeVString() const { return m_sType; }
  // Loads the item's script when it names one and has none yet, then restarts the highlight.
  virtual void InitCollectableItem();
  virtual void SetCollectableScriptFile(const char* file) { m_sCollectableScriptFile = file; }
  virtual const char* GetScreenName() const { return m_sScreenName.AsChar(); }
  // The pick-up: the player's item goes into the inventory ("OnCollect" runs), it is
  // used when it should be, and leaves the world (a random one is placed anew).
  // False when the player may not take it; the item can be claimed again then.
  virtual bool DoCollect();

  // Asks the units of a statistics record (its own unit, then its unit list) for a
  // soldier to carry the item; the first becomes its collector.
  void FindCollector(HeroStats* stats);
  // FindCollector with the player's record, then each hero's, until one is found.
  void GetCollectorFromStats();
  VisBaseEntity_cl* GetCollector() const { return m_pCollector; }
  // Writes the item's values into a stored form (what the inventory keeps).
  void SaveToTemplate(CollectableEntityTemplate& templ);
  // Takes the values of the item's stored form (the template's creation hook).
  void LoadFromTemplate(const CollectableEntityTemplate& templ);
  // The highlight glows while it runs. The particle effect behind it comes with
  // the engine's particles; until then only its running state is kept.
  void StartHighlightEffect();
  void StopHighlightEffect() { m_bHighlightRunning = false; }
  bool IsHighlightRunning() const { return m_bHighlightRunning; }
  // A dropped item lies free again: no collector or carrier, carriable, not collected.
  void SetCarriableAgain();
  void SetRandomCollectable(int random) { m_bIsRandomCollectable = random; }
  bool IsRandomCollectable() const { return m_bIsRandomCollectable != 0; }
  float GetPickDistanceLand() const { return m_fPickDistanceLand; }
  float GetCooldownTime() const { return m_fCooldownTimer; }

  int m_bHidden = 0;
  int m_bCarriable = 1;
  int m_bRemoveWhenUsed = 1;
  int m_bUseWhenCollected = 0;
  int m_bIsRandomCollectable = 0;
  VString m_sUnusedText;
  VString m_sCollectableScriptFile;
  VString m_sScreenName;
  VString m_sType;
  int m_bIsCollected = 0;
  float m_fPickDistance = 10.0f;
  float m_fPickDistanceLand = 6.0f;
  float m_fCooldownTimer = 0.0f;
  VString m_sDescription;
  VString m_sImage;
  VString m_sHighlightEffect;
  int m_iItemType = 0;
  int m_iPrice = 0;
  VString m_sLargeImage;
  int m_iMinValue = 0;
  int m_iMaxValue = 0;

 protected:
  static void BuildVarList(VARTABLE& t);

 private:
  // The item's script when it has a live one.
  IVScriptInstance* GetScript() const;
  // The script's "CanPlayerCollect"; true without the function.
  bool PlayerMayCollect();
  // Moves toward the point by step along the line to it.
  void MoveToward(const VisVector_cl& target, float step);
  void UpdateBlueprintMarker();

  VisBaseEntity_cl* m_pCollector = nullptr;
  VisBaseEntity_cl* m_pCarrier = nullptr;
  bool m_bHighlightRunning = false;
};
