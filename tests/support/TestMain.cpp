// Test entry: fatal engine errors fail the test instead of ending the program.
#include "engine/base/VisError.h"

#include <gtest/gtest.h>

#include <stdexcept>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  Vision::Error.SetFatalHandler([](const std::string& text) { throw std::runtime_error("fatal: " + text); });
  return RUN_ALL_TESTS();
}
