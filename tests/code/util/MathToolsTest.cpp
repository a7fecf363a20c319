// MathTools: random draws and their test switches, angle wrapping, interpolation,
// sides, box distances and the rotation helpers.
#include "util/MathTools.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

// An engine entity for the test's lifetime.
struct ScopedEntity {
  VisBaseEntity_cl* e = new VisBaseEntity_cl();
  ~ScopedEntity() { delete e; }
};

class MathToolsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    MathTools::SetUseFixedRandom(false);
    MathTools::SetTestRandReturnMax(false);
    MathTools::SetGaussianRandomState(0);
  }
};

TEST_F(MathToolsTest, RandomIntRangesAndTestSwitches) {
  VSeedRandom(7);
  for (int i = 0; i < 200; ++i) {
    EXPECT_EQ(MathTools::RandomInt(5, 6), 5);
    EXPECT_EQ(MathTools::RandomInt(1), 0);
    EXPECT_EQ(MathTools::RandomInt(0), 0);
    const int r = MathTools::RandomInt(3, 10);
    EXPECT_GE(r, 3);
    EXPECT_LT(r, 10);
    const int n = MathTools::RandomInt(4);
    EXPECT_GE(n, 0);
    EXPECT_LT(n, 4);
  }
  MathTools::SetUseFixedRandom(true);
  EXPECT_EQ(MathTools::RandomInt(3, 10), 3);
  EXPECT_EQ(MathTools::RandomInt(10), 0);
  MathTools::SetTestRandReturnMax(true);
  EXPECT_EQ(MathTools::RandomInt(3, 10), 9);
  EXPECT_EQ(MathTools::RandomInt(10), 9);
}

TEST_F(MathToolsTest, SeededDrawsRepeat) {
  auto draw = [] {
    std::vector<float> v;
    for (int i = 0; i < 20; ++i) {
      v.push_back(MathTools::RandomFloat());
      v.push_back(MathTools::RandomFloat(-5.0f, 5.0f));
      v.push_back((float)MathTools::RandomInt(0, 1000));
    }
    return v;
  };
  VSeedRandom(1234);
  const std::vector<float> first = draw();
  VSeedRandom(1234);
  EXPECT_EQ(draw(), first);
  for (size_t i = 0; i < first.size(); i += 3) {
    EXPECT_GE(first[i], 0.0f);
    EXPECT_LE(first[i], 1.0f);
    EXPECT_GE(first[i + 1], -5.0f);
    EXPECT_LE(first[i + 1], 5.0f);
  }
  const VisVector_cl dir = MathTools::RandomDirection(30.0f, 30.0f);
  EXPECT_NEAR(dir.x, 0.5f, 1e-5f);
  EXPECT_NEAR(dir.y, std::sqrt(3.0f) / 2, 1e-5f);
  EXPECT_EQ(dir.z, 0.0f);
}

// Sound draws come from a stream of their own: the game's seeded draws are the same
// whether or not sounds were picked in between.
TEST_F(MathToolsTest, SoundDrawsLeaveTheGamesDrawsAlone) {
  VSeedRandom(99);
  const int a = MathTools::RandomInt(1000), b = MathTools::RandomInt(1000);
  VSeedRandom(99);
  EXPECT_EQ(MathTools::RandomInt(1000), a);
  for (int i = 0; i < 50; ++i) {
    const int n = MathTools::SoundRandomInt(7);
    EXPECT_GE(n, 0);
    EXPECT_LT(n, 7);
    const float u = MathTools::SoundRandomUnit();
    EXPECT_GE(u, 0.0f);
    EXPECT_LT(u, 1.0f);
  }
  EXPECT_EQ(MathTools::RandomInt(1000), b);
  EXPECT_EQ(MathTools::SoundRandomInt(1), 0);
  MathTools::SetUseFixedRandom(true);
  EXPECT_EQ(MathTools::SoundRandomInt(7), 0);
  MathTools::SetTestRandReturnMax(true);
  EXPECT_EQ(MathTools::SoundRandomInt(7), 6);
}

