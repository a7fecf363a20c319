// Random numbers, distances, angles, interpolation and box distances shared by the
// whole game, and four helpers for 3x3 rotation matrices and quaternions.
#pragma once

#include "engine/base/VisMath.h"

#include <cstdint>

class NxMat33;
class VisBaseEntity_cl;

// Angles are degrees unless a function says otherwise. Random draws come from the
// engine's VRandomInt (0..32767), so a seeded run repeats itself.
class MathTools {
 public:
  // lo + a draw in [0, hi - lo); lo when hi - lo < 2. With the fixed-random switch:
  // lo, or hi - 1 with the test-maximum switch.
  static int RandomInt(int lo, int hi);
  // A draw in [0, n); 0 when n < 2. With the fixed-random switch: 0, or n - 1.
  static int RandomInt(int n);
  // Draws for what is only heard (music tracks, sound variants), from a stream of
  // their own: whether and what the game plays never shifts the game's draws, so a
  // seed plays the same game with or without sound. The same switches as RandomInt.
  static int SoundRandomInt(int n);
  // In [0, 1), from the same stream.
  static float SoundRandomUnit();
  // 0.0 to 1.0.
  static float RandomFloat();
  static float RandomFloat(float lo, float hi);
  // About -1 to 1, peaked at 0 (mean of three xorshift sums). The first draw seeds
  // itself from the clock unless a state was set.
  static float GaussianRandom();
  static void SetGaussianRandomState(uint32_t state) { s_gaussianState = state; }
  static uint32_t GetGaussianRandomState() { return s_gaussianState; }
  // (sin t, cos t, 0) for a random angle t between a and b.
  static VisVector_cl RandomDirection(float a, float b);

  static void SetUseFixedRandom(bool on) { s_bFixedRandom = on; }
  static void SetTestRandReturnMax(bool on) { s_bTestReturnMax = on; }

  static float DistanceBetweenVectors(const VisVector_cl& p, const VisVector_cl& q);
  static float DistanceBetweenVectorsSquared(const VisVector_cl& p, const VisVector_cl& q);
  static float DistanceBetweenVectorsIgnoreZ(const VisVector_cl& p, const VisVector_cl& q);
  static float DistanceBetweenVectorsIgnoreZSquared(const VisVector_cl& p, const VisVector_cl& q);

  // 0 to 180 between two headings.
  static float AngleDiff(float a, float b);
  // Into [-180, 180).
  static float WrapAngle(float a);
  // Into [0, 360).
  static float Clamp360(float a);
  // Into [lo, hi) by whole steps of hi - lo; an empty range leaves the value alone.
  static void Wrap(float& value, float lo, float hi);

  static float LinearInterpolate(float a, float b, float t);
  static float CosineInterpolate(float a, float b, float t);
  // Whether c lies strictly on the counter-clockwise side of the line from b towards
  // a, seen from above (the +y side when a lies in +x from b); height is ignored.
  static bool IsTargetOnRightSide(const VisVector_cl& a, const VisVector_cl& b, const VisVector_cl& c);

  // Distance in x and y from p to a box placed at origin with the rotation (0 inside;
  // the height is ignored).
  static float DistanceToOrientedBoundingBox(const VisVector_cl& p, const VisBoundingBox_cl& box,
                                             const VisVector_cl& origin, const VisMatrix3x3_cl& rotation);
  static float DistanceToOrientedBoundingBoxSquared(const VisVector_cl& p, const VisBoundingBox_cl& box,
                                                    const VisVector_cl& origin, const VisMatrix3x3_cl& rotation);
  // The same for the entity's model box, scaled, turned and placed with the entity.
  // Without a model the entity counts as a point; a null entity is infinitely far.
  static float DistanceToEntityBoundingBox(const VisVector_cl& p, const VisBaseEntity_cl* entity);
  static float DistanceToEntityBoundingBoxSquared(const VisVector_cl& p, const VisBaseEntity_cl* entity);

  // The nine elements of a rotation between the physics and the engine matrices, in the
  // same order (no transposition). Defined with the ragdolls.
  static VisMatrix3x3_cl PhysXMatrixToVisionMatrix(const NxMat33& m);
  static NxMat33 VisionMatrixToPhysXMatrix(const VisMatrix3x3_cl& m);

 private:
  static inline bool s_bFixedRandom = false;
  static inline bool s_bTestReturnMax = false;
  static inline uint32_t s_gaussianState = 0;
  static inline uint32_t s_soundState = 1;
  static int NextSoundDraw();
};

// Row-major 3x3 matrices m[row][column]; quaternions (x, y, z, w).
// out = a x b (out may be a or b).
void Matrix3x3Multiply(float out[3][3], const float a[3][3], const float b[3][3]);
// Normalised result.
void Matrix3x3ToQuaternion(const float m[3][3], float q[4]);
// The inverse of Matrix3x3ToQuaternion.
void QuaternionToMatrix3x3(const float q[4], float m[3][3]);
// Rotation about the axis by degrees; false (and identity) for an axis no longer than 0.0001.
bool AxisAngleToRotationMatrix(float m[3][3], const VisVector_cl& axis, float degrees);
