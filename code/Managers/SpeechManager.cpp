// Speech: volume, conversation state and the bubbles of ready texts.
#include "Managers/SpeechManager.h"

#include "core/GameManager.h"

#include "engine/base/VisTimer.h"
#include "engine/core/VisCallbacks.h"
#include "engine/sound/VSoundManager.h"

#include <CEGUI/String.h>

SpeechManager::~SpeechManager() {
  Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(&m_bubbleTimer);
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(&m_bubbleTimer);
}

// The bubble is kept here with its number, text, entity and time; the frame that
// draws it over the entity comes with the speech frames of the HUD.
int SpeechManager::Say(VisBaseEntity_cl* entity, const CEGUI::String& text, float duration) {
  if (m_bHasBubble) return -1;
  m_iBubbleNumber = ++s_iLastBubbleNumber;
  m_sBubbleText = text.c_str();
  m_pBubbleEntity = entity;
  m_fBubbleTimeLeft = duration;
  m_bHasBubble = true;
  Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(&m_bubbleTimer);
  GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(&m_bubbleTimer);
  return m_iBubbleNumber;
}

void SpeechManager::SetSpeechBubbleIsGone() {
  m_bHasBubble = false;
  m_fBubbleTimeLeft = 0.0f;
  m_pBubbleEntity = nullptr;
  Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(&m_bubbleTimer);
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(&m_bubbleTimer);
}

void SpeechManager::BubbleTimer::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  // The speaker is gone: so is its bubble.
  if (data && data->m_pSender == &GameManager::Callbacks.OnEntityDestroyed) {
    if (static_cast<BaseEntityDataObject*>(data)->m_pEntity == m_owner.m_pBubbleEntity) m_owner.SetSpeechBubbleIsGone();
    return;
  }
  if (!data || data->m_pSender != &Vision::Callbacks.OnUpdateSceneBegin) return;
  m_owner.m_fBubbleTimeLeft -= Vision::Timer.GetTimeDifference();
  if (m_owner.m_fBubbleTimeLeft <= 0.0f) m_owner.SetSpeechBubbleIsGone();
}

// Filled in with the speech frames; so far only the conversation state is kept.
void SpeechManager::StartConversation(VisBaseEntity_cl*, const VisVector_cl&, const VisVector_cl&, bool pauseGame) {
  if (m_bInConversation) return;
  m_bConversationHoldsPause = pauseGame;
  m_bInConversation = true;
}

void SpeechManager::EndConversation() {
  if (!m_bInConversation) return;
  m_bConversationHoldsPause = false;
  m_bInConversation = false;
}

void SpeechManager::PlaySound2D(const char* file) {
  if (!file || !*file) return;
  // At the origin; the sound manager keeps the instance until it has played.
  VSoundObject* sound = VSoundManager::GlobalManager().CreateSoundInstance(file, 0, 0, 128);
  if (!sound) return;
  sound->SetVolume(m_fSpeechVolume);
  sound->Play(0.0f, true);
}

void SpeechManager::PlaySound3D(VisBaseEntity_cl*, const char*) {}