TEST_F(MathToolsTest, GaussianRandomIsRepeatableAndPeakedAtZero) {
  MathTools::SetGaussianRandomState(0x12345678u);
  std::vector<float> first;
  for (int i = 0; i < 10; ++i) first.push_back(MathTools::GaussianRandom());
  EXPECT_NE(MathTools::GetGaussianRandomState(), 0x12345678u);
  MathTools::SetGaussianRandomState(0x12345678u);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(MathTools::GaussianRandom(), first[i]);

  int central = 0;
  double sum = 0;
  const int n = 20000;
  for (int i = 0; i < n; ++i) {
    const float g = MathTools::GaussianRandom();
    ASSERT_GE(g, -1.0f);
    ASSERT_LE(g, 1.0f);
    if (std::fabs(g) < 0.5f) ++central;
    sum += g;
  }
  EXPECT_NEAR(sum / n, 0.0, 0.05);
  EXPECT_GT(central, n * 7 / 10) << "a uniform draw would put half in the middle";

  // Unseeded, it seeds itself and goes on.
  MathTools::SetGaussianRandomState(0);
  MathTools::GaussianRandom();
  EXPECT_NE(MathTools::GetGaussianRandomState(), 0u);
}

TEST_F(MathToolsTest, AnglesWrapIntoTheirRanges) {
  struct Case {
    float in, wrapped, clamped;
  } cases[] = {{180, -180, 180},  {-180, -180, 180}, {360, 0, 0},       {0, 0, 0},
               {540, -180, 180},  {-190, 170, 170},  {725.5f, 5.5f, 5.5f}, {179.5f, 179.5f, 179.5f}};
  for (const Case& c : cases) {
    EXPECT_FLOAT_EQ(MathTools::WrapAngle(c.in), c.wrapped) << c.in;
    EXPECT_FLOAT_EQ(MathTools::Clamp360(c.in), c.clamped) << c.in;
  }
  EXPECT_FLOAT_EQ(MathTools::AngleDiff(170, -170), 20.0f);
  EXPECT_FLOAT_EQ(MathTools::AngleDiff(-90, 90), 180.0f);
  EXPECT_FLOAT_EQ(MathTools::AngleDiff(350, 10), 20.0f);
  float v = 13.0f;
  MathTools::Wrap(v, 2.0f, 5.0f);
  EXPECT_FLOAT_EQ(v, 4.0f);
}

TEST_F(MathToolsTest, WrappingEndsForHugeInputsAndEmptyRanges) {
  const float huge = MathTools::WrapAngle(1e30f);
  EXPECT_GE(huge, -180.0f);
  EXPECT_LT(huge, 180.0f);
  const float clamped = MathTools::Clamp360(-3e12f);
  EXPECT_GE(clamped, 0.0f);
  EXPECT_LT(clamped, 360.0f);
  EXPECT_TRUE(std::isinf(MathTools::WrapAngle(std::numeric_limits<float>::infinity())));
  float v = 7.0f;
  MathTools::Wrap(v, 3.0f, 3.0f);
  EXPECT_EQ(v, 7.0f) << "an empty range leaves the value alone";
}

TEST_F(MathToolsTest, InterpolationAndSides) {
  EXPECT_FLOAT_EQ(MathTools::CosineInterpolate(2, 10, 0), 2);
  EXPECT_FLOAT_EQ(MathTools::CosineInterpolate(2, 10, 0.5f), 6);
  EXPECT_FLOAT_EQ(MathTools::CosineInterpolate(2, 10, 1), 10);
  EXPECT_LT(MathTools::CosineInterpolate(0, 1, 0.25f), MathTools::LinearInterpolate(0, 1, 0.25f));
  EXPECT_FLOAT_EQ(MathTools::LinearInterpolate(2, 10, 0.25f), 4);

  // From b = (1, 1) towards a along +x, the side is the +y half; the line itself is neither.
  const VisVector_cl a(11, 1, 0), b(1, 1, 7);
  EXPECT_TRUE(MathTools::IsTargetOnRightSide(a, b, VisVector_cl(-3, 2, -50)));
  EXPECT_FALSE(MathTools::IsTargetOnRightSide(a, b, VisVector_cl(6, 0, 0)));
  EXPECT_FALSE(MathTools::IsTargetOnRightSide(a, b, VisVector_cl(20, 1, 0)));

  const VisVector_cl p(1, 2, 3), q(4, 6, 15);
  EXPECT_FLOAT_EQ(MathTools::DistanceBetweenVectors(p, q), 13.0f);
  EXPECT_FLOAT_EQ(MathTools::DistanceBetweenVectorsSquared(p, q), 169.0f);
  EXPECT_FLOAT_EQ(MathTools::DistanceBetweenVectorsIgnoreZ(p, q), 5.0f);
  EXPECT_FLOAT_EQ(MathTools::DistanceBetweenVectorsIgnoreZSquared(p, q), 25.0f);
}

