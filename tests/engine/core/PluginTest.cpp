// The plug-in manager over dlopen, with probe plug-ins built in a folder of their own.
#include "engine/core/VisPlugins.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override { Vision::Plugins.SetPluginDirectory(BRINEMARK_TEST_PLUGIN_DIR); }
  void TearDown() override {
    Vision::Plugins.UnloadAllEnginePlugins();
    Vision::Plugins.SetPluginDirectory(nullptr);
  }
  LogCapture log;
};

TEST_F(PluginTest, LoadStartsThePluginOnceAndNeverAgainForTheSameName) {
  ASSERT_TRUE(Vision::Plugins.LoadEnginePlugin("test_plugin_probe"));
  EXPECT_TRUE(Vision::Plugins.IsLoaded("test_plugin_probe"));
  EXPECT_TRUE(Vision::Plugins.LoadEnginePlugin("test_plugin_probe"));
  EXPECT_EQ(log.Matching("probe test_plugin_probe: start").size(), 1u);
  EXPECT_EQ(Vision::Plugins.GetPluginCount(), 1);
}

TEST_F(PluginTest, EntryNamedAfterThePluginIsFoundWhenThePlainOneIsMissing) {
  ASSERT_TRUE(Vision::Plugins.LoadEnginePlugin("test_plugin_probe_named"));
  EXPECT_TRUE(log.Contains("probe test_plugin_probe_named: start"));
}

TEST_F(PluginTest, FailuresReturnFalseAndLogTheLoaderText) {
  struct Case {
    const char* name;
    const char* logged;
  };
  const Case cases[] = {
      {"NoSuchPlugin", "libNoSuchPlugin.so: cannot open shared object file"},
      {"test_plugin_noentry", "GetEnginePlugin_test_plugin_noentry"},
      {"", "no plug-in name given"},
  };
  for (const Case& c : cases) {
    log.Clear();
    EXPECT_FALSE(Vision::Plugins.LoadEnginePlugin(c.name)) << c.name;
    EXPECT_FALSE(Vision::Plugins.IsLoaded(c.name));
    ASSERT_EQ(log.Matching("Warning: ").size(), 1u) << c.name;
    EXPECT_NE(log.Matching("Warning: ")[0].find(c.logged), std::string::npos) << log.Matching("Warning: ")[0];
    EXPECT_NE(std::string(Vision::Plugins.GetLastError()), "");
  }
  EXPECT_FALSE(Vision::Plugins.LoadEnginePlugin(nullptr));
  EXPECT_EQ(Vision::Plugins.GetPluginCount(), 0);
}

TEST_F(PluginTest, UnloadStopsInReverseLoadOrderAndForgetsThem) {
  ASSERT_TRUE(Vision::Plugins.LoadEnginePlugin("test_plugin_probe"));
  ASSERT_TRUE(Vision::Plugins.LoadEnginePlugin("test_plugin_probe_named"));
  log.Clear();

  Vision::Plugins.UnloadAllEnginePlugins();
  EXPECT_EQ(log.Matching("probe "), (std::vector<std::string>{"probe test_plugin_probe_named: stop",
                                                               "probe test_plugin_probe: stop"}));
  EXPECT_EQ(Vision::Plugins.GetPluginCount(), 0);
  Vision::Plugins.UnloadAllEnginePlugins();
  EXPECT_EQ(log.Matching("probe ").size(), 2u);

  // The library stayed mapped; loading it again starts it again.
  ASSERT_TRUE(Vision::Plugins.LoadEnginePlugin("test_plugin_probe"));
  EXPECT_TRUE(log.Contains("probe test_plugin_probe: start"));
}

TEST(ModuleRegistry, RegistersOnceAndUnregisters) {
  VModule module;
  module.m_iVersion = 0x01000100;
  module.m_szName = "Probe";
  Vision::RegisterModule(&module);
  Vision::RegisterModule(&module);
  EXPECT_TRUE(Vision::IsModuleRegistered(&module));
  Vision::UnregisterModule(&module);
  EXPECT_FALSE(Vision::IsModuleRegistered(&module));
  Vision::RegisterModule(nullptr);
  EXPECT_FALSE(Vision::IsModuleRegistered(nullptr));
}

}  // namespace
