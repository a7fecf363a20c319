// A buyable ship upgrade placed in a scene; buying it runs its script and takes
// it out of the world. Its stored form is UpgradeEntityTemplate.
#pragma once

#include "core/BaseEntity.h"
#include "entities/UpgradeTexts.h"

class UpgradeEntityTemplate;

class UpgradeEntity : public BaseEntity, public UpgradeTexts {
  V_DECLARE_DYNCREATE(UpgradeEntity)
 public:
  UpgradeEntity();
  ~UpgradeEntity() override;

  void InitFunction() override;
  // After BaseEntity's block: "ARCH", version 3, script file, type, screen name, name,
  // description, image, icon, "EOA"; version 2 carries the first three. A block that
  // does not check out keeps the upgrade as it was.
  void Serialize(VArchive& ar) override;
  virtual void CommonInit() { InitUpgrade(); }
  // The script's "OnBuy" when it has one; then the entity leaves the world.
  virtual void Buy();
  // Attaches the upgrade script when one is named.
  virtual void InitUpgrade();
  virtual void SetUpgradeScriptFile(const char* file) { m_sUpgradeScriptFile = file; }
  virtual const char* GetScreenName() const { return m_sScreenName.AsChar(); }
  // Into a stored form: the key, the seven texts and the current parameters.
  void SaveToTemplate(UpgradeEntityTemplate* templ);

 protected:
  static void BuildVarList(VARTABLE& t);
};
