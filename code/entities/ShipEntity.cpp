// Ship entities: record, messages, hit points, player control, the saved block and
// the configuration archive.
#include "entities/ShipEntity.h"

#include "components/AIShipComponent.h"
#include "components/CannonComponent.h"
#include "components/CannonObserverComponent.h"
#include "components/DamageTextureComponent.h"
#include "components/PlayerInputComponent.h"
#include "components/ShipBattleComponent.h"
#include "components/ShipMovementComponent.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "core/VEntityHighlightManager.h"
#include "entities/CannonEntity.h"
#include "entities/ClothEntity.h"
#include "entities/Nation.h"
#include "entities/PhysXCollisionEntity.h"
#include "entities/ShipStats.h"
#include "Factories/ShipFactory.h"
#include "Managers/BattleManager.h"
#include "Managers/GameContentManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/SaveGameManager.h"
#include "util/ArchiveLimits.h"
#include "util/ComponentSetup.h"

#include "engine/base/VArchive.h"
#include "engine/base/VarTable.h"
#include "engine/base/VisError.h"
#include "engine/base/VisFile.h"
#include "engine/core/VDynamicMesh.h"
#include "engine/core/VisGame.h"
#include "engine/core/VisSurfaceTextureSet.h"
#include "engine/physics/NxActor.h"
#include "engine/physics/vPhysXRigidBody.h"
#include "engine/render/VTextureManager.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kBlockVersion = 4;
// Messages without a stored name: heal (29), killed (160).
const int kMsgHeal = 29;
const int kMsgKilled = 160;
// The rigid body a configuration without one gets.
const VisVector_cl kDefaultBoxSize(50.0f, 10.0f, 11.0f);
const VisVector_cl kDefaultBoxOffset(0.0f, 0.0f, 1.0f);

vPhysXRigidBody* RigidBodyOf(VisTypedEngineObject_cl* object) {
  return object ? object->Components<vPhysXRigidBody>() : nullptr;
}

// Writes a cloth list: its used length, then one object reference per entry.
void WriteClothList(VArchive& ar, DynArray_cl<ClothEntity*>& list) {
  const unsigned used = list.GetValidSize();
  ar << used;
  for (unsigned i = 0; i < used; ++i) ar.WriteObject(list[i]);
}

// Reads a cloth list written by WriteClothList; false when the count is hostile.
bool ReadClothList(VArchive& ar, DynArray_cl<ClothEntity*>& list) {
  int count = 0;
  // An object reference is at least four bytes.
  if (!ArchiveLimits::ReadCount(ar, count, 4)) return false;
  list.Reset();
  list.Resize((unsigned)count);
  for (int i = 0; i < count && ar.IsOK(); ++i) {
    ClothEntity* cloth = nullptr;
    ar >> cloth;
    list[i] = cloth;
  }
  return ar.IsOK();
}

// The combined component-wise scaling.
VisVector_cl Scaled(const VisVector_cl& a, const VisVector_cl& b) { return VisVector_cl(a.x * b.x, a.y * b.y, a.z * b.z); }

}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(ShipEntity, BaseEntity, &ShipEntity::BuildVarList)

void ShipEntity::BuildVarList(VARTABLE& t) {
  VAR_STRING(t, ShipEntity, m_sConfigFile, "Filename of the config file (.bin)", "");
}

ShipEntity::ShipEntity() {
  SetUseEulerAngles(false);
  SaveGameManagerProto::OnBeforeSave.RegisterCallback(this);
  SaveGameManagerProto::OnAfterLoad.RegisterCallback(this);
  // Sails and flags are entities of their own and may go first.
  GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
}

ShipEntity::~ShipEntity() {
  SaveGameManagerProto::OnBeforeSave.DeregisterCallback(this);
  SaveGameManagerProto::OnAfterLoad.DeregisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
  // Deleted without de-initialisation (directly, or at engine shutdown): the
  // nations' ship lists must not keep the ship.
  if (GameManager::HasInstance()) {
    GameManager* game = GameManager::GetInstance();
    for (unsigned n = 0; n < game->GetNationCount(); ++n)
      if (Nation* nation = game->GetNation(n)) nation->RemoveShip(this);
  }
}

