// Sound effects, unit voices and scene sounds through the sound plug-in.
#include "Managers/SoundManager.h"

#include "Managers/MusicManager.h"
#include "Managers/SpeechManager.h"
#include "util/MathTools.h"

#include "engine/base/VisError.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VisCallbacks.h"
#include "engine/os/VOs.h"
#include "engine/sound/VSoundManager.h"

#include <algorithm>

namespace {

const int kPriority = 128;
const float kSceneVolumeFadeTime = 2.0f;
const float kStopFadeTime = 1.0f;
const float kConversationFactor = 0.25f;
// Resources load when defined, so the wait is normally empty; a back end that
// loads in the background gets this many yields before the play gives up.
const int kResourceWaitLimit = 1000;
// Draws of a different variant before taking the next one (a fixed random
// source never changes its draw).
const int kRedrawLimit = 32;

bool WaitUntilLoaded(VSoundResource* res) {
  for (int i = 0; i < kResourceWaitLimit && !res->IsLoaded(); ++i) VSleep(0);
  return res->IsLoaded();
}

int ResourceFlags(bool is2D) { return VSOUNDRES_EFFECT | (is2D ? 0 : VSOUNDRES_3D); }

bool IsVoice(SoundTypes sound) { return sound >= SOUND_ACTIVATE && sound <= SOUND_DEATH; }

}  // namespace

SoundManager::SoundManager() { Vision::Callbacks.OnAfterSceneLoaded.RegisterCallback(this); }

SoundManager::~SoundManager() {
  ResetSceneSounds();
  Vision::Callbacks.OnAfterSceneLoaded.DeregisterCallback(this);
  m_sceneSounds.clear();
  m_effects.clear();
  m_unitPools.clear();
}

bool SoundManager::AddSound(UnitType type, SoundTypes sound, const VString& file, bool is2D) {
  VSoundResource* res = VSoundManager::GlobalManager().LoadSoundResource(file.AsChar(), ResourceFlags(is2D));
  Pool& pool = m_unitPools[type][sound];
  pool.variants.emplace_back(file.AsChar(), res, is2D, false, 0.0f);
  pool.next = 0;
  return true;
}

void SoundManager::AddSFXSound(SFXTypes type, const char* file, bool is2D, bool looped, float minRepeatInterval) {
  VSoundResource* res = VSoundManager::GlobalManager().LoadSoundResource(file, ResourceFlags(is2D));
  m_effects[type].emplace_back(file, res, is2D, looped, minRepeatInterval);
}

unsigned SoundManager::GetPoolSize(UnitType type, SoundTypes sound) const {
  auto t = m_unitPools.find(type);
  if (t == m_unitPools.end()) return 0;
  auto p = t->second.find(sound);
  return p == t->second.end() ? 0 : (unsigned)p->second.variants.size();
}

VSoundObject* SoundManager::PlaySound(UnitType type, SoundTypes sound, float volume, const VisVector_cl& position,
                                      float fadeFar, float fadeNear) {
  if (type == UNIT_NONE) return nullptr;
  auto t = m_unitPools.find(type);
  if (t == m_unitPools.end()) return nullptr;
  auto p = t->second.find(sound);
  if (p == t->second.end() || p->second.variants.empty()) return nullptr;
  const int n = (int)p->second.variants.size();
  int& next = p->second.next;
  if (next < 0 || next >= n) next = 0;
  const int i = next;
  SoundEntry& entry = p->second.variants[i];

  VSmartPtr<VSoundObject> obj;
  if (entry.m_spResource) {
    if (WaitUntilLoaded(entry.m_spResource)) obj = entry.m_spResource->CreateInstance(position, 0, kPriority);
  } else {
    // The file could not be loaded when defined: the plug-in tries again by name.
    obj = VSoundManager::GlobalManager().CreateSoundInstance(entry.m_sFile.AsChar(), ResourceFlags(entry.m_b2D), 0,
                                                             kPriority);
    if (obj) obj->SetPosition(position);
  }
  if (obj) {
    if (!entry.m_b2D) obj->Set3DFadeDistance(fadeNear, fadeFar);
    const float kind = IsVoice(sound) ? GetSpeechVolume() : m_fFXVolume;
    obj->SetVolume(m_fConversationFactor * kind * volume);
    obj->SetUserValue(volume);
  }

  // Never the same variant twice in a row.
  if (n > 1) {
    int j = MathTools::SoundRandomInt(n);
    for (int draws = 1; j == i && draws < kRedrawLimit; ++draws) j = MathTools::SoundRandomInt(n);
    if (j == i) j = (i + 1) % n;
    next = j;
  }
  return obj.GetPtr();
}

