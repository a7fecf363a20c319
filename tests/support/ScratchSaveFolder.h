// A scratch documents folder for one test (ENGINE_DOCUMENTS_DIR points at it), with
// save-game slot files written into its save folder.
#pragma once

#include "support/SaveFileBytes.h"
#include "support/ScopedEnv.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

class ScratchSaveFolder {
 public:
  ScratchSaveFolder() : m_dir(MakeFolder()), m_env("ENGINE_DOCUMENTS_DIR", m_dir.c_str()) {}
  ~ScratchSaveFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
    Vision::File.ClearCache();
  }
  ScratchSaveFolder(const ScratchSaveFolder&) = delete;
  ScratchSaveFolder& operator=(const ScratchSaveFolder&) = delete;

  std::filesystem::path SlotFolder() const { return m_dir / "Fenwold" / "Brinemark" / "SaveGames"; }
  std::filesystem::path SlotFile(int slot, const char* ext = ".gam") const {
    return SlotFolder() / ("save" + std::to_string(slot) + ext);
  }
  void WriteSlot(int slot, const archive_test::Bytes& bytes, const char* ext = ".gam") {
    std::filesystem::create_directories(SlotFolder());
    std::ofstream(SlotFile(slot, ext), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), (std::streamsize)bytes.size());
    Vision::File.ClearCache();
  }
  void WriteSlot(int slot, const save_test::Header& header) { WriteSlot(slot, save_test::SaveFile(header)); }
  const std::filesystem::path& Path() const { return m_dir; }

 private:
  // Empty, named after the running test.
  static std::filesystem::path MakeFolder() {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("brinemark_saves_" + std::to_string(::getpid()) + "_" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
  }

  std::filesystem::path m_dir;
  ScopedEnv m_env;
};
