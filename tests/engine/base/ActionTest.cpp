#include "engine/base/VAction.h"

#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(VArgList, SplitsWordsAndGroupsQuotedOnes) {
  const struct {
    const char* line;
    std::vector<std::string> words;
  } cases[] = {
      {"Money Add 100", {"Money", "Add", "100"}},
      {"  Teleport\ttown   \"Port Royal\"  ", {"Teleport", "town", "Port Royal"}},
      {"Set key \"\"", {"Set", "key", ""}},
      {"Say \"unclosed quote runs on", {"Say", "unclosed quote runs on"}},
      {"", {}},
      {nullptr, {}},
  };
  for (const auto& c : cases) {
    VArgList args(c.line);
    std::vector<std::string> got;
    for (int i = 0; i < args.GetArgCount(); ++i) got.push_back(args.GetArgument(i));
    EXPECT_EQ(got, c.words) << (c.line ? c.line : "(null)");
    EXPECT_EQ(args.GetArgument(args.GetArgCount()), nullptr);
  }
}

TEST(VArgList, ComparesWithoutCaseAndReadsNumbersStrictly) {
  VArgList args("list 42 -3.5 12abc 99999999999");
  EXPECT_TRUE(args.CompareArgument(0, "LIST"));
  EXPECT_FALSE(args.CompareArgument(0, "lis"));
  EXPECT_FALSE(args.CompareArgument(7, "list"));
  EXPECT_TRUE(args.IsInt(1));
  EXPECT_EQ(args.AsInt(1), 42);
  EXPECT_FALSE(args.IsInt(2));
  EXPECT_TRUE(args.IsFloat(2));
  EXPECT_FLOAT_EQ(args.AsFloat(2), -3.5f);
  EXPECT_FALSE(args.IsInt(3));
  EXPECT_EQ(args.AsInt(3), 0);
  EXPECT_FALSE(args.IsInt(4)) << "beyond 32 bits";
  EXPECT_FALSE(args.IsFloat(0));
}

namespace {
int g_liveActions = 0;

// Echoes the words it got and succeeds unless told "fail".
class EchoAction : public VAction {
 public:
  explicit EchoAction(const char* name = "Echo") : VAction(name) { ++g_liveActions; }
  ~EchoAction() override { --g_liveActions; }
  int Do(const VArgList& args) override {
    std::string words;
    for (int i = 0; i < args.GetArgCount(); ++i) words += std::string("[") + args.GetArgument(i) + "]";
    Print("Echo %d %s", args.GetArgCount(), words.c_str());
    return args.CompareArgument(0, "fail") ? 0 : 1;
  }
};

char kModuleA, kModuleB;  // module identities
VAction* MakeEcho() { return new EchoAction("Echo"); }
VAction* MakeShout() { return new EchoAction("Shout"); }
VAction* MakeOther() { return new EchoAction("Other"); }
}  // namespace

TEST(VActionManager, ExecuteFindsTheActionWithoutCaseAndPassesTheWordsAfterIt) {
  LogCapture log;
  VActionManager manager;
  manager.RegisterAction(new EchoAction());
  EXPECT_TRUE(manager.Execute("ECHO add \"two words\""));
  EXPECT_FALSE(manager.Execute("echo fail"));
  EXPECT_FALSE(manager.Execute("Nope 1"));
  EXPECT_FALSE(manager.Execute("   "));
  const std::vector<std::string> expected = {"Echo 2 [add][two words]", "Echo 1 [fail]", "Unknown command: Nope"};
  EXPECT_EQ(manager.GetOutput(), expected);
  EXPECT_TRUE(log.Contains("Echo 2 [add][two words]"));
}

TEST(VActionManager, SameNameReplacesAndTheManagerDeletesWhatItOwns) {
  g_liveActions = 0;
  {
    VActionManager manager;
    auto* first = new EchoAction("Echo");
    manager.RegisterAction(first);
    manager.RegisterAction(first);  // the same object again is no replacement
    EXPECT_EQ(g_liveActions, 1);
    manager.RegisterAction(new EchoAction("eCHO"));
    EXPECT_EQ(g_liveActions, 1);
    EXPECT_EQ(manager.GetActionCount(), 1);
    EXPECT_STREQ(manager.FindAction("echo")->GetName(), "eCHO");
    manager.RegisterAction(new EchoAction("Other"));
  }
  EXPECT_EQ(g_liveActions, 0);
}

TEST(VActionManager, ModulesRegisterAndUnregisterTheirActions) {
  g_liveActions = 0;
  VActionManager::AddModuleAction(&kModuleA, &MakeEcho);
  VActionManager::AddModuleAction(&kModuleA, &MakeShout);
  VActionManager::AddModuleAction(&kModuleA, &MakeShout);  // listed once
  VActionManager::AddModuleAction(&kModuleB, &MakeOther);
  VActionManager manager;
  manager.RegisterModule(&kModuleA);
  EXPECT_EQ(manager.GetActionCount(), 2);
  manager.RegisterModule(&kModuleA);  // again: fresh instances replace the old ones
  EXPECT_EQ(g_liveActions, 2);
  manager.RegisterModule(&kModuleB);
  EXPECT_TRUE(manager.Execute("shout x"));
  manager.UnregisterModule(&kModuleA);
  EXPECT_EQ(manager.FindAction("Shout"), nullptr);
  EXPECT_EQ(manager.FindAction("Echo"), nullptr);
  EXPECT_NE(manager.FindAction("Other"), nullptr);
  EXPECT_EQ(g_liveActions, 1);
  manager.UnregisterModule(&kModuleB);
  EXPECT_EQ(g_liveActions, 0);
}

namespace {
// Queues another line while the line source runs.
class QueueAction : public VAction {
 public:
  explicit QueueAction(VActionManager* m) : VAction("Queue"), m_manager(m) {}
  int Do(const VArgList&) override {
    m_manager->SetLineSource({"echo later"});
    return 1;
  }
  VActionManager* m_manager;
};
}  // namespace

TEST(VActionManager, LineSourceRunsPendingLinesInOrderOnce) {
  VActionManager manager;
  manager.RegisterAction(new EchoAction());
  manager.RegisterAction(new QueueAction(&manager));
  manager.SetLineSource({"echo 1", "queue", "echo 2"});
  manager.ProcessLineSource();
  EXPECT_EQ(manager.GetOutput(), (std::vector<std::string>{"Echo 1 [1]", "Echo 1 [2]"}));
  manager.ClearOutput();
  manager.ProcessLineSource();
  EXPECT_EQ(manager.GetOutput(), (std::vector<std::string>{"Echo 1 [later]"}));
  manager.ClearOutput();
  manager.ProcessLineSource();
  EXPECT_TRUE(manager.GetOutput().empty());
}