VSoundObject* SoundManager::PlaySFXSound(SFXTypes type, float volume, const VisVector_cl& position, float fadeNear,
                                         float fadeFar, bool unusedFlag) {
  if (type == SOUND_SFX_NONE) return nullptr;
  auto it = m_effects.find(type);
  if (it == m_effects.end() || it->second.empty()) {
    Vision::Error.Warning("CANNOT PLAY SOUND ID %d", (int)type);
    return nullptr;
  }
  SoundEntry& entry = it->second[MathTools::SoundRandomInt((int)it->second.size())];
  if (!entry.m_spResource) {
    Vision::Error.Warning("CANNOT PLAY SOUND ID %d filename: %s", (int)type, entry.m_sFile.AsChar());
    Vision::Error.Warning("CANNOT PLAY SOUND ID %d", (int)type);
    return nullptr;
  }

  const float now = Vision::Timer.GetTime();
  if (entry.m_fMinRepeatInterval > 0.0f) {
    if (entry.m_fLastPlayed > now) entry.m_fLastPlayed = now;  // the timer was reset
    if (now - entry.m_fLastPlayed < entry.m_fMinRepeatInterval) return nullptr;
  }
  if (!WaitUntilLoaded(entry.m_spResource)) {
    Vision::Error.Warning("CANNOT PLAY SOUND ID %d", (int)type);
    return nullptr;
  }
  VSmartPtr<VSoundObject> obj =
      entry.m_spResource->CreateInstance(position, entry.m_bLooped ? (VSOUND_LOOPED | VSOUND_KEPT) : 0, kPriority);
  if (!obj) {
    Vision::Error.Warning("CANNOT PLAY SOUND ID %d filename: %s", (int)type, entry.m_sFile.AsChar());
    Vision::Error.Warning("CANNOT PLAY SOUND ID %d", (int)type);
    return nullptr;
  }

  entry.m_fLastPlayed = now;
  obj->SetVolume(m_fFXVolume * volume * m_fConversationFactor);
  obj->SetUserValue(volume);
  if (!entry.m_b2D) {
    obj->SetConeAngles(-1.0f, -1.0f);
    obj->Set3DFadeDistance(fadeNear, fadeFar);
    obj->SetPosition(position);
  }
  if (obj->GetStateFlags() & VSOUND_KEPT) entry.m_keptInstances.push_back(obj);
  return obj.GetPtr();
}

void SoundManager::StopSFXSound(SFXTypes type, bool fade) {
  auto it = m_effects.find(type);
  if (it == m_effects.end()) return;
  for (SoundEntry& entry : it->second) {
    for (VSmartPtr<VSoundObject>& obj : entry.m_keptInstances) {
      if (!obj) continue;
      if (!fade) {
        obj->Stop();
        obj->DisposeObject();
        obj = nullptr;
      } else if (!obj->IsFadingOut()) {
        obj->FadeOut(kStopFadeTime);
      } else if (obj->UpdateFading(true) <= 0.0f) {
        obj->DisposeObject();
        obj = nullptr;
      }
    }
    auto& kept = entry.m_keptInstances;
    kept.erase(std::remove_if(kept.begin(), kept.end(), [](const VSmartPtr<VSoundObject>& o) { return !o; }),
               kept.end());
  }
}

bool SoundManager::IsSFXPlaying(SFXTypes type) const {
  auto it = m_effects.find(type);
  if (it == m_effects.end()) return false;
  for (const SoundEntry& entry : it->second)
    for (const VSmartPtr<VSoundObject>& obj : entry.m_keptInstances)
      if (obj && obj->IsPlaying()) return true;
  return false;
}

