// Speech: volume, conversation state and the bubbles of ready texts.
#include "Managers/SpeechManager.h"

#include "Managers/MusicManager.h"
#include "Managers/PauseManager.h"
#include "Managers/SoundManager.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "gui/BaseWindow.h"
#include "gui/GUIManager.h"

#include "engine/Vision.h"
#include "engine/sound/VSoundManager.h"

#include "engine/base/VisTimer.h"
#include "engine/core/VisCallbacks.h"
#include "engine/sound/VSoundManager.h"

#include <CEGUI/String.h>
#include <CEGUI/Window.h>

SpeechManager::~SpeechManager() {
  EndConversation();
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

void SpeechManager::StartConversation(VisBaseEntity_cl* entity, const VisVector_cl& offset,
                                      const VisVector_cl& direction, bool pauseGame) {
  if (m_bInConversation) return;
  m_bConversationHoldsPause = pauseGame;
  if (pauseGame) PauseManager::GetInstance()->SetGamePause(true);
  // Every other sound goes down to a quarter; the music to its conversation track.
  SoundManager::GetInstance()->SetConversation(true);
  MusicManager::GetInstance()->PlayConversationMusic();

  if (entity) {
    if (VisBaseEntity_cl* camera = Vision::Game.SearchEntity("CameraEntity")) {
      VisVector_cl target = entity->GetPosition() + offset;
      const bool noDirection = direction.x == 0.0f && direction.y == 0.0f && direction.z == 0.0f;
      VisVector_cl facing = noDirection ? entity->GetOrientation() : direction;
      Vision::Game.SendMsg(camera, VIS_MSG_USER_CAMERA_CONVERSATION_START, (INT_PTR)&target, (INT_PTR)&facing);
    }
  }

  // The conversation runs even without a GUI frame to cover, so that its end
  // always gives back the pause and the volumes it took.
  m_bInConversation = true;
  GUIManager* gui = GUIManager::HasInstance() ? GUIManager::GetInstance() : nullptr;
  m_bFramePushed = gui && gui->GetCurrentFrame() && gui->PushFrame();
  if (m_bFramePushed) {
    gui->ShowFrame(WT_SPEECH_FRAME);
    ShowToolbar(false);
  }
}

void SpeechManager::EndConversation() {
  if (!m_bInConversation) return;
  m_bConversationHoldsPause = false;
  // Managers already gone at shutdown are not made again.
  GUIManager* gui = GUIManager::HasInstance() ? GUIManager::GetInstance() : nullptr;
  if (!(gui && gui->WantsGamePause()) && PauseManager::HasInstance()) PauseManager::GetInstance()->SetGamePause(false);
  if (gui) gui->SetDelayAfterConversation();
  if (SoundManager::HasInstance()) SoundManager::GetInstance()->SetConversation(false);
  if (MusicManager::HasInstance()) MusicManager::GetInstance()->EndConversationMusic();

  if (VisBaseEntity_cl* camera = Vision::Game.SearchEntity("CameraEntity"))
    Vision::Game.SendMsg(camera, VIS_MSG_USER_CAMERA_CONVERSATION_END, 0, 0);

  // Only the frame this conversation covered goes back: another's stays stacked.
  if (gui && m_bFramePushed) gui->PopFrame();
  if (gui) gui->CloseWindow(WT_SPEECH_FRAME, false);
  m_bFramePushed = false;
  m_bInConversation = false;
  ShowToolbar(true);
}

void SpeechManager::ShowToolbar(bool show) {
  if (!GUIManager::HasInstance()) return;
  if (show)
    GUIManager::GetInstance()->ShowToolbar();
  else
    GUIManager::GetInstance()->HideToolbar();
}

namespace {

// Plays the file from the start at the speech volume: at the origin, or at a
// position as a 3D sound with the speech fade distances.
VSoundObject* PlaySpeechFile(const char* file, int resourceFlags, const VisVector_cl& position, float volume) {
  VSmartPtr<VSoundResource> resource = VSoundManager::GlobalManager().LoadSoundResource(file, resourceFlags);
  if (!resource) return nullptr;
  VSoundObject* sound = resource->CreateInstance(position, 0, 128);
  if (!sound) return nullptr;
  sound->SetVolume(volume);
  return sound;
}

}  // namespace

void SpeechManager::PlaySound2D(const char* file) {
  if (!file || !*file) return;
  if (VSoundObject* sound = PlaySpeechFile(file, 0, VisVector_cl(0, 0, 0), m_fSpeechVolume)) sound->Play(0.0f, true);
}

void SpeechManager::PlaySound3D(VisBaseEntity_cl* entity, const char* file) {
  if (!entity || !file || !*file) return;
  // Placed where the speaker stands now; the sound does not follow it.
  VSoundObject* sound = PlaySpeechFile(file, 256, entity->GetPosition(), m_fSpeechVolume);
  if (!sound) return;
  sound->Set3DFadeDistance(10.0f, 80.0f);
  sound->Play(0.0f, true);
}