int ShipEntity::AcceptsComponentOwner(VisTypedEngineObject_cl* object, VString& reason) {
  if (object && object->IsOfType(ShipEntity::GetClassTypeId())) return 1;
  reason = "Component can only be added to instances of ShipEntity or derived classes.";
  return 0;
}

int ShipEntity::GetDisableMovementOneFrame() {
  const int skip = m_bSkipMovement;
  m_bSkipMovement = 0;
  return skip;
}

// ---- hit points --------------------------------------------------------------------

void ShipEntity::AddHitpoints(int n) {
  if (!m_pStats) return;
  if (n < 0) {
    ShipBattleComponent* battle = Components<ShipBattleComponent>();
    if (battle && battle->GetGodMode()) return;
  }
  m_pStats->GetHull().AddHitpoints(n);
  SendMsg(VIS_MSG_USER_SHIP_UNDER_50_HULL, 0, 0);
}

void ShipEntity::ResetHullAndSails() {
  if (!m_pStats) return;
  m_pStats->GetHull().ResetHitpoints();
  m_pStats->GetSails().ResetHitpoints();
}

void ShipEntity::ResetHitpoints() {
  ResetHullAndSails();
  SendMsg(VIS_MSG_USER_SHIP_UNDER_50_HULL, 0, 0);
}

void ShipEntity::KillShip() {
  if (m_pStats) m_pStats->GetHull().SetCurrent(0);
  SendMsg(kMsgKilled, 0, 0);
  GameSessionManager::GetInstance()->RemoveShip(this, true);
}

void ShipEntity::SetBoostTime(float seconds) {
  if (ShipMovementComponent* movement = Components<ShipMovementComponent>()) movement->SetBoostTime(seconds);
}

void ShipEntity::SetShipNation(int nation) {
  if (m_pStats) m_pStats->SetShipNation(nation);
}

void ShipEntity::SetCanCapture(int can) {
  if (m_pStats) m_pStats->SetCanCapture(can);
}

// ---- messages ------------------------------------------------------------------------

void ShipEntity::MessageFunction(int id, INT_PTR p1, INT_PTR p2) {
  if (id != VIS_MSG_PHYSICS_CONTACT) {
    // A copy: a child may leave the ship while it handles the message.
    std::vector<VisObject3D_cl*> children;
    for (int i = 0; i < GetNumChildren(); ++i) children.push_back(GetChild(i));
    for (VisObject3D_cl* child : children)
      if (child && (INT_PTR)child != p2) child->MessageFunction(id, p1, (INT_PTR)this);
  }

  if (id == kMsgHeal) {
    ResetHullAndSails();
    SendMsg(VIS_MSG_USER_SHIP_UNDER_50_HULL, 0, 0);
    BaseEntity::MessageFunction(id, p1, p2);
    return;
  }
  if (id == VIS_MSG_USER_SHIP_DIES) {
    if (GameContentManager::HasInstance() && GameContentManager::GetInstance()->HasNPCShip(this))
      GameContentManager::GetInstance()->RemoveNPCShip(this);
    KillShip();
  }
  if (id == VIS_MSG_USER_SHIP_MODE_ATTACK || id == VIS_MSG_USER_SHIP_MODE_HOLD_FIRE ||
      id == VIS_MSG_USER_SHIP_MODE_FLEE || id == VIS_MSG_USER_SHIP_DIES) {
    BattleManager* battle = BattleManager::GetInstance();
    if ((INT_PTR)battle != p2) battle->MessageFunction(id, p1, (INT_PTR)this);
  }
  BaseEntity::MessageFunction(id, p1, p2);
}

// ---- life cycle ------------------------------------------------------------------------

void ShipEntity::ThinkFunction() {
  if (!IsMarkedRemoved()) return;
  RemoveAllComponents();
  DeletePhysicsObject();
}

void ShipEntity::DeInitFunction() {
  BaseEntity::DeInitFunction();
  if (VEntityHighlightManager::HasInstance()) VEntityHighlightManager::GetInstance()->RemoveFromAllSets(this);
  if (BattleManager::HasInstance()) {
    BattleManager::GetInstance()->RemoveShip(this);
  } else if (GameManager::HasInstance()) {
    // Without a sea battle only the nations' ship lists know the ship.
    GameManager* game = GameManager::GetInstance();
    for (unsigned n = 0; n < game->GetNationCount(); ++n)
      if (Nation* nation = game->GetNation(n)) nation->RemoveShip(this);
  }
}

