// The walkability grid read from "CollisionMap.dds".
#include "util/NavigationMap.h"

#include "util/NavigationTerrain.h"

#include "engine/base/VisError.h"
#include "engine/render/VDdsImage.h"

bool NavigationMap::Load(const char* imageFile) {
  VDdsImage image;
  if (!imageFile || !image.ReadFromFile(imageFile)) return false;
  const int width = image.GetWidth(), height = image.GetHeight();
  m_spTexture = new VTextureObject(imageFile);

  NavigationTerrain::Extent extent;
  const bool hasExtent = NavigationTerrain::GetExtent(extent);
  const float sizeX = hasExtent ? extent.sizeX : 0.0f, sizeY = hasExtent ? extent.sizeY : 0.0f;
  const float posX = hasExtent ? extent.originX : 0.0f, posY = hasExtent ? extent.originY : 0.0f;
  float scaleX = sizeX / (float)width, scaleY = sizeY / (float)height;
  const float offsetX = -posX - sizeX / 2.0f, offsetY = -posY - sizeY / 2.0f;
  Vision::Error.SystemMessage(
      "NavigationMap::Load() Loading map %s -> Size %d x %d Terrain: %.0f x %.0f Terrain Position: %.0f, %.0f => "
      "Scale %.2f, %.2f Offset %.0f, %.0f",
      imageFile, width, height, sizeX, sizeY, posX, posY, scaleX, scaleY, offsetX, offsetY);
  if (width > MAX_SIZE || height > MAX_SIZE) {
    Vision::Error.SystemMessage("NavigationMap::Load() Abort: Map size exceeds max: %d", MAX_SIZE);
    return false;
  }
  // Without a terrain of known extent a cell is one unit wide, the grid centred on
  // the origin (a zero scale would put every point at infinity).
  if (!hasExtent) scaleX = scaleY = 1.0f;

  m_iWidth = width;
  m_iHeight = height;
  m_iHalfWidth = m_iWidth / 2;
  m_iHalfHeight = m_iHeight / 2;
  m_fScaleX = scaleX;
  m_fScaleY = scaleY;
  m_fOffsetX = offsetX;
  m_fOffsetY = offsetY;
  m_cells.assign((size_t)m_iWidth * m_iHeight, 0);
  const int pitch = image.GetPitch();
  const int bytesPerPixel = pitch / width;
  for (int row = 0; row < m_iHeight; ++row) {
    const unsigned char* line = image.GetPixels().data() + (size_t)row * pitch;
    for (int column = 0; column < m_iWidth; ++column)
      m_cells[(size_t)m_iWidth * row + column] = CostFromByte(line[(size_t)column * bytesPerPixel]);
  }
  const int stride = GetPaddedStride();
  m_paddedCosts.assign((size_t)stride * (m_iHeight + 2), (uint8_t)FIRST_BLOCKED_COST);
  for (int row = 0; row < m_iHeight; ++row)
    for (int column = 0; column < m_iWidth; ++column)
      m_paddedCosts[(size_t)stride * (row + 1) + column + 1] = (uint8_t)m_cells[(size_t)m_iWidth * row + column];
  Vision::Error.SystemMessage("NavigationMap::Load() DONE");
  return true;
}