TEST_F(MathToolsTest, BoxDistancesInTheBoxFrameIgnoreHeight) {
  const VisBoundingBox_cl box(VisVector_cl(-2, -1, 0), VisVector_cl(2, 1, 1));
  VisMatrix3x3_cl turned;
  turned.SetEulerAngles(90, 0, 0);  // the box's long side along y
  const VisVector_cl origin(10, 10, 0);
  EXPECT_FLOAT_EQ(MathTools::DistanceToOrientedBoundingBox(VisVector_cl(10.5f, 11.5f, 500), box, origin, turned), 0);
  EXPECT_NEAR(MathTools::DistanceToOrientedBoundingBox(VisVector_cl(13, 10, 0), box, origin, turned), 2.0f, 1e-5f);
  EXPECT_NEAR(MathTools::DistanceToOrientedBoundingBox(VisVector_cl(10, 15, 0), box, origin, turned), 3.0f, 1e-5f);
  EXPECT_NEAR(MathTools::DistanceToOrientedBoundingBoxSquared(VisVector_cl(14, 16, 0), box, origin, turned), 9 + 16,
              1e-4f);

  ScopedEntity entity;
  EXPECT_NEAR(MathTools::DistanceToEntityBoundingBox(VisVector_cl(3, 4, 0), entity.e), 5.0f, 1e-5f)
      << "without a model the entity is a point";
  // The model's box turns, scales and moves with the entity.
  VDynamicMesh* mesh = new VDynamicMesh("box.model");
  ASSERT_TRUE(mesh->LoadFromXml("<model><bbox min=\"-2/-1/0\" max=\"2/1/1\"/></model>"));
  entity.e->SetMesh(mesh);
  entity.e->SetPosition(VisVector_cl(10, 0, 0));
  entity.e->SetOrientation(90, 0, 0);
  EXPECT_NEAR(MathTools::DistanceToEntityBoundingBox(VisVector_cl(10, 4, 9), entity.e), 2.0f, 1e-5f);
  EXPECT_NEAR(MathTools::DistanceToEntityBoundingBoxSquared(VisVector_cl(13, 0, 0), entity.e), 4.0f, 1e-4f);
  entity.e->SetScaling(2.0f);
  EXPECT_NEAR(MathTools::DistanceToEntityBoundingBox(VisVector_cl(10, 4, 0), entity.e), 0.0f, 1e-5f);
  EXPECT_GT(MathTools::DistanceToEntityBoundingBox(VisVector_cl(0, 0, 0), nullptr), 1e30f);
}

TEST_F(MathToolsTest, RotationHelpersConvertBothWays) {
  float m[3][3];
  ASSERT_TRUE(AxisAngleToRotationMatrix(m, VisVector_cl(0, 0, 2), 90));
  const float expected[3][3] = {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(m[r][c], expected[r][c], 1e-6f) << r << c;
  EXPECT_FALSE(AxisAngleToRotationMatrix(m, VisVector_cl(0, 0, 0.00005f), 90));
  EXPECT_EQ(m[0][0], 1.0f);
  EXPECT_EQ(m[0][1], 0.0f);

  // Round trips, including half turns (the branch without a large trace).
  const struct {
    VisVector_cl axis;
    float degrees;
  } rotations[] = {{{0, 0, 1}, 90}, {{1, 2, 3}, 40}, {{1, 0, 0}, 180}, {{0, 1, 0}, 180}, {{0, 0, 1}, 180}, {{1, 1, 0}, 170}};
  for (const auto& r : rotations) {
    float a[3][3], back[3][3], q[4];
    AxisAngleToRotationMatrix(a, r.axis, r.degrees);
    Matrix3x3ToQuaternion(a, q);
    EXPECT_NEAR(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3], 1.0f, 1e-5f);
    QuaternionToMatrix3x3(q, back);
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) EXPECT_NEAR(back[i][j], a[i][j], 1e-5f) << r.degrees << " at " << i << j;
  }

  // Multiplication may write into an operand.
  float x[3][3], y[3][3], xy[3][3];
  AxisAngleToRotationMatrix(x, VisVector_cl(1, 0, 0), 30);
  AxisAngleToRotationMatrix(y, VisVector_cl(0, 1, 0), 50);
  Matrix3x3Multiply(xy, x, y);
  Matrix3x3Multiply(x, x, y);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_FLOAT_EQ(x[i][j], xy[i][j]);
  EXPECT_NEAR(xy[0][1], 0.0f, 1e-6f);
}

}  // namespace