void SoundManager::SetMasterVolume(float volume) {
  m_fMasterVolume = volume;
  VSoundManager::GlobalManager().SetMasterVolume(volume);
}

void SoundManager::SetFXVolume(float volume) {
  m_fFXVolume = volume;
  UpdateVolumes();
}

void SoundManager::SetMusicVolume(float volume) { MusicManager::GetInstance()->SetMusicVolume(volume); }

float SoundManager::GetMusicVolume() { return MusicManager::GetInstance()->GetMusicVolume(); }

void SoundManager::SetSpeechVolume(float volume) { SpeechManager::GetInstance()->SetSpeechVolume(volume); }

float SoundManager::GetSpeechVolume() { return SpeechManager::GetInstance()->GetSpeechVolume(); }

void SoundManager::SetConversation(bool inConversation) {
  if (inConversation && m_fConversationFactor == 1.0f) {
    m_fConversationFactor = kConversationFactor;
    UpdateVolumes();
  } else if (!inConversation && m_fConversationFactor < 1.0f) {
    m_fConversationFactor = 1.0f;
    UpdateVolumes();
  }
}

float SoundManager::GetBaseVolume(VSoundObject* obj) {
  float base = obj->GetUserValue();
  if (base == 0.0f) {
    base = obj->GetVolume();
    obj->SetUserValue(base);
  }
  return base;
}

void SoundManager::UpdateVolumes() {
  auto apply = [this](VSoundObject* obj) {
    if (!obj) return;
    const float base = std::min(GetBaseVolume(obj), 1.0f);
    obj->FadeTo(m_fFXVolume * base * m_fConversationFactor, kSceneVolumeFadeTime);
  };
  for (VSoundObject* obj : m_sceneSounds) apply(obj);
  for (auto& effect : m_effects)
    for (SoundEntry& entry : effect.second)
      for (VSoundObject* obj : entry.m_keptInstances) apply(obj);
}

void SoundManager::SetPaused(bool paused) {
  m_bPaused = paused;
  for (VSoundObject* obj : m_sceneSounds)
    if (obj) obj->SetPaused(paused);
  for (auto& effect : m_effects)
    for (SoundEntry& entry : effect.second)
      for (VSoundObject* obj : entry.m_keptInstances)
        if (obj) obj->SetPaused(paused);
}

void SoundManager::ResetSceneSounds() {
  if (m_sceneSounds.empty()) return;
  for (VSoundObject* obj : m_sceneSounds)
    if (obj) obj->Stop();
  m_sceneSounds.clear();
  VSoundManager::GlobalManager().SetSceneSoundsStopped(true);
}

void SoundManager::PlaySceneSounds() {
  for (VSoundObject* obj : m_sceneSounds)
    if (obj && !obj->IsPlaying()) obj->Play(0.0f, true);
}

void SoundManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data || data->m_pSender != &Vision::Callbacks.OnAfterSceneLoaded) return;

  VSoundManager& plugin = VSoundManager::GlobalManager();
  for (int i = 0; i < plugin.GetInstanceCount(); ++i) {
    VSoundObject* obj = plugin.GetInstance(i);
    if (!obj->GetResource() || (obj->GetStateFlags() & VSOUND_NOCOLLECT)) continue;
    // A scene loaded without leaving the last one keeps its listed sounds once.
    if (std::find(m_sceneSounds.begin(), m_sceneSounds.end(), obj) != m_sceneSounds.end()) continue;
    obj->SetVolume(m_fFXVolume * GetBaseVolume(obj) * m_fConversationFactor);
    obj->SetPaused(m_bPaused);
    obj->AddStateFlags(VSOUND_KEPT);
    m_sceneSounds.emplace_back(obj);
  }

  for (auto& effect : m_effects) {
    for (SoundEntry& entry : effect.second) {
      entry.m_fLastPlayed = -100.0f;
      for (VSoundObject* obj : entry.m_keptInstances)
        if (obj) obj->Stop();
      entry.m_keptInstances.clear();
    }
  }
}
