// Noise events: every listener is told at once, and the loudness falls linearly
// from the source to the range.
#include "Managers/NoiseManagerProto.h"
#include "core/BaseEntity.h"

#include "engine/core/VisGame.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A listener that keeps what it heard (the land units' listener comes later).
class Listener : public IVisCallbackHandler_cl {
 public:
  Listener() { NoiseManagerProto::OnNoiseGenerated.RegisterCallback(this); }
  ~Listener() override { NoiseManagerProto::OnNoiseGenerated.DeregisterCallback(this); }
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override {
    ASSERT_EQ(data->m_pSender, &NoiseManagerProto::OnNoiseGenerated);
    const NoiseData* noise = static_cast<NoiseData*>(data);
    heard.push_back(*noise);
    loudness.push_back(NoiseManagerProto::GetInstance()->CalculateVolume(VisVector_cl(5, 0, 0), noise));
  }
  std::vector<NoiseData> heard;
  std::vector<float> loudness;
};

class NoiseManagerProtoTest : public ::testing::Test {
 protected:
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    NoiseManagerProto::CleanInstance();
  }
  BaseEntity* MakeSource(const VisVector_cl& at) {
    return static_cast<BaseEntity*>(Vision::Game.CreateEntity("BaseEntity", at));
  }
};

TEST_F(NoiseManagerProtoTest, EveryListenerIsToldBeforeMakeNoiseReturns) {
  BaseEntity* source = MakeSource(VisVector_cl(0, 0, 0));
  Listener a, b;
  NoiseManagerProto::GetInstance()->MakeNoise(source, 1, 1.0f, 10.0f, NOISE_FALLOFF_LINEAR);
  for (Listener* l : {&a, &b}) {
    ASSERT_EQ(l->heard.size(), 1u);
    EXPECT_EQ(l->heard[0].m_pSource, source);
    EXPECT_EQ(l->heard[0].m_eType, 1);
    EXPECT_FLOAT_EQ(l->heard[0].m_fVolume, 1.0f);
    EXPECT_FLOAT_EQ(l->heard[0].m_fRange, 10.0f);
    EXPECT_EQ(l->heard[0].m_eFalloff, NOISE_FALLOFF_LINEAR);
    EXPECT_FLOAT_EQ(l->loudness[0], 0.5f) << "heard at half the range";
  }
}

TEST_F(NoiseManagerProtoTest, LoudnessFallsLinearlyToTheRange) {
  BaseEntity* source = MakeSource(VisVector_cl(10, 20, 30));
  NoiseManagerProto* noises = NoiseManagerProto::GetInstance();
  struct Case {
    const char* name;
    VisVector_cl listener;
    float range;
    int falloff;
    float expected;
  } cases[] = {
      {"at the source", VisVector_cl(10, 20, 30), 100.0f, 0, 0.8f},
      {"half the range, in 3D", VisVector_cl(10 + 30, 20, 30 + 40), 100.0f, 0, 0.4f},
      {"another falloff changes nothing", VisVector_cl(10 + 30, 20, 30 + 40), 100.0f, 1, 0.4f},
      {"at the range", VisVector_cl(10, 20 + 100, 30), 100.0f, 0, 0.0f},
      {"beyond the range", VisVector_cl(500, 20, 30), 100.0f, 0, 0.0f},
      {"a range of 0", VisVector_cl(10, 20, 30), 0.0f, 0, 0.0f},
      {"a negative range", VisVector_cl(10, 20, 31), -5.0f, 0, 0.0f},
  };
  for (const Case& c : cases) {
    NoiseData noise(&NoiseManagerProto::OnNoiseGenerated, source, 0.8f, c.range, (NoiseFalloff)c.falloff, 1);
    EXPECT_FLOAT_EQ(noises->CalculateVolume(c.listener, &noise), c.expected) << c.name;
  }
  NoiseData noSource(&NoiseManagerProto::OnNoiseGenerated, nullptr, 0.8f, 100.0f, NOISE_FALLOFF_LINEAR, 1);
  EXPECT_FLOAT_EQ(noises->CalculateVolume(VisVector_cl(10, 20, 30), &noSource), 0.0f);
  EXPECT_FLOAT_EQ(noises->CalculateVolume(VisVector_cl(10, 20, 30), nullptr), 0.0f);
}

}  // namespace
