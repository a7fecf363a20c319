// Test entry: fatal engine errors fail the test instead of ending the program.
// Every test program runs in the program folder, as ctest starts it, so that a
// direct run from elsewhere finds the data and leaves its logs there too.
#include "engine/base/VisError.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  std::error_code ec;
  std::filesystem::current_path(BRINEMARK_PROGRAM_DIR, ec);
  Vision::Error.SetFatalHandler([](const std::string& text) { throw std::runtime_error("fatal: " + text); });
  return RUN_ALL_TESTS();
}
