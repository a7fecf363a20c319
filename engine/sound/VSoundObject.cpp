// Sound instances: fades, play position and state, moved on by the sound manager
// once per engine frame.
#include "engine/sound/VSoundObject.h"

#include "engine/sound/VSoundManager.h"

#include <algorithm>
#include <cmath>

V_IMPLEMENT_DYNAMIC(VSoundObject, VisObject3D_cl)

namespace {
float Clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }
}  // namespace

VSoundObject::VSoundObject(VSoundResource* resource, int flags, int priority)
    : m_spResource(resource), m_iPriority(priority), m_iStateFlags(flags & ~VSOUND_FADED_OUT) {}

VSoundObject::~VSoundObject() { VSoundManager::OnInstanceDeleted(this); }

void VSoundObject::Play(float startTime, bool restartIfPlaying) {
  if (m_bPlaying && !restartIfPlaying) return;
  SetPlayPosition(startTime);
  m_bPlaying = true;
  m_bFinished = false;
  if (m_eFade == FADE_OUT) m_eFade = FADE_NONE;
  m_iStateFlags &= ~VSOUND_FADED_OUT;
}

void VSoundObject::Stop() {
  m_eFade = FADE_NONE;
  m_fPosition = 0.0f;
  EndPlayback();
}

void VSoundObject::EndPlayback() {
  m_bPlaying = false;
  m_bFinished = true;
}

void VSoundObject::SetVolume(float volume) {
  m_fVolume = Clamp01(volume);
  m_eFade = FADE_NONE;
}

void VSoundObject::FadeFromTo(float from, float to, float seconds) {
  // Fading back a sound on its way out brings it back where it stopped.
  if (m_iStateFlags & VSOUND_FADED_OUT) {
    m_iStateFlags &= ~VSOUND_FADED_OUT;
    if (!m_bPlaying && !m_bDisposed) {
      m_bPlaying = true;
      m_bFinished = false;
    }
  }
  m_fVolume = Clamp01(from);
  m_fFadeFrom = m_fVolume;
  m_fFadeTo = Clamp01(to);
  m_fFadeDuration = seconds > 0.0f ? seconds : 0.0f;
  m_fFadeElapsed = 0.0f;
  m_eFade = FADE_TO;
  if (m_fFadeDuration <= 0.0f) UpdateFading(true);
}

void VSoundObject::FadeTo(float volume, float seconds) { FadeFromTo(m_fVolume, volume, seconds); }

void VSoundObject::FadeOut(float seconds) {
  m_fFadeFrom = m_fVolume;
  m_fFadeTo = 0.0f;
  m_fFadeDuration = seconds > 0.0f ? seconds : 0.0f;
  m_fFadeElapsed = 0.0f;
  m_eFade = FADE_OUT;
  if (!m_bPlaying) m_fFadeElapsed = m_fFadeDuration;
  if (!m_bPlaying || m_fFadeDuration <= 0.0f) UpdateFading(true);
}

float VSoundObject::UpdateFading(bool apply) {
  if (m_eFade == FADE_NONE) return m_fVolume;
  const float t = m_fFadeDuration > 0.0f ? std::min(m_fFadeElapsed / m_fFadeDuration, 1.0f) : 1.0f;
  const float v = t >= 1.0f ? m_fFadeTo : m_fFadeFrom + (m_fFadeTo - m_fFadeFrom) * t;
  if (!apply) return v;
  m_fVolume = v;
  if (t >= 1.0f) {
    if (m_eFade == FADE_TO) {
      m_eFade = FADE_NONE;
    } else {
      // The fade-out mode stays: the sound is on its way out until played again.
      m_iStateFlags |= VSOUND_FADED_OUT;
      if (m_bPlaying) EndPlayback();
    }
  }
  return v;
}

bool VSoundObject::IsFadingIn() const {
  return m_eFade == FADE_TO && m_fFadeTo > m_fFadeFrom && m_fFadeElapsed < m_fFadeDuration;
}

float VSoundObject::GetLength() const { return m_spResource ? m_spResource->GetLength() : 0.0f; }

void VSoundObject::SetPlayPosition(float seconds) {
  const float len = GetLength();
  m_fPosition = seconds < 0.0f ? 0.0f : (seconds > len ? len : seconds);
  ++m_iSeekCount;
}

void VSoundObject::Set3DFadeDistance(float nearDist, float farDist) {
  m_fFadeNear = nearDist;
  m_fFadeFar = farDist;
}

void VSoundObject::SetConeAngles(float inside, float outside) {
  m_fConeInside = inside;
  m_fConeOutside = outside;
}

bool VSoundObject::Is3D() const { return m_spResource && m_spResource->Is3D(); }

float VSoundObject::GetDistanceFade() const {
  if (!Is3D()) return 1.0f;
  const float d = GetPosition().GetDistance(VSoundManager::GlobalManager().GetListenerPosition());
  if (d <= m_fFadeNear) return 1.0f;
  if (d >= m_fFadeFar) return 0.0f;
  return 1.0f - (d - m_fFadeNear) / (m_fFadeFar - m_fFadeNear);
}

float VSoundObject::GetAudibleVolume() const {
  return m_fVolume * GetDistanceFade() * VSoundManager::GlobalManager().GetMasterVolume();
}

void VSoundObject::DisposeObject() {
  if (m_bDisposed) return;
  m_bDisposed = true;
  Stop();
  // May drop the last reference: nothing of this object is touched afterwards.
  VSoundManager::GlobalManager().RemoveInstance(this);
}

void VSoundObject::Advance(float dt) {
  if (!m_bPlaying || m_bPaused || dt <= 0.0f) return;
  if (m_eFade != FADE_NONE) {
    m_fFadeElapsed = std::min(m_fFadeElapsed + dt, m_fFadeDuration);
    UpdateFading(true);
    if (!m_bPlaying) return;
  }
  const float len = GetLength();
  m_fPosition += dt * m_fPitch;
  if (m_fPosition < len) return;
  if (IsLooped() && len > 0.0f) {
    m_fPosition = std::fmod(m_fPosition, len);
  } else {
    m_fPosition = 0.0f;
    EndPlayback();
  }
}