void ShipEntity::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &GameManager::Callbacks.OnEntityDestroyed) {
    // A freed cloth leaves a gap, as a missing one does.
    const VisBaseEntity_cl* gone = static_cast<BaseEntityDataObject*>(data)->m_pEntity;
    for (DynArray_cl<ClothEntity*>* cloths : {&m_sails, &m_flags}) {
      const unsigned used = cloths->GetValidSize();
      for (unsigned i = 0; i < used; ++i)
        if ((*cloths)[i] && static_cast<const VisBaseEntity_cl*>((*cloths)[i]) == gone) (*cloths)[i] = nullptr;
    }
    return;
  }
  if (data && data->m_pSender == &SaveGameManagerProto::OnBeforeSave) {
    if (IsMarkedRemoved()) return;
    if (m_pStats) {
      m_pStats->SetSavedPosition(GetPosition());
      m_pStats->SetSavedOrientation(GetOrientation());
      ShipFactory::GetInstance()->SaveShipComponents(this);
    }
  } else if (data && data->m_pSender == &SaveGameManagerProto::OnAfterLoad) {
    if (m_pStats && !m_pStats->GetFlagTexture().IsEmpty()) ChangeFlag(m_pStats->GetFlagTexture().AsChar());
  }
  BaseEntity::OnHandleCallback(data);
}

// ---- player control ----------------------------------------------------------------------

void ShipEntity::ApplyCollisionGroup(unsigned group) {
  if (vPhysXRigidBody* body = RigidBodyOf(this)) {
    body->SetCollisionBitmask(group);
    if (body->GetActor()) body->GetActor()->setName(GetObjectKey());
  }
  const unsigned sails = m_sails.GetValidSize();
  for (unsigned i = 0; i < sails; ++i) {
    ClothEntity* sail = m_sails[i];
    if (!sail) continue;
    ComponentSetup::TakeOrAdd<DamageTextureComponent>(sail);
  }
}

void ShipEntity::SetPlayerControllable(bool on) {
  unsigned group = COLLISION_GROUP_PLAYER;
  if (on) {
    ComponentSetup::TakeOrAdd<PlayerInputComponent>(this);
    if (IVObjectComponent* path = GetComponentOfType("ShipPathComponent")) path->DisposeObject();
    if (AIShipComponent* ai = Components<AIShipComponent>()) ai->DisposeObject();
  } else {
    group = COLLISION_GROUP_AI;
    if (PlayerInputComponent* input = Components<PlayerInputComponent>()) input->DisposeObject();
    if (AIShipComponent* ai = ComponentSetup::TakeOrAdd<AIShipComponent>(this)) {
      ai->SetAIMode(AIShipComponent::AIMODE_IDLE);
      ai->SetAttackTargetNation(-1);
    }
  }
  if (Nation* player = GameManager::GetInstance()->GetPlayerNation()) SetNation(player->GetNationId());
  ApplyCollisionGroup(group);
}

// ---- textures ---------------------------------------------------------------------------

namespace {

// The texture as the entity's own for that surface of its model, in its custom
// texture set (made on first use).
void PutTexture(VisBaseEntity_cl* entity, int surface, VTextureObject* texture) {
  if (!entity->GetCustomTextureSet()) {
    const VDynamicMesh* mesh = entity->GetMesh();
    entity->SetCustomTextureSet(new VisSurfaceTextureSet_cl(mesh ? mesh->GetSurfaceCount() : 0));
  }
  entity->GetCustomTextureSet()->SetTexture(surface, texture);
}

// "...Variation1.dds" with scheme n becomes "...Variation<n + 1>.dds".
VTextureObject* SchemeTexture(const char* file, int scheme) {
  std::string name = file ? file : "";
  name.resize(name.size() > 5 ? name.size() - 5 : 0);
  name += std::to_string(scheme + 1) + ".dds";
  return Vision::TextureManager.Load2DTextureFromFile(name.c_str());
}

}  // namespace

void ShipEntity::ChangeFlag(const char* texture) {
  const unsigned flags = m_flags.GetValidSize();
  if (!texture || flags == 0) return;
  VTextureObject* loaded = Vision::TextureManager.Load2DTextureFromFile(texture);
  for (unsigned i = 0; i < flags; ++i)
    if (ClothEntity* flag = m_flags[i]) PutTexture(flag, 0, loaded);
  if (m_pStats) m_pStats->SetFlagTexture(texture);
}

