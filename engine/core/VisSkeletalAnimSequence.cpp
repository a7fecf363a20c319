// Bone rotation tracks of a skeletal sequence.
#include "engine/core/VisSkeletalAnimSequence.h"

#include <algorithm>

void VisSkeletalAnimSequence_cl::AddKey(const char* bone, float time, const VisQuaternion_cl& rotation) {
  if (!bone || !*bone) return;
  int t = FindTrack(bone);
  if (t < 0) {
    m_tracks.push_back(Track{bone, {}});
    t = (int)m_tracks.size() - 1;
  }
  std::vector<Key>& keys = m_tracks[t].keys;
  VisQuaternion_cl q = rotation;
  q.Normalize();
  auto at = std::upper_bound(keys.begin(), keys.end(), time, [](float v, const Key& k) { return v < k.time; });
  keys.insert(at, Key{time, q});
}

int VisSkeletalAnimSequence_cl::FindTrack(const char* bone) const {
  if (!bone) return -1;
  for (size_t i = 0; i < m_tracks.size(); ++i)
    if (VStringICompare(m_tracks[i].bone.AsChar(), bone) == 0) return (int)i;
  return -1;
}

VisQuaternion_cl VisSkeletalAnimSequence_cl::EvalTrack(int track, float time) const {
  if (track < 0 || track >= (int)m_tracks.size() || m_tracks[track].keys.empty()) return VisQuaternion_cl();
  const std::vector<Key>& keys = m_tracks[track].keys;
  // Written so that a time that is not a number holds the first key too.
  if (!(time > keys.front().time)) return keys.front().rotation;
  if (time >= keys.back().time) return keys.back().rotation;
  auto next = std::upper_bound(keys.begin(), keys.end(), time, [](float v, const Key& k) { return v < k.time; });
  const Key& b = *next;
  const Key& a = *(next - 1);
  const float span = b.time - a.time;
  return VisQuaternion_cl::Slerp(a.rotation, b.rotation, span > 0.0f ? (time - a.time) / span : 1.0f);
}
