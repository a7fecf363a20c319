// The animation set-up of an entity: a skeletal final result fed by a control, plus
// flags and switches the game sets. Reference counted; an entity holds one
// (VisBaseEntity_cl::SetAnimConfig), and several entities may share one.
#pragma once

#include "engine/core/VisAnimFinalSkeletalResult.h"
#include "engine/core/VisVertexAnimResult.h"

class VDynamicMesh;
class VisBaseEntity_cl;

// Flag bits. The stand-in only stores them; headless nothing is skinned or drawn.
enum VisAnimConfigFlags_e {
  VANIMCFG_FLAG_REFRESH = 1,  // pose refreshed after a new animation (message 166)
  VANIMCFG_FLAG_SHARED = 2,   // shared by several entities (animation configuration cache)
  VANIMCFG_FLAG_CLOTH = 16,   // vertex deformers of cloth
};

class VBASE_IMPEXP VisAnimConfig_cl : public VRefCounter {
 public:
  ~VisAnimConfig_cl() override;
  VisAnimConfig_cl(const VisAnimConfig_cl&) = delete;
  VisAnimConfig_cl& operator=(const VisAnimConfig_cl&) = delete;

  // A configuration for the model's skeleton; null for a model without one. It holds
  // a reference to the model.
  static VisAnimConfig_cl* CreateSkeletalConfig(VDynamicMesh* mesh);

  // Starts the model's skeletal sequence of that name on the entity: a new control
  // (flags VisAnimControlFlags_e, speed) in a new configuration that replaces the
  // entity's. Null, and the entity's animation unchanged, when the entity has no
  // model or the model has no such skeletal sequence (the caller may try another name).
  static VisSkeletalAnimControl_cl* StartSkeletalAnimation(VisBaseEntity_cl* entity, const char* sequence,
                                                           unsigned flags = VANIMCTRL_LOOP, float speed = 1.0f);

  VDynamicMesh* GetMesh() const;
  VisSkeleton_cl* GetSkeleton() const { return m_finalResult.GetSkeleton(); }
  VisAnimFinalSkeletalResult_cl* GetFinalResult() { return &m_finalResult; }
  const VisAnimFinalSkeletalResult_cl* GetFinalResult() const { return &m_finalResult; }
  // The control feeding the final result, or null.
  VisSkeletalAnimControl_cl* GetSkeletalAnimControl() const { return m_finalResult.GetSkeletalAnimInput(); }

  unsigned GetFlags() const { return m_iFlags; }
  void SetFlags(unsigned flags) { m_iFlags = flags; }

  VisVertexAnimResult_cl* GetVertexAnimResult() const { return m_spVertexResult; }
  void SetVertexAnimResult(VisVertexAnimResult_cl* result) { m_spVertexResult = result; }

  // Skinning mode and its second value (stored; -1 when not given).
  void SetSkinningMode(int mode, int second = -1) { m_iSkinningMode = mode; m_iSkinningMode2 = second; }
  int GetSkinningMode() const { return m_iSkinningMode; }
  int GetSkinningModeSecond() const { return m_iSkinningMode2; }

  // A paused configuration holds its pose: its control is not advanced while every
  // configuration it feeds is paused.
  void SetPause(bool pause) { m_bPaused = pause; }
  bool IsPaused() const { return m_bPaused; }

 private:
  explicit VisAnimConfig_cl(VDynamicMesh* mesh);
  VSmartPtr<VDynamicMesh> m_spMesh;
  VisAnimFinalSkeletalResult_cl m_finalResult;
  VSmartPtr<VisVertexAnimResult_cl> m_spVertexResult;
  unsigned m_iFlags = 0;
  int m_iSkinningMode = 0;
  int m_iSkinningMode2 = -1;
  bool m_bPaused = false;
};
