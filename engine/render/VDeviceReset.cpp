// Device loss and restore around a GL context rebuild.
#include "engine/render/VDeviceReset.h"

#include "engine/core/VisCallbacks.h"
#include "engine/core/VisionApp.h"
#include "engine/render/VGLDevice.h"
#include "engine/render/VisRenderer.h"

bool Vision::ResetVideoDevice() {
  if (!VVideo::IsInitialized()) return false;
  Vision::Renderer.SetDeviceLost(true);
  Vision::Callbacks.OnVideoDeviceLost.TriggerCallbacks();
  VGLDevice& device = VGLDevice::GetInstance();
  const bool rebuilt = !device.IsOpen() || device.RebuildContext();
  Vision::Renderer.SetDeviceLost(false);
  Vision::Callbacks.OnVideoDeviceRestored.TriggerCallbacks();
  return rebuilt;
}