void ShipEntity::ChangeSails(int surface, const char* texture) {
  const unsigned sails = m_sails.GetValidSize();
  if (!texture || sails == 0) return;
  VTextureObject* loaded = Vision::TextureManager.Load2DTextureFromFile(texture);
  for (unsigned i = 0; i < sails; ++i) {
    ClothEntity* sail = m_sails[i];
    if (sail && sail->GetMesh() && sail->GetMesh()->GetSurfaceCount() > surface) PutTexture(sail, surface, loaded);
  }
}

void ShipEntity::ChangeColorScheme(int scheme) {
  GameManager* game = GameManager::GetInstance();
  if (game->GetLocation() != 1) {
    VisBaseEntity_cl* player = game->GetPlayerEntity();
    if (player && player != this) return;
  }
  EnsureMeshLoaded();
  if (const VDynamicMesh* mesh = GetMesh()) {
    for (int i = 0; i < mesh->GetSurfaceCount(); ++i)
      if (std::strstr(mesh->GetSurfaceName(i), "Variation"))
        PutTexture(this, i, SchemeTexture(mesh->GetSurfaceTexture(i), scheme));
  }
  const unsigned sails = m_sails.GetValidSize();
  for (unsigned s = 0; s < sails; ++s) {
    ClothEntity* sail = m_sails[s];
    const VDynamicMesh* mesh = sail ? sail->GetMesh() : nullptr;
    if (!mesh) continue;
    for (int i = 0; i < mesh->GetSurfaceCount(); ++i) PutTexture(sail, i, SchemeTexture(mesh->GetSurfaceTexture(i), scheme));
  }
}

// ---- collision shapes ----------------------------------------------------------------------

void ShipEntity::AddCollision(PhysXCollisionEntity* collision) {
  vPhysXRigidBody* own = RigidBodyOf(this);
  vPhysXRigidBody* other = RigidBodyOf(collision);
  if (!collision || !own || !other) return;
  other->SetPosition(Scaled(other->GetPosition(), GetScaling()));
  NxActor* from = other->GetActor();
  NxActor* into = own->GetActor();
  if (!from || !into) return;
  const VisVector_cl& scaling = GetScaling();
  for (int i = 0; i < from->getNbShapes(); ++i) {
    NxShapeDesc desc;
    from->getShape(i)->saveToDesc(desc);
    switch (desc.type) {
      case NX_SHAPE_SPHERE:
      case NX_SHAPE_CONVEX:
        into->createShape(desc);
        break;
      case NX_SHAPE_BOX:
        desc.dimensions = Scaled(desc.dimensions, scaling);
        desc.name = "ShapeBox";
        into->createShape(desc);
        break;
      default:
        break;
    }
  }
}

// ---- saved block --------------------------------------------------------------------------

void ShipEntity::Serialize(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kBlockVersion);
    ar << m_sConfigFile;
    WriteClothList(ar, m_sails);
    WriteClothList(ar, m_flags);
    ar << 0;
    SaveGameManagerProto::EndBlock(ar);
    BaseEntity::Serialize(ar);
    return;
  }
  SavedBlockReader block(ar, "ShipEntity", kBlockVersion);
  if (!block.IsOpen()) return;
  VString configFile = m_sConfigFile;
  DynArray_cl<ClothEntity*> sails = m_sails, flags = m_flags;
  if (block.Has(2)) {
    ar >> configFile;
    if (!ReadClothList(ar, sails) || !ReadClothList(ar, flags)) {
      block.Fail();
      return;
    }
  }
  if (block.Has(3)) {
    int reserved = 0;
    ar >> reserved;
  }
  // The base entity's data follows the block and is read only after a whole block.
  if (!block.End()) return;
  m_sConfigFile = configFile;
  m_sails = sails;
  m_flags = flags;
  BaseEntity::Serialize(ar);
}

// ---- configuration archive ----------------------------------------------------------------

void ShipEntity::LoadFromConfig(const VString& file) {
  m_sConfigFile = file;
  LoadFromConfig();
}

