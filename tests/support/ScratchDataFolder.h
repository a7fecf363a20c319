// A scratch folder as the only data folder of a test, for model and script files.
#pragma once

#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

class ScratchDataFolder {
 public:
  ScratchDataFolder() {
    m_dir = std::filesystem::temp_directory_path() /
            ("tidework_data_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(m_dir);
    Vision::File.RemoveAllDataDirectories();
    Vision::File.AddDataDirectory(m_dir.c_str());
  }
  ~ScratchDataFolder() {
    Vision::File.RemoveAllDataDirectories();
    Vision::File.ClearCache();
    std::filesystem::remove_all(m_dir);
  }
  ScratchDataFolder(const ScratchDataFolder&) = delete;
  ScratchDataFolder& operator=(const ScratchDataFolder&) = delete;

  void Write(const std::string& name, const std::string& text) {
    const std::filesystem::path path = m_dir / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << text;
    Vision::File.ClearCache();
  }
  // A model with a box and, optionally, the bones given as <bone .../> lines.
  void WriteModel(const std::string& name, const std::string& bones = "") {
    Write(name, "<model><bbox min=\"-1/-2/0\" max=\"1/2/3\"/>" + bones + "</model>");
  }
  const std::filesystem::path& Path() const { return m_dir; }

 private:
  std::filesystem::path m_dir;
};
