#include "engine/base/VisMath.h"

#include <gtest/gtest.h>

namespace {
void ExpectMatrixNear(const VisMatrix3x3_cl& a, const VisMatrix3x3_cl& b, float eps = 1e-5f) {
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(a.m[r][c], b.m[r][c], eps) << "at " << r << "," << c;
}

void ExpectVectorNear(const VisVector_cl& a, const VisVector_cl& b, float eps = 1e-5f) {
  EXPECT_NEAR(a.x, b.x, eps);
  EXPECT_NEAR(a.y, b.y, eps);
  EXPECT_NEAR(a.z, b.z, eps);
}
}  // namespace

TEST(VisMath, EulerAnglesFollowTheAxisConventions) {
  // Yaw turns forward (x) towards left (y); pitch lowers the nose; roll tips left towards up.
  VisMatrix3x3_cl m = VisMath_cl::EulerToMatrix(90, 0, 0);
  ExpectVectorNear(m.GetColumn(0), {0, 1, 0});
  ExpectVectorNear(m * VisVector_cl(1, 0, 0), {0, 1, 0});
  m = VisMath_cl::EulerToMatrix(0, 30, 0);
  ExpectVectorNear(m.GetColumn(0), {0.8660254f, 0, -0.5f});
  m = VisMath_cl::EulerToMatrix(0, 0, 90);
  ExpectVectorNear(m.GetColumn(1), {0, 0, 1});
  // Rotations apply roll first, then pitch, then yaw.
  ExpectMatrixNear(VisMath_cl::EulerToMatrix(40, 20, 10),
                   VisMath_cl::EulerToMatrix(40, 0, 0) * VisMath_cl::EulerToMatrix(0, 20, 0) *
                       VisMath_cl::EulerToMatrix(0, 0, 10));
}

TEST(VisMath, EulerRoundTripsIncludingGimbalLock) {
  const struct {
    float yaw, pitch, roll;
  } cases[] = {{0, 0, 0}, {45, 10, -20}, {-170, -80, 179}, {180, 45, -90}, {123, 89.5f, 33}, {10, -45, 135}};
  for (const auto& c : cases) {
    const VisVector_cl e = VisMath_cl::MatrixToEuler(VisMath_cl::EulerToMatrix(c.yaw, c.pitch, c.roll));
    ExpectVectorNear(e, {c.yaw, c.pitch, c.roll}, 2e-2f);
    EXPECT_EQ(e.w, 1.0f);
  }
  // At pitch 90 only yaw - roll is defined: the matrix must come back, not the angles.
  const VisMatrix3x3_cl lock = VisMath_cl::EulerToMatrix(30, 90, 10);
  const VisVector_cl e = lock.GetEulerAngles();
  EXPECT_FLOAT_EQ(e.y, 90.0f);
  EXPECT_EQ(e.z, 0.0f);
  ExpectMatrixNear(VisMath_cl::EulerToMatrix(e.x, e.y, e.z), lock, 1e-4f);
}

TEST(VisMath, InverseTransposeAndProduct) {
  VisMatrix3x3_cl m;
  const float values[9] = {2, -1, 0, 1, 3, 4, 0, 5, -2};
  m.SetFromArray(values);
  float back[9];
  m.GetAsArray(back);
  EXPECT_EQ(back[1], -1.0f);
  EXPECT_EQ(m.m[0][1], -1.0f) << "array order is row by row";
  VisMatrix3x3_cl inv = m;
  ASSERT_TRUE(inv.Invert());
  ExpectMatrixNear(m * inv, VisMatrix3x3_cl());
  ExpectMatrixNear(inv * m, VisMatrix3x3_cl());

  VisMatrix3x3_cl singular;
  const float flat[9] = {1, 2, 3, 2, 4, 6, 0, 1, 1};
  singular.SetFromArray(flat);
  VisMatrix3x3_cl copy = singular;
  EXPECT_FALSE(singular.Invert());
  ExpectMatrixNear(singular, copy, 0.0f);

  const VisMatrix3x3_cl r = VisMath_cl::EulerToMatrix(33, -12, 71);
  VisMatrix3x3_cl rInv = r;
  ASSERT_TRUE(rInv.Invert());
  ExpectMatrixNear(rInv, r.GetTransposed());
}

