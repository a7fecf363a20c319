// The preview beside each save: the scene without the GUI as a small JPEG.
#include "Managers/SaveGameManager.h"

#include "Managers/SaveGameFile.h"
#include "core/VisMainApp.h"
#include "gui/GUIManager.h"

#include "engine/Vision.h"
#include "engine/base/VisError.h"
#include "engine/render/VImageMap.h"

#include <cstring>
#include <utility>
#include <vector>

namespace {

const int kPreviewWidth = 320;
const int kPreviewHeight = 200;
const int kPreviewQuality = 70;

}  // namespace

void SaveGameManagerProto::SaveThumbnail(const SaveSlotInfo& slot) {
  const int w = VVideo::IsInitialized() ? VVideo::GetCurrentWidth() : 0;
  const int h = VVideo::IsInitialized() ? VVideo::GetCurrentHeight() : 0;
  // Without a window there is no picture to read: the old preview stays.
  if (w <= 0 || h <= 0 || VVideo::IsHeadless()) return;
  std::vector<uint8_t> pixels((size_t)w * h * 3);

  GUIManager* gui = GUIManager::HasInstance() ? GUIManager::GetInstance() : nullptr;
  if (gui) gui->EnableGUI(false);
  if (VisMainApp::HasInstance()) {
    VisMainApp::GetInstance()->RenderOnlyVisuals();
    VisMainApp::GetInstance()->RenderOnlyVisuals();
  }
  const bool read = Vision::Game.WriteScreenToBuffer(0, 0, w, h, pixels.data());
  if (gui) gui->EnableGUI(true);
  if (!read) return;

  // The back buffer's rows run from the bottom, its pixels B, G, R.
  const size_t row = (size_t)w * 3;
  for (int r = 0; r < h / 2; ++r)
    std::swap_ranges(pixels.begin() + (std::ptrdiff_t)(r * row), pixels.begin() + (std::ptrdiff_t)((r + 1) * row),
                     pixels.begin() + (std::ptrdiff_t)((h - 1 - r) * row));
  for (size_t i = 0; i + 2 < pixels.size(); i += 3) std::swap(pixels[i], pixels[i + 2]);

  VImageMap image(w, h, std::move(pixels));
  std::vector<uint8_t> jpeg;
  char path[V_DOCUMENT_FOLDER_SIZE];
  if (!image.Scale(kPreviewWidth, kPreviewHeight) || !image.EncodeJpeg(kPreviewQuality, jpeg) ||
      !GetSaveGameFile(path, slot.m_iIndex + 1))
    return;
  strcat(path, ".jpg");
  save_file::AtomicFile file(path);
  if (!file.Open() || !file.Write(jpeg.data(), jpeg.size()) || !file.Commit())
    Vision::Error.Warning("SaveThumbnail: \"%s\" cannot be written: %s", path, file.GetError());
}