void ShipEntity::LoadFromConfig() {
  if (m_sConfigFile.IsEmpty()) return;
  IVFileInStream* in = Vision::File.Open(m_sConfigFile.AsChar());
  if (!in) {
    Vision::Error.FatalError("Couldn't open file [%s]!", m_sConfigFile.AsChar());
    return;
  }
  VArchive ar(m_sConfigFile.AsChar(), in, Vision::File.GetManager());
  int version = 0;
  ar >> version;
  ar.SetLoadingVersion(version);
  if (!Vision::IsValidArchive(version)) {
    // Closed first: a fatal handler may unwind instead of ending the program.
    ar.Close();
    in->Close();
    Vision::Error.FatalError("Incompatible archive version!");
    return;
  }
  int format = 0;
  ar >> format;

  // The rigid body.
  vPhysXRigidBody* body = nullptr;
  ar >> body;
  if (!body) {
    body = new vPhysXRigidBody();
    body->Initialize();
    body->SetBoxSize(kDefaultBoxSize);
    body->SetLocalOffset(kDefaultBoxOffset);
    body->SetPosition(GetPosition());
    body->SetRotationMatrix(GetRotationMatrix());
  }
  if (!AddComponent(body)) body->DisposeObject();

  const VisVector_cl& shipScaling = GetScaling();

  // Cloths: sails, flags and others.
  int count = 0;
  ar >> count;
  for (int i = 0; i < count && ar.IsOK(); ++i) {
    ClothEntity* cloth = nullptr;
    VisVector_cl position, orientation;
    ar >> cloth >> position >> orientation;
    if (!cloth) continue;
    cloth->AttachToParent(this);
    cloth->SetLocalPosition(Scaled(position, shipScaling));
    cloth->SetLocalOrientation(orientation);
    cloth->SetScaling(Scaled(shipScaling, cloth->GetScaling()));
    cloth->InitFunction();
    if (cloth->HasObjectKey("Sails")) {
      cloth->SetTraceAccuracy(VIS_TRACEACC_POLYGONS);
      m_sails.Insert(cloth);
    } else if (cloth->HasObjectKey("Flag")) {
      m_flags.Insert(cloth);
    }
  }

  // Cannons: the special one, then left (positive local x) and right.
  int cannons = 0, left = 0, right = 0, special = 0;
  ar >> cannons;
  const bool fortShip = m_sConfigFile.Find("FortShip") >= 0;
  for (int i = 0; i < cannons && ar.IsOK(); ++i) {
    CannonEntity* cannon = nullptr;
    VisVector_cl position, orientation;
    ar >> cannon >> position >> orientation;
    if (!cannon) continue;
    const VisVector_cl scaling = Scaled(cannon->GetScaling(), shipScaling);
    cannon->SetScaling(scaling);
    const VisVector_cl local = Scaled(position, scaling);
    cannon->AttachToParent(this);
    cannon->SetLocalPosition(local);
    cannon->SetLocalOrientation(orientation);
    if (cannon->IsSpecialCannon()) {
      if (CannonComponent* component = ComponentSetup::AddNew<CannonComponent>(cannon)) {
        component->SetCannonGroup(CANNON_GROUP_SPECIAL);
        m_pSpecialCannon = component;
      }
      ++special;
      continue;
    }
    const CannonGroup group = local.x > 0.0f ? CANNON_GROUP_LEFT : CANNON_GROUP_RIGHT;
    const int components = m_bDoubleCannons ? 2 : 1;
    for (int c = 0; c < components; ++c) {
      CannonComponent* component = ComponentSetup::AddNew<CannonComponent>(cannon);
      if (!component) continue;
      component->SetCannonGroup(group);
      if (fortShip) component->SetAutoFire(true);
    }
    ++(group == CANNON_GROUP_LEFT ? left : right);
  }
  if (cannons > 0) {
    if (CannonObserverComponent* observer = ComponentSetup::TakeOrAdd<CannonObserverComponent>(this)) {
      observer->SetCannonCount(left, CANNON_GROUP_LEFT);
      observer->SetCannonCount(right, CANNON_GROUP_RIGHT);
      observer->SetCannonCount(special, CANNON_GROUP_SPECIAL);
      observer->SetCannonCount(left + right, CANNON_GROUP_ALL);
    }
  }

  // Collision shapes go into the ship's own actor; the entities themselves go.
  int collisions = 0;
  ar >> collisions;
  for (int i = 0; i < collisions && ar.IsOK(); ++i) {
    PhysXCollisionEntity* collision = nullptr;
    VisVector_cl position, orientation;
    ar >> collision >> position >> orientation;
    if (!collision) continue;
    collision->SetScaling(Scaled(collision->GetScaling(), shipScaling));
    collision->AttachToParent(this);
    collision->SetLocalPosition(Scaled(position, shipScaling));
    collision->SetLocalOrientation(orientation);
    AddCollision(collision);
    collision->Remove();
  }

  ar.Close();
  in->Close();
  SetCollisionTraceAccuracy(VIS_TRACEACC_POLYGONS);
  SetTraceAccuracy(VIS_TRACEACC_POLYGONS);
}