TEST(VisMath, QuaternionMatchesMatricesAndProducts) {
  // Angles that reach every branch of the matrix conversion (trace positive and each diagonal largest).
  const struct {
    VisVector_cl axis;
    float angle;
  } cases[] = {{{0, 0, 1}, 30}, {{1, 0, 0}, 180}, {{0, 1, 0}, 170}, {{0, 0, 1}, 179}, {{1, 2, 3}, 250}};
  for (const auto& c : cases) {
    VisMatrix3x3_cl m;
    m.SetRotationAxis(c.axis, c.angle);
    const VisQuaternion_cl q = VisQuaternion_cl::FromAxisAngle(c.axis, c.angle);
    ExpectMatrixNear(q.ToMatrix(), m);
    ExpectMatrixNear(VisQuaternion_cl::FromMatrix(m).ToMatrix(), m);
  }
  const VisQuaternion_cl a = VisQuaternion_cl::FromAxisAngle({0, 0, 1}, 90);
  const VisQuaternion_cl b = VisQuaternion_cl::FromAxisAngle({1, 0, 0}, 90);
  ExpectMatrixNear((a * b).ToMatrix(), a.ToMatrix() * b.ToMatrix());
  // Hamilton, not its mirror: i * j = k.
  const VisQuaternion_cl k = VisQuaternion_cl(1, 0, 0, 0) * VisQuaternion_cl(0, 1, 0, 0);
  EXPECT_FLOAT_EQ(k.z, 1.0f);
}

TEST(VisMath, SlerpFollowsTheShorterArc) {
  const VisQuaternion_cl a = VisQuaternion_cl::FromAxisAngle({0, 0, 1}, 0);
  const VisQuaternion_cl b = VisQuaternion_cl::FromAxisAngle({0, 0, 1}, 90);
  ExpectMatrixNear(VisQuaternion_cl::Slerp(a, b, 0.5f).ToMatrix(), VisMath_cl::EulerToMatrix(45, 0, 0));
  ExpectMatrixNear(VisQuaternion_cl::Slerp(a, b, 0.0f).ToMatrix(), a.ToMatrix());
  ExpectMatrixNear(VisQuaternion_cl::Slerp(a, b, 1.0f).ToMatrix(), b.ToMatrix());
  // -b is the same rotation; the blend must not take the long way round.
  const VisQuaternion_cl negB(-b.x, -b.y, -b.z, -b.w);
  ExpectMatrixNear(VisQuaternion_cl::Slerp(a, negB, 0.5f).ToMatrix(), VisMath_cl::EulerToMatrix(45, 0, 0));
  // Nearly equal rotations do not divide by a vanishing sine.
  const VisQuaternion_cl c = VisQuaternion_cl::FromAxisAngle({0, 0, 1}, 0.001f);
  const VisQuaternion_cl mid = VisQuaternion_cl::Slerp(a, c, 0.5f);
  EXPECT_TRUE(std::isfinite(mid.w));
  EXPECT_NEAR(mid.w, 1.0f, 1e-6f);
}

TEST(VisMath, LookAtBuildsForwardLeftUpColumns) {
  VisMatrix3x3_cl m;
  VisMath_cl::MatrixLookAt(m, {1, 1, 0}, {1, 5, 0}, {0, 0, 1});
  ExpectVectorNear(m.GetColumn(0), {0, 1, 0});
  ExpectVectorNear(m.GetColumn(1), {-1, 0, 0});
  ExpectVectorNear(m.GetColumn(2), {0, 0, 1});

  // Looking down along 'up' still gives an orthonormal, right-handed frame.
  VisMath_cl::MatrixLookAt(m, {0, 0, 10}, {0, 0, 0}, {0, 0, 1});
  ExpectVectorNear(m.GetColumn(0), {0, 0, -1});
  ExpectVectorNear(m.GetColumn(0).Cross(m.GetColumn(1)), m.GetColumn(2));
  EXPECT_NEAR(m.GetColumn(1).GetLength(), 1.0f, 1e-6f);

  VisMath_cl::MatrixLookAt(m, {2, 2, 2}, {2, 2, 2}, {0, 0, 1});
  ExpectMatrixNear(m, VisMatrix3x3_cl(), 0.0f);
}

TEST(VisMath, AngleBetweenVectorsInDegrees) {
  const struct {
    VisVector_cl a, b;
    float degrees;
  } cases[] = {{{1, 0, 0}, {0, 3, 0}, 90},  {{1, 0, 0}, {-2, 0, 0}, 180}, {{1, 1, 0}, {5, 5, 0}, 0},
               {{1, 0, 0}, {1, 1, 0}, 45}, {{0, 0, 0}, {1, 0, 0}, 0}};
  for (const auto& c : cases) EXPECT_NEAR(VisMath_cl::AngleBetweenVectors(c.a, c.b), c.degrees, 1e-3f);
}

