#include "engine/base/VCallback.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {
// Records its name into a shared trace and runs an optional action when called.
class Handler : public IVisCallbackHandler_cl {
 public:
  Handler(std::string name, std::string* trace, int key = 0) : m_name(std::move(name)), m_trace(trace), m_key(key) {}
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override {
    m_sender = data ? data->m_pSender : nullptr;
    *m_trace += m_name;
    if (m_action) m_action();
  }
  int GetCallbackSortingKey(VCallback*) override { return m_key; }
  std::function<void()> m_action;
  VCallback* m_sender = nullptr;

 private:
  std::string m_name;
  std::string* m_trace;
  int m_key;
};
}  // namespace

TEST(VCallback, RunsByAscendingKeyThenRegistrationOrderAndIgnoresDoubleRegistration) {
  std::string trace;
  VCallback cb;
  Handler late("L", &trace, 10000), a("a", &trace), b("b", &trace), early("E", &trace, -5);
  cb.RegisterCallback(&late);
  cb.RegisterCallback(&a);
  cb.RegisterCallback(&b);
  cb.RegisterCallback(&early);
  cb.RegisterCallback(&a);
  EXPECT_EQ(cb.GetCallbackCount(), 4);
  cb.TriggerCallbacks();
  EXPECT_EQ(trace, "EabL");
  // Without a data object the handlers still learn who fired.
  EXPECT_EQ(a.m_sender, &cb);
}

TEST(VCallback, HandlerRemovedDuringTriggerIsNotCalledAfterwards) {
  std::string trace;
  VCallback cb;
  Handler a("a", &trace), b("b", &trace), c("c", &trace);
  cb.RegisterCallback(&a);
  cb.RegisterCallback(&b);
  cb.RegisterCallback(&c);
  a.m_action = [&] {
    cb.DeregisterCallback(&b);
    cb.DeregisterCallback(&a);
  };
  cb.TriggerCallbacks();
  EXPECT_EQ(trace, "ac");
  EXPECT_EQ(cb.GetCallbackCount(), 1);
  trace.clear();
  cb.TriggerCallbacks();
  EXPECT_EQ(trace, "c");
}

TEST(VCallback, HandlerDeletedDuringTriggerIsSafe) {
  std::string trace;
  VCallback cb;
  Handler a("a", &trace);
  auto* doomed = new Handler("d", &trace);
  Handler c("c", &trace);
  cb.RegisterCallback(&a);
  cb.RegisterCallback(doomed);
  cb.RegisterCallback(&c);
  a.m_action = [&] {
    cb.DeregisterCallback(doomed);
    delete doomed;
  };
  cb.TriggerCallbacks();
  EXPECT_EQ(trace, "ac");
}

TEST(VCallback, HandlersAddedDuringTriggerWaitForTheNextTrigger) {
  std::string trace;
  VCallback cb;
  Handler a("a", &trace), b("b", &trace, -1), c("c", &trace, 1);
  cb.RegisterCallback(&a);
  cb.RegisterCallback(&c);
  // b sorts before a and is added by a; c is removed and registered again.
  a.m_action = [&] {
    cb.RegisterCallback(&b);
    cb.DeregisterCallback(&c);
    cb.RegisterCallback(&c);
  };
  cb.TriggerCallbacks();
  EXPECT_EQ(trace, "a");
  a.m_action = nullptr;
  trace.clear();
  cb.TriggerCallbacks();
  EXPECT_EQ(trace, "bac");
}

TEST(VCallback, NestedTriggerWithRemovalKeepsTheOuterWalkCorrect) {
  std::string trace;
  VCallback cb;
  Handler a("a", &trace), b("b", &trace), c("c", &trace), d("d", &trace);
  for (Handler* h : {&a, &b, &c, &d}) cb.RegisterCallback(h);
  int depth = 0;
  b.m_action = [&] {
    if (depth++ > 0) return;
    cb.DeregisterCallback(&c);  // in the nested trigger and in the outer one
    cb.TriggerCallbacks();
  };
  cb.TriggerCallbacks();
  EXPECT_EQ(trace, "ab" "abd" "d");
  EXPECT_FALSE(cb.IsRegistered(&c));
  EXPECT_EQ(cb.GetCallbackCount(), 3);
}

TEST(VCallback, RemovalTakesExactlyThatHandlerAmongKeysAndAReRegisteredOneRunsOnce) {
  std::string trace;
  VCallback cb;
  Handler a("a", &trace, 3), b("b", &trace, -1), c("c", &trace, 3), d("d", &trace, 0), e("e", &trace, 3);
  for (Handler* h : {&a, &b, &c, &d, &e}) cb.RegisterCallback(h);
  cb.DeregisterCallback(&c);
  cb.DeregisterCallback(&c);
  EXPECT_FALSE(cb.IsRegistered(&c));
  EXPECT_TRUE(cb.IsRegistered(&e));
  cb.TriggerCallbacks();
  EXPECT_EQ(trace, "bdae");

  // Dropped and taken back during a trigger: behind its key's others, once.
  trace.clear();
  b.m_action = [&] {
    cb.DeregisterCallback(&a);
    cb.RegisterCallback(&a);
  };
  cb.TriggerCallbacks();
  EXPECT_EQ(trace, "bde");
  EXPECT_EQ(cb.GetCallbackCount(), 4);
  trace.clear();
  b.m_action = nullptr;
  cb.TriggerCallbacks();
  EXPECT_EQ(trace, "bdea");
  cb.DeregisterCallback(&a);
  cb.DeregisterCallback(&b);
  trace.clear();
  cb.TriggerCallbacks();
  EXPECT_EQ(trace, "de");
}
