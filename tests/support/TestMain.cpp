// Test entry: fatal engine errors fail the test instead of ending the program.
// Every test program runs in the program folder, as ctest starts it, so that a
// direct run from elsewhere finds the data and leaves its logs there too.
#include "engine/base/VisError.h"
#include "support/XvfbDisplay.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  std::error_code ec;
  std::filesystem::current_path(BRINEMARK_PROGRAM_DIR, ec);
  Vision::Error.SetFatalHandler([](const std::string& text) { throw std::runtime_error("fatal: " + text); });
  // What the game writes to the player's documents (a new campaign stores the
  // settings) goes to a folder of this run, unless the caller chose one.
  std::filesystem::path documents;
  if (!getenv("ENGINE_DOCUMENTS_DIR")) {
    documents = std::filesystem::temp_directory_path(ec) / ("brinemark_test_documents_" + std::to_string(getpid()));
    std::filesystem::create_directories(documents, ec);
    setenv("ENGINE_DOCUMENTS_DIR", documents.c_str(), 1);
  }
  const int result = RUN_ALL_TESTS();
  if (!documents.empty()) std::filesystem::remove_all(documents, ec);
#if defined(__SANITIZE_ADDRESS__)
  // After a window the GL driver's threads are still running, and the sanitizer's
  // exit-time leak scan now and then crashes stopping them. Such a process ends
  // without the scan; ctest runs each test alone, so only window tests skip it.
  if (XvfbDisplay::WasStarted()) {
    std::fflush(nullptr);
    _exit(result);
  }
#endif
  return result;
}