TEST(VisMath, VectorResultsCarryWOneAndZeroStaysZero) {
  VisVector_cl a(1, 2, 3, 7);
  EXPECT_EQ((a + a).w, 1.0f);
  EXPECT_EQ((a * 2).w, 1.0f);
  VisVector_cl zero(0, 0, 0);
  EXPECT_EQ(zero.Normalize(), 0.0f);
  EXPECT_TRUE(zero.IsZero());
  zero.SetLength(5);
  EXPECT_TRUE(zero.IsZero());
  VisVector_cl v(3, 4, 0);
  EXPECT_FLOAT_EQ(v.Normalize(), 5.0f);
  EXPECT_FLOAT_EQ(v.GetLength(), 1.0f);
  EXPECT_FLOAT_EQ(VisVector_cl(0, 0, 0).GetDistance2D({3, 4, 100}), 5.0f);
}

TEST(VisBoundingBox, EmptyStateExtendUnionAndOverlap) {
  VisBoundingBox_cl box;
  EXPECT_FALSE(box.IsValid());
  EXPECT_EQ(box.m_vMin.x, 3.4028235e38f);
  EXPECT_EQ(box.m_vMax.z, -3.4028235e38f);
  box.ExpandToInclude(VisVector_cl(1, 2, 3));
  EXPECT_TRUE(box.IsValid());
  EXPECT_EQ(box.GetSizeX(), 0.0f);
  box.ExpandToInclude(VisVector_cl(-1, 0, 5));
  ExpectVectorNear(box.m_vMin, {-1, 0, 3}, 0);
  ExpectVectorNear(box.m_vMax, {1, 2, 5}, 0);

  VisBoundingBox_cl copy = box;
  copy.ExpandToInclude(VisBoundingBox_cl());  // an empty box adds nothing
  ExpectVectorNear(copy.m_vMin, box.m_vMin, 0);
  ExpectVectorNear(copy.m_vMax, box.m_vMax, 0);

  VisBoundingBox_cl touching({1, 2, 5}, {4, 4, 6});
  VisBoundingBox_cl apart({1.01f, 0, 0}, {2, 2, 2});
  EXPECT_TRUE(box.Intersects(touching));
  EXPECT_FALSE(box.Intersects(apart));
  EXPECT_FALSE(box.Intersects(VisBoundingBox_cl()));
  EXPECT_FALSE(VisBoundingBox_cl().Intersects(VisBoundingBox_cl()));

  box.ExpandToInclude(apart);
  ExpectVectorNear(box.m_vMin, {-1, 0, 0}, 0);
  box.SetInvalid();
  EXPECT_FALSE(box.IsValid());
}

TEST(VisBoundingBox, DistanceToPoint) {
  const VisBoundingBox_cl box({0, 0, 0}, {2, 2, 2});
  const struct {
    VisVector_cl p;
    float distance;
  } cases[] = {{{1, 1, 1}, 0}, {{2, 2, 2}, 0}, {{5, 1, 1}, 3}, {{-3, -4, 1}, 5}, {{3, 3, 3}, 1.7320508f}};
  for (const auto& c : cases) EXPECT_FLOAT_EQ(box.GetDistance(c.p), c.distance);
  EXPECT_EQ(VisBoundingBox_cl().GetDistance({0, 0, 0}), 3.4028235e38f);
  EXPECT_TRUE(box.IsInside({2, 0, 1}));
  EXPECT_FALSE(box.IsInside({2.001f, 0, 1}));
}

TEST(VisMatrix4x4, TransformsPointsWithTranslationAndPerspective) {
  VisMatrix4x4_cl move;
  move.m[0][3] = 10;
  move.m[2][3] = -2;
  ExpectVectorNear(move.TransformPoint({1, 2, 3}), {11, 2, 1});
  VisMatrix4x4_cl scale;
  scale.m[1][1] = 3;
  ExpectVectorNear((move * scale).TransformPoint({1, 2, 3}), {11, 6, 1});
  VisMatrix4x4_cl project;
  project.m[3][2] = 1;
  project.m[3][3] = 0;
  ExpectVectorNear(project.TransformPoint({4, 8, 2}), {2, 4, 1});
}
