#include "engine/physics/vPhysXModule.h"

namespace {
vPhysXModule* g_module = nullptr;
NxPhysicsSDK g_sdk;
}  // namespace

NxPhysicsSDK* gPhysicsSDK = nullptr;

vPhysXModule* vPhysXModule::GetInstance() { return g_module; }

void vPhysXModule::SetInstance(vPhysXModule* m) {
  g_module = m;
  gPhysicsSDK = m ? &g_sdk : nullptr;
}

void vPhysXModule::SetGroupCollisionFlag(int a, int b, bool on) {
  if (a < 0 || b < 0 || a >= 32 || b >= 32) return;
  // Stored as "collision disabled" so that a fresh module collides everything.
  m_groupFlags[a][b] = m_groupFlags[b][a] = !on;
}

bool vPhysXModule::GetGroupCollisionFlag(int a, int b) const {
  if (a < 0 || b < 0 || a >= 32 || b >= 32) return true;
  return !m_groupFlags[a][b];
}

bool NxPhysicsSDK::setParameter(int param, float value) {
  if (param < 0 || param >= (int)(sizeof(m_params) / sizeof(m_params[0]))) return false;
  m_params[param] = value;
  return true;
}

float NxPhysicsSDK::getParameter(int param) const {
  if (param < 0 || param >= (int)(sizeof(m_params) / sizeof(m_params[0]))) return 0.0f;
  return m_params[param];
}
