// A device reset headless: lost, then restored, with the renderer marked lost
// in between.
#include "engine/Vision.h"
#include "engine/render/VDeviceReset.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Recorder : public IVisCallbackHandler_cl {
 public:
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override {
    const bool lost = data->m_pSender == &Vision::Callbacks.OnVideoDeviceLost;
    calls.push_back(std::string(lost ? "lost" : "restored") + (Vision::Renderer.IsDeviceLost() ? " (marked)" : ""));
  }
  std::vector<std::string> calls;
};

TEST(DeviceResetTest, HeadlessTheCallbacksFireInOrderAroundTheLostMark) {
  Recorder recorder;
  Vision::Callbacks.OnVideoDeviceLost.RegisterCallback(&recorder);
  Vision::Callbacks.OnVideoDeviceRestored.RegisterCallback(&recorder);

  VVideo::DeInitialize();
  EXPECT_FALSE(Vision::ResetVideoDevice());
  EXPECT_TRUE(recorder.calls.empty());

  VVideoConfig config;
  config.m_iXRes = 640;
  config.m_iYRes = 480;
  ASSERT_TRUE(VVideo::Initialize(config));
  EXPECT_TRUE(Vision::ResetVideoDevice());
  EXPECT_EQ(recorder.calls, (std::vector<std::string>{"lost (marked)", "restored"}));
  EXPECT_FALSE(Vision::Renderer.IsDeviceLost());

  VVideo::DeInitialize();
  Vision::Callbacks.OnVideoDeviceLost.DeregisterCallback(&recorder);
  Vision::Callbacks.OnVideoDeviceRestored.DeregisterCallback(&recorder);
}

}  // namespace
