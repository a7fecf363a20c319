// Hit points and armour of a ship's hull or sails, or of a soldier. A maximum of
// -1 means the hit points are not tracked.
#pragma once

class VArchive;

class Hitpoints {
 public:
  Hitpoints() = default;
  virtual ~Hitpoints() = default;

  int GetMaximum() const { return m_iMaximum; }
  int GetCurrent() const { return m_iCurrent; }
  int GetMaxArmor() const { return m_iMaxArmor; }
  int GetArmor() const { return m_iArmor; }
  bool IsTracked() const { return m_iMaximum >= 0; }

  // Only while tracked: stores current, replaces the maximum when the argument is
  // above 0, and keeps current within the maximum.
  void SetHitpoints(int current, int maximum);
  // Only while tracked: current += value within 0 .. maximum.
  void AddHitpoints(int value);
  // current := maximum while tracked.
  void ResetHitpoints();
  // Only while tracked: armour += value within 0 .. maximum armour.
  void AddArmor(int value);
  void ResetArmor();
  // Only while tracked: armour := armour, maximum armour := maxArmor when it is not
  // negative, then armour within the maximum armour.
  void SetArmor(int armor, int maxArmor);
  // Direct writes (editors, scripts, records).
  void SetMaximum(int maximum) { m_iMaximum = maximum; }
  void SetCurrent(int current) { m_iCurrent = current; }

  // Block: "ARCH", version 2, armour, current, maximum armour, maximum, "EOA".
  virtual bool SerializeX(VArchive& ar);

 private:
  int m_iMaximum = -1;
  int m_iCurrent = 10000;
  int m_iMaxArmor = 50;
  int m_iArmor = 5;
};
