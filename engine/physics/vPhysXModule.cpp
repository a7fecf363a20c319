// The physics module: settings, fixed ticks, the registry of simulated objects.
#include "engine/physics/vPhysXModule.h"

#include "engine/base/VisError.h"

#include "engine/physics/vPhysXObject.h"
#include "engine/physics/bullet/vPhysXScene.h"

#include <algorithm>
#include <cmath>

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

vPhysXModule::vPhysXModule() = default;

vPhysXModule::~vPhysXModule() {
  // Objects outliving the module keep their settings and stop being simulated.
  if (m_pScene) {
    const std::vector<vPhysXObject*> objects = m_pScene->Objects();
    for (vPhysXObject* o : objects) o->ReleaseFromModule();
  }
  m_pScene.reset();
  if (g_module == this) SetInstance(nullptr);
}

vPhysXScene& vPhysXModule::GetScene() {
  if (!m_pScene) m_pScene = std::make_unique<vPhysXScene>(*this);
  return *m_pScene;
}

void vPhysXModule::Register(vPhysXObject* obj) {
  obj->m_pModule = this;
  obj->m_iSerial = m_nextSerial++;
  GetScene().AddObject(obj);
}

void vPhysXModule::Unregister(vPhysXObject* obj) {
  if (m_pScene) m_pScene->RemoveObject(obj);
  obj->m_pModule = nullptr;
}

int vPhysXModule::GetObjectCount() const { return m_pScene ? (int)m_pScene->Objects().size() : 0; }

vPhysXObject* vPhysXModule::GetObject(int i) const { return m_pScene->Objects()[i]; }

NxActor* vPhysXModule::CreateDynamicActor(vPhysXObject* owner, const NxShapeDesc& shape, const VisVector_cl& position,
                                          const VisMatrix3x3_cl& rotation, float density) {
  const btTransform pose(vPhysXScene::ToBt(rotation), vPhysXScene::ToBt(position));
  return GetScene().CreateFreeActor(owner, shape, pose, density);
}

void vPhysXModule::ReleaseActor(NxActor* actor) {
  if (actor && m_pScene) m_pScene->DestroyActor(actor);
}

NxD6Joint* vPhysXModule::CreateD6Joint(const NxD6JointDesc& desc) {
  NxD6Joint* joint = GetScene().CreateD6Joint(desc);
  if (!joint) Vision::Error.Warning("Physics: a joint needs two different actors of this scene and a usable frame");
  return joint;
}

void vPhysXModule::ReleaseJoint(NxD6Joint* joint) {
  if (joint && m_pScene) m_pScene->ReleaseJoint(joint);
}

int vPhysXModule::GetJointCount() const { return m_pScene ? m_pScene->GetJointCount() : 0; }

void vPhysXModule::SetActorPairFlags(NxActor* a, NxActor* b, unsigned flags) {
  GetScene().SetActorPairFlags(a, b, flags);
}

unsigned vPhysXModule::GetActorPairFlags(NxActor* a, NxActor* b) const {
  return m_pScene ? m_pScene->GetActorPairFlags(a, b) : 0;
}

void vPhysXModule::SetPhysicsTickCount(int ticksPerSecond, int maxTicks) {
  m_ticks = std::max(0, ticksPerSecond);
  m_maxTicks = std::max(1, maxTicks);
}

void vPhysXModule::SetGlobalGravity(const VisVector_cl& g) {
  m_gravity = VisVector_cl(g.x, g.y, g.z);
  if (m_pScene) m_pScene->SetGravity(m_gravity);
}

void vPhysXModule::SetGroupCollisionFlag(int a, int b, bool on) {
  if (a < 0 || b < 0 || a >= 32 || b >= 32) return;
  if (m_groupFlags[a][b] == !on) return;
  // Stored as "collision disabled" so that a fresh module collides everything.
  m_groupFlags[a][b] = m_groupFlags[b][a] = !on;
  if (m_pScene) m_pScene->RefreshAllFilters();
}

bool vPhysXModule::GetGroupCollisionFlag(int a, int b) const {
  if (a < 0 || b < 0 || a >= 32 || b >= 32) return true;
  return !m_groupFlags[a][b];
}

bool vPhysXModule::SetSkinWidth(float width) {
  if (!std::isfinite(width) || width < 0.0f) return false;
  m_fSkinWidth = width;
  if (m_pScene) m_pScene->ApplySolverSettings();
  return true;
}

bool vPhysXModule::SetSleepEnergy(float energy) {
  if (!std::isfinite(energy) || energy < 0.0f) return false;
  m_fSleepEnergy = energy;
  return true;
}

void vPhysXModule::OnRunPhysics(float dt) {
  m_lastTicks = 0;
  if (!(dt > 0.0f) || !std::isfinite(dt)) return;
  int ticks = 1;
  float tickTime = dt;
  if (m_ticks > 0) {
    tickTime = 1.0f / (float)m_ticks;
    m_accumulator += dt;
    // A frame time of exactly one tick must give one tick despite rounding.
    ticks = (int)std::floor(m_accumulator / tickTime + 1e-4);
    if (ticks > m_maxTicks) {
      ticks = m_maxTicks;
      m_accumulator = 0.0;
    } else {
      m_accumulator = std::max(0.0, m_accumulator - ticks * (double)tickTime);
    }
  }
  GetScene().Simulate(ticks, tickTime);
  m_lastTicks = ticks;
  m_totalTicks += (uint64_t)ticks;
}

void vPhysXModule::FetchPhysicsResults() {
  if (!m_pScene) return;
  m_pScene->WriteBackPoses();
  m_pScene->DeliverContacts();
}

bool vPhysXModule::PerformRaycast(VisPhysicsRaycastBase_cl* query) {
  if (!query) return false;
  return GetScene().Raycast(*query);
}

void vPhysXModule::PerformRaycasts(VisPhysicsRaycastBase_cl* const* queries, int count, bool* results) {
  if (!queries || count <= 0) return;
  GetScene().Raycasts(queries, count, results);
}

namespace {
const char* ParameterName(int param) {
  switch (param) {
    case NxPhysicsSDK::SKIN_WIDTH: return "skin width";
    case NxPhysicsSDK::VISUALIZE_JOINT_LIMITS: return "joint limit drawing";
    case NxPhysicsSDK::DEFAULT_SLEEP_ENERGY: return "default sleep energy";
    default: return "unknown";
  }
}
}  // namespace

bool NxPhysicsSDK::setParameter(int param, float value) {
  vPhysXModule* module = vPhysXModule::GetInstance();
  const char* why = "no physics module";
  if (module) {
    switch (param) {
      case SKIN_WIDTH:
        if (module->SetSkinWidth(value)) return true;
        why = "not a width";
        break;
      case DEFAULT_SLEEP_ENERGY:
        if (module->SetSleepEnergy(value)) return true;
        why = "not an energy";
        break;
      default:
        why = "the simulation has no such setting";
        break;
    }
  }
  Vision::Error.Warning("Physics parameter %d (%s) = %g refused: %s", param, ParameterName(param), (double)value, why);
  return false;
}

float NxPhysicsSDK::getParameter(int param) const {
  const vPhysXModule* module = vPhysXModule::GetInstance();
  if (!module) return 0.0f;
  if (param == SKIN_WIDTH) return module->GetSkinWidth();
  if (param == DEFAULT_SLEEP_ENERGY) return module->GetSleepEnergy();
  return 0.0f;
}
