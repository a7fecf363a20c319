// The game's event bus: eight separate callbacks carrying the sender and one entity.
#include "core/CallbackManager.h"
#include "core/GameManager.h"

#include <gtest/gtest.h>

namespace {
class Recorder : public IVisCallbackHandler_cl {
 public:
  explicit Recorder(const char* name, std::vector<std::string>* log) : m_name(name), m_log(log) {}
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override {
    m_log->push_back(m_name);
    senders.push_back(data->m_pSender);
    entities.push_back(static_cast<BaseEntityDataObject*>(data)->m_pEntity);
    if (dropOnCall) data->m_pSender->DeregisterCallback(this);
  }
  std::vector<VCallback*> senders;
  std::vector<VisBaseEntity_cl*> entities;
  bool dropOnCall = false;

 private:
  const char* m_name;
  std::vector<std::string>* m_log;
};

TEST(CallbackManagerTest, EachEventReachesOnlyItsHandlersInRegistrationOrder) {
  CallbackManager& bus = GameManager::Callbacks;
  VCallback* members[] = {&bus.OnUnitRemoved,     &bus.OnUnitCreated,   &bus.OnEntityCreated, &bus.OnEntityDestroyed,
                          &bus.OnBeginMouseTrace, &bus.OnEndMouseTrace, &bus.OnPreFrame,      &bus.OnPostFrame};
  std::vector<std::string> log;
  Recorder first("first", &log), second("second", &log), other("other", &log);
  bus.OnEntityDestroyed.RegisterCallback(&first);
  bus.OnEntityDestroyed.RegisterCallback(&second);
  for (VCallback* m : members)
    if (m != &bus.OnEntityDestroyed) m->RegisterCallback(&other);

  VisBaseEntity_cl* entity = reinterpret_cast<VisBaseEntity_cl*>(0x1234);
  BaseEntityDataObject data(&bus.OnEntityDestroyed, entity);
  bus.OnEntityDestroyed.TriggerCallbacks(&data);

  EXPECT_EQ(log, (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(first.senders, std::vector<VCallback*>{&bus.OnEntityDestroyed});
  EXPECT_EQ(second.entities, std::vector<VisBaseEntity_cl*>{entity});

  // A handler may leave during the event; the others still hear it.
  first.dropOnCall = true;
  log.clear();
  bus.OnEntityDestroyed.TriggerCallbacks(&data);
  bus.OnEntityDestroyed.TriggerCallbacks(&data);
  EXPECT_EQ(log, (std::vector<std::string>{"first", "second", "second"}));

  bus.OnEntityDestroyed.DeregisterCallback(&second);
  for (VCallback* m : members) m->DeregisterCallback(&other);
  for (VCallback* m : members) EXPECT_EQ(m->GetCallbackCount(), 0);
}
}  // namespace