void ShipEntity::SaveToConfig() {
  if (m_sConfigFile.IsEmpty()) return;
  // Into the data folder, next to the model when there is one.
  std::string path;
  const char* model = GetMeshFileName();
  if (model && *model) {
    const std::string folder = VFileHelper::GetDirectory(model);
    const char* relative = folder.c_str();
    if ((relative[0] == '\\' || relative[0] == '/') && relative[1] != '\\') ++relative;
    path = VPathHelper::CombineDirAndFile(relative, m_sConfigFile.AsChar());
    path = VPathHelper::CombineDirAndFile("..\\..\\..\\data", path.c_str());
  } else {
    path = VPathHelper::CombineDirAndFile("..\\..\\..\\data", m_sConfigFile.AsChar());
  }
  IVFileOutStream* out = Vision::File.Create(path.c_str());
  if (!out) {
    Vision::Error.FatalError("Couldn't create file!");
    return;
  }

  std::vector<ClothEntity*> cloths;
  std::vector<CannonEntity*> cannons;
  std::vector<PhysXCollisionEntity*> collisions;
  std::vector<VisObject3D_cl*> children;
  for (int i = 0; i < GetNumChildren(); ++i) children.push_back(GetChild(i));
  for (VisObject3D_cl* child : children) {
    if (child->IsOfType(ClothEntity::GetClassTypeId()))
      cloths.push_back(static_cast<ClothEntity*>(child));
    else if (child->IsOfType(CannonEntity::GetClassTypeId()))
      cannons.push_back(static_cast<CannonEntity*>(child));
    else if (child->IsOfType(PhysXCollisionEntity::GetClassTypeId()) && child->HasObjectKey("Collision"))
      collisions.push_back(static_cast<PhysXCollisionEntity*>(child));
  }
  // The local poses are taken before the children are detached.
  auto pose = [](VisObject3D_cl* child) {
    return std::make_pair(child->GetLocalPosition(), VisMath_cl::MatrixToEuler(child->GetLocalRotation()));
  };
  std::vector<std::pair<VisVector_cl, VisVector_cl>> clothPoses, cannonPoses, collisionPoses;
  for (ClothEntity* c : cloths) clothPoses.push_back(pose(c));
  for (CannonEntity* c : cannons) cannonPoses.push_back(pose(c));
  for (PhysXCollisionEntity* c : collisions) collisionPoses.push_back(pose(c));
  for (VisObject3D_cl* child : children) child->DetachFromParent();

  VArchive ar(path.c_str(), out, Vision::File.GetManager());
  ar << Vision::GetArchiveVersion() << 1;
  vPhysXRigidBody* body = RigidBodyOf(this);
  if (body) {
    // Written without its owner, which the reader attaches it to.
    VisTypedEngineObject_cl* owner = body->GetOwner();
    body->IVObjectComponent::SetOwner(nullptr);
    ar.WriteObject(body);
    body->IVObjectComponent::SetOwner(owner);
  } else {
    ar.WriteObject(nullptr);
  }
  ar << (int)cloths.size();
  for (size_t i = 0; i < cloths.size(); ++i) {
    ar.WriteObject(cloths[i]);
    ar << clothPoses[i].first << clothPoses[i].second;
  }
  ar << (int)cannons.size();
  for (size_t i = 0; i < cannons.size(); ++i) {
    ar.WriteObject(cannons[i]);
    ar << cannonPoses[i].first << cannonPoses[i].second;
  }
  ar << (int)collisions.size();
  for (size_t i = 0; i < collisions.size(); ++i) {
    ar.WriteObject(collisions[i]);
    ar << collisionPoses[i].first << collisionPoses[i].second;
  }
  ar.Close();
  out->Close();
}
