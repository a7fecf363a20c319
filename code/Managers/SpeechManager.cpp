// Speech: bubbles, conversation lines, conversations and spoken files.
#include "Managers/SpeechManager.h"

#include "Managers/LocalizationTable.h"
#include "Managers/MusicManager.h"
#include "Managers/PauseManager.h"
#include "Managers/SoundManager.h"
#include "core/ComponentMessages.h"
#include "gui/BaseWindow.h"
#include "gui/FrameSpeechBubble.h"
#include "gui/FrameSpeechWindow.h"
#include "gui/GUIManager.h"

#include "engine/Vision.h"
#include "engine/sound/VSoundManager.h"

#include <CEGUI/String.h>
#include <CEGUI/Window.h>

#include <cstring>
#include <string>

namespace {

GUIManager* Gui() { return GUIManager::HasInstance() ? GUIManager::GetInstance() : nullptr; }

// The spoken file of a line, started at once at the speech volume; null when the
// line has none.
VSoundObject* StartVoice(const std::string& voiceKey, float volume) {
  const std::string file = LocalizationTable::GetInstance()->GetNarrowText(voiceKey.c_str());
  VSoundObject* voice = VSoundManager::GlobalManager().CreateSoundInstance(file.c_str(), 0, VSOUND_KEPT, 128);
  if (!voice) return nullptr;
  voice->SetVolume(volume);
  if (!voice->IsPlaying()) voice->Play(0.0f, true);
  return voice;
}

// The main characters speak with their hero's voice.
const char* HeroSuffix(const char* speakerKey) {
  struct Hero {
    const char* key;
    const char* name;
    const char* suffix;
  };
  static const Hero heroes[] = {{"str_MAIN_CHARACTER_PIRATE", "Walker de Planc", "_WALKER"},
                                {"str_MAIN_CHARACTER_CORSAIR", "Jolie Roger", "_JOLIE"},
                                {"str_MAIN_CHARACTER_BUCCANEER", "Longshot Jack", "_LONGSHOT"}};
  for (const Hero& hero : heroes)
    if (std::strcmp(speakerKey, hero.key) == 0 || std::strcmp(speakerKey, hero.name) == 0) return hero.suffix;
  return "";
}

CEGUI::String LineText(const char* textKey, const char* insertKey) {
  LocalizationTable* texts = LocalizationTable::GetInstance();
  const std::wstring insert = texts->GetWideText(insertKey ? insertKey : "");
  return texts->GetText(textKey ? textKey : "", insert);
}

}  // namespace

SpeechManager::~SpeechManager() { EndConversation(); }

int SpeechManager::Say(VisBaseEntity_cl* entity, const char* textKey, const char* insertKey, float duration) {
  if (!textKey) textKey = "";
  // The voice plays on its own; the bubble does not wait for it.
  StartVoice(std::string(textKey) + "_VO", m_fSpeechVolume);
  GUIManager* gui = Gui();
  FrameSpeechBubble* bubble = gui ? gui->ShowSpeechBubble(duration) : nullptr;
  if (!bubble) return -1;
  if (CEGUI::Window* text = bubble->GetTextWindow()) text->setText(LineText(textKey, insertKey));
  bubble->SetEntity(entity);
  return bubble->GetNumber();
}

int SpeechManager::Say(VisBaseEntity_cl* entity, const CEGUI::String& text, float duration) {
  if (m_bHasBubble) return -1;
  GUIManager* gui = Gui();
  FrameSpeechBubble* bubble = gui ? gui->ShowSpeechBubble(duration) : nullptr;
  if (!bubble) return -1;
  if (CEGUI::Window* window = bubble->GetTextWindow()) window->setText(text);
  bubble->SetEntity(entity);
  m_bHasBubble = true;
  return bubble->GetNumber();
}

int SpeechManager::Talk(const char* speakerKey, const char* textKey, const char* insertKey, const char* image,
                        float duration, bool leftSide, bool lastLine) {
  if (!speakerKey) speakerKey = "";
  if (!textKey) textKey = "";
  VSoundObject* voice = StartVoice(std::string(textKey) + "_VO" + HeroSuffix(speakerKey), m_fSpeechVolume);
  if (voice) duration = voice->GetLength() + 0.4f;
  GUIManager* gui = Gui();
  FrameSpeechWindow* window = gui ? gui->ShowSpeechWindow(duration) : nullptr;
  if (!window) {
    if (voice) voice->Stop();
    return -1;
  }
  CEGUI::Window* left = window->GetLeftPanel();
  CEGUI::Window* right = window->GetRightPanel();
  if (left && right) {
    window->SetLeftSide(leftSide);
    left->setVisible(leftSide);
    right->setVisible(!leftSide);
  }
  if (CEGUI::Window* speaker = window->GetSpeakerLabel())
    speaker->setText(LocalizationTable::GetInstance()->GetText(speakerKey));
  window->SetSpeechText(LineText(textKey, insertKey));
  window->SetLastLine(lastLine);
  window->SetSpeakerImage(image ? image : "");
  window->SetVoice(voice);
  // The line before stays below for as long as this one holds.
  if (FrameSpeechWindow* previous = gui->GetSpeechWindow(m_iCurrentLineId)) previous->SetBelowHoldTime(duration);
  m_iCurrentLineId = window->GetId();
  return m_iCurrentLineId;
}

void SpeechManager::SkipSpeak() {
  GUIManager* gui = Gui();
  if (!gui) return;
  for (int id : {m_iCurrentLineId, m_iCurrentLineId - 1})
    if (FrameSpeechWindow* window = gui->GetSpeechWindow(id)) window->SetDisplayTime(0.0f);
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
  GUIManager* gui = Gui();
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
  GUIManager* gui = Gui();
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
  GUIManager* gui = Gui();
  if (!gui) return;
  if (show)
    gui->ShowToolbar();
  else
    gui->HideToolbar();
}

namespace {

// The file at the speech volume, at the position; null when it does not load.
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
