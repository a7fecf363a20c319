// Checks shared by the fuzz targets that read engine data files.
#pragma once

#include "engine/core/VDynamicMesh.h"
#include "engine/core/VisAnimConfig.h"
#include "engine/core/VisAnimFinalSkeletalResult.h"
#include "engine/core/VisAnimSequenceSet.h"
#include "engine/core/VisSkeletalAnimControl.h"
#include "engine/core/VisSkeletalAnimSequence.h"

#include <cmath>
#include <cstdlib>
#include <vector>

namespace fuzz_checks {

inline void Require(bool condition) {
  if (!condition) abort();
}

inline bool Finite(const VisVector_cl& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
inline bool Finite(const VisQuaternion_cl& q) {
  return std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) && std::isfinite(q.w);
}

// A sequence as the format promises it: a name, a length of 0 or more, events inside
// it in time order, and keys in time order whose turns stay finite between them.
inline void CheckSequence(const VisAnimSequence_cl* sequence) {
  Require(sequence != nullptr && *sequence->GetName());
  const float length = sequence->GetLength();
  Require(std::isfinite(length) && length >= 0.0f);
  for (int i = 0; i < sequence->GetEventCount(); ++i) {
    const VisAnimSequence_cl::Event& e = sequence->GetEvent(i);
    Require(e.time >= 0.0f && e.time <= length && (e.id & 0x80000000) != 0);
    if (i > 0) Require(sequence->GetEvent(i - 1).time <= e.time);
  }
  if (sequence->GetType() != VIS_MODELANIM_SKELETAL) return;
  auto* skeletal = static_cast<const VisSkeletalAnimSequence_cl*>(sequence);
  for (int t = 0; t < skeletal->GetTrackCount(); ++t) {
    const VisSkeletalAnimSequence_cl::Track& track = skeletal->GetTrack(t);
    Require(!track.bone.IsEmpty() && !track.keys.empty());
    for (size_t k = 0; k < track.keys.size(); ++k) {
      Require(std::isfinite(track.keys[k].time) && Finite(track.keys[k].rotation));
      if (k > 0) Require(track.keys[k - 1].time <= track.keys[k].time);
    }
    const float first = track.keys.front().time, last = track.keys.back().time;
    for (float time : {first - 1.0f, first, first / 2 + last / 2, std::nextafter(last, first), last, last + 1.0f})
      Require(Finite(skeletal->EvalTrack(t, time)));
  }
}

inline void CheckSequenceSet(const VisAnimSequenceSet_cl* set) {
  for (int i = 0; i < set->GetSequenceCount(); ++i) {
    CheckSequence(set->GetSequence(i));
    Require(set->GetSequence(set->GetSequence(i)->GetName()) != nullptr);
  }
}

// Plays every skeletal sequence of the model over its whole length and requires a
// finite turn for every bone on the way (positions may overflow for huge rest
// positions, which the format allows).
inline void PlaySequences(VDynamicMesh* mesh) {
  if (!mesh->GetSkeleton()) return;
  const VisAnimSequenceSetCollection_cl* sets = mesh->GetSequenceSetCollection();
  for (int s = 0; s < sets->GetSequenceSetCount(); ++s) {
    const VisAnimSequenceSet_cl* set = sets->GetSequenceSet(s);
    for (int i = 0; i < set->GetSequenceCount(); ++i) {
      VisAnimSequence_cl* sequence = set->GetSequence(i);
      if (sequence->GetType() != VIS_MODELANIM_SKELETAL) continue;
      VSmartPtr<VisAnimConfig_cl> config = VisAnimConfig_cl::CreateSkeletalConfig(mesh);
      Require(config != nullptr);
      VSmartPtr<VisSkeletalAnimControl_cl> control =
          VisSkeletalAnimControl_cl::Create(mesh->GetSkeleton(), sequence, VANIMCTRL_LOOP, 1.0f, true);
      Require(control != nullptr);
      config->GetFinalResult()->SetSkeletalAnimInput(control);
      std::vector<int> events;
      const float step = sequence->GetLength() > 0.0f ? sequence->GetLength() / 4.0f : 0.5f;
      for (int frame = 0; frame < 6; ++frame) {
        for (int bone = 0; bone < mesh->GetBoneCount(); ++bone) {
          VisVector_cl position;
          VisQuaternion_cl rotation;
          if (config->GetFinalResult()->GetBoneModelSpaceTransformation(bone, position, rotation))
            Require(Finite(rotation));
        }
        events.clear();
        control->Advance(step, events);
      }
    }
  }
}

}  // namespace fuzz_checks
