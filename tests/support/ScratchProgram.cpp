// Scratch program trees and runs of the real launcher for end-to-end tests.
#include "ScratchProgram.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace fs = std::filesystem;

namespace {
const char* const kBinaries[] = {"Brinemark", "libengine.so", "libTidework.so", "libVisionEnginePlugin.so",
                                 "libvPhysX.so", "libSoundEnginePlugin.so"};
// Only a hung program hits this; normal runs take well under a second.
const auto kGuardTime = std::chrono::seconds(60);
}  // namespace

ScratchProgram::ScratchProgram(const std::string& builtProgramDir, const std::string& sourceDir) {
  std::string pattern = (fs::temp_directory_path() / "brinemark-e2e-XXXXXX").string();
  if (!mkdtemp(pattern.data())) return;
  m_root = pattern;
  m_programDir = m_root + "/bin/linux-x64/release";
  m_documentsDir = m_root + "/documents";
  fs::create_directories(m_programDir);
  fs::create_directories(m_documentsDir);
  for (const char* name : kBinaries) {
    std::error_code ec;
    fs::copy_file(fs::path(builtProgramDir) / name, fs::path(m_programDir) / name, fs::copy_options::overwrite_existing, ec);
  }
  std::error_code ec;
  fs::create_directory_symlink(fs::path(sourceDir) / "data", fs::path(m_root) / "data", ec);
}

ScratchProgram::~ScratchProgram() {
  std::error_code ec;
  if (!m_root.empty()) fs::remove_all(m_root, ec);
}

bool ScratchProgram::RemoveFile(const std::string& name) {
  std::error_code ec;
  return fs::remove(fs::path(m_programDir) / name, ec);
}

ScratchProgram::Result ScratchProgram::Run(const std::vector<std::string>& args,
                                           const std::map<std::string, std::string>& env) {
  Result result;
  const std::string outPath = m_root + "/stdout.txt";
  const std::string errPath = m_root + "/stderr.txt";

  std::map<std::string, std::string> vars;
  for (char** e = environ; *e; ++e) {
    const std::string entry(*e);
    const size_t eq = entry.find('=');
    if (eq != std::string::npos) vars[entry.substr(0, eq)] = entry.substr(eq + 1);
  }
  vars["ENGINE_VIDEO"] = "null";
  vars["ENGINE_DOCUMENTS_DIR"] = m_documentsDir;
  for (const auto& [name, value] : env) {
    if (value.empty())
      vars.erase(name);
    else
      vars[name] = value;
  }
  // With a window, Mesa's driver threads are still running when the sanitizer's
  // exit-time leak scan stops the world, and that scan now and then crashes on
  // them. Leaks are still checked by every headless run and in-process test.
  const auto asan = vars.find("ASAN_OPTIONS");
  if (vars["ENGINE_VIDEO"] != "null" && asan != vars.end()) asan->second += ":detect_leaks=0";
  std::vector<std::string> envStrings;
  for (const auto& [name, value] : vars) envStrings.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (std::string& s : envStrings) envp.push_back(s.data());
  envp.push_back(nullptr);

  std::string program = ProgramPath();
  std::vector<std::string> argStrings = args;
  std::vector<char*> argv;
  argv.push_back(program.data());
  for (std::string& a : argStrings) argv.push_back(a.data());
  argv.push_back(nullptr);

  const pid_t pid = fork();
  if (pid < 0) return result;
  if (pid == 0) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || chdir(m_programDir.c_str()) != 0) _exit(127);
    dup2(out, 1);
    dup2(err, 2);
    execve(program.c_str(), argv.data(), envp.data());
    _exit(127);
  }

  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + kGuardTime;
  for (;;) {
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0) return result;
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      status = -1;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (status != -1 && WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
  result.out = ReadFile(outPath);
  result.err = ReadFile(errPath);
  return result;
}

std::vector<std::string> ScratchProgram::ReadLog() const {
  std::vector<std::string> lines;
  std::ifstream in(m_programDir + "/log.txt");
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

std::string ScratchProgram::ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}
