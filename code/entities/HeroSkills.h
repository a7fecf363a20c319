// A hero's experience and level, with two limits the campaign keeps beside them.
#pragma once

class VArchive;

class HeroSkills {
 public:
  HeroSkills() = default;
  virtual ~HeroSkills() = default;

  // Block: "ARCH", version 2, experience, level, first limit, second limit, "EOA".
  virtual bool SerializeX(VArchive& ar);

  int m_iFirstLimit = 1500;
  int m_iExperience = 0;
  int m_iSecondLimit = 15;
  int m_iLevel = 0;
};
