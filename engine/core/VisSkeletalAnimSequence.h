// A skeletal sequence: per-bone rotation keys on top of the rest pose.
#pragma once

#include "engine/base/VisMath.h"
#include "engine/core/VisAnimSequence.h"

class VBASE_IMPEXP VisSkeletalAnimSequence_cl : public VisAnimSequence_cl {
 public:
  // A key turns its bone (and everything below it) by 'rotation' from the rest pose,
  // about the bone's rest position, in model space.
  struct Key {
    float time;
    VisQuaternion_cl rotation;
  };
  struct Track {
    VString bone;            // bone name, matched without regard to case
    std::vector<Key> keys;   // time order
  };

  VisSkeletalAnimSequence_cl(const char* name, float length)
      : VisAnimSequence_cl(name, VIS_MODELANIM_SKELETAL, length) {}

  // Keys are sorted by time as they are added.
  void AddKey(const char* bone, float time, const VisQuaternion_cl& rotation);
  int GetTrackCount() const { return (int)m_tracks.size(); }
  const Track& GetTrack(int i) const { return m_tracks[i]; }
  // Index of the bone's track, or -1.
  int FindTrack(const char* bone) const;
  // Rotation of the track at a time: held before the first and after the last key,
  // spherically interpolated between keys. Identity for a bad index.
  VisQuaternion_cl EvalTrack(int track, float time) const;

 private:
  std::vector<Track> m_tracks;
};
