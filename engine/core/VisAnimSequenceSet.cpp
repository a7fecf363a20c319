// Reading animation sequences from our XML (model files and ".anim" files).
#include "engine/core/VisAnimSequenceSet.h"

#include "engine/base/VisError.h"
#include "engine/core/VTextValues.h"
#include "engine/core/VXmlRoot.h"
#include "engine/core/VisSkeletalAnimSequence.h"

#include <tinyxml.h>

#include <string>

namespace {

// One <sequence>; false with the reason.
bool ReadSequence(const TiXmlElement* el, VSmartPtr<VisAnimSequence_cl>& out, std::string& error) {
  const std::string where = "line " + std::to_string(el->Row()) + ": ";
  const char* name = el->Attribute("name");
  if (!name || !*name) {
    error = where + "<sequence> needs a name";
    return false;
  }
  float length = 0.0f;
  if (!VParseFloat(el->Attribute("length"), length) || length < 0.0f) {
    error = where + "sequence " + name + " needs a length of 0 or more seconds";
    return false;
  }
  const char* type = el->Attribute("type");
  VisSkeletalAnimSequence_cl* skeletal = nullptr;
  if (!type || std::string(type) == "skeletal") {
    skeletal = new VisSkeletalAnimSequence_cl(name, length);
    out = skeletal;
  } else if (std::string(type) == "vertex") {
    out = new VisAnimSequence_cl(name, VIS_MODELANIM_VERTEX, length);
  } else {
    error = where + "sequence " + name + " has an unknown type " + type;
    return false;
  }
  for (const TiXmlElement* c = el->FirstChildElement(); c; c = c->NextSiblingElement()) {
    const std::string tag = c->ValueStr();
    const std::string at = "line " + std::to_string(c->Row()) + ": ";
    float time = 0.0f;
    if (tag == "event") {
      const char* ev = c->Attribute("name");
      if (!ev || !*ev || !VParseFloat(c->Attribute("time"), time)) {
        error = at + "<event> needs a name and a time";
        return false;
      }
      out->AddEvent(time, ev);
    } else if (tag == "key") {
      VisVector_cl ypr;
      const char* bone = c->Attribute("bone");
      if (!skeletal || !bone || !*bone || !VParseFloat(c->Attribute("time"), time) ||
          !VParseVector3(c->Attribute("rotation"), ypr)) {
        error = at + "<key> needs a bone, a time and a rotation yaw/pitch/roll in a skeletal sequence";
        return false;
      }
      VisMatrix3x3_cl m;
      m.SetEulerAngles(ypr.x, ypr.y, ypr.z);
      skeletal->AddKey(bone, time, VisQuaternion_cl::FromMatrix(m));
    } else {
      Vision::Error.Warning("Animation: %sunknown element <%s> ignored", at.c_str(), tag.c_str());
    }
  }
  return true;
}

}  // namespace

bool VisAnimSequenceSet_cl::LoadFromXml(const char* text) {
  m_sequences.clear();
  TiXmlDocument doc;
  std::string error;
  const TiXmlElement* root = VParseXmlRoot(doc, text, "animation", error, "model");
  std::vector<VSmartPtr<VisAnimSequence_cl>> read;
  if (root) {
    for (const TiXmlElement* el = root->FirstChildElement("sequence"); el; el = el->NextSiblingElement("sequence")) {
      VSmartPtr<VisAnimSequence_cl> seq;
      if (!ReadSequence(el, seq, error)) break;
      read.push_back(seq);
    }
  }
  if (!error.empty()) {
    Vision::Error.Warning("Animation %s: %s", GetFilename(), error.c_str());
    return false;
  }
  m_sequences = std::move(read);
  return true;
}

VisAnimSequence_cl* VisAnimSequenceSet_cl::GetSequence(const char* name, VisModelAnimType_e type) const {
  if (!name) return nullptr;
  for (const auto& s : m_sequences)
    if ((type == VIS_MODELANIM_UNKNOWN || s->GetType() == type) && VStringICompare(s->GetName(), name) == 0)
      return s;
  return nullptr;
}

void VisAnimSequenceSet_cl::AddSequence(VisAnimSequence_cl* sequence) {
  if (sequence) m_sequences.push_back(sequence);
}
