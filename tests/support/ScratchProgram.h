// A scratch program tree for end-to-end runs of the real launcher: a temporary
// root with bin/linux-x64/release/ holding copies of the built binaries, data/
// linked to the repository's data folder and a documents folder of its own.
#pragma once

#include <map>
#include <string>
#include <vector>

class ScratchProgram {
 public:
  struct Result {
    int exitStatus = -1;  // 0..255, or -1 when the program did not exit normally
    std::string out;
    std::string err;
  };

  // The binaries are copied (not linked): the program finds its folder, its
  // plug-ins and its data through its own path.
  ScratchProgram(const std::string& builtProgramDir, const std::string& sourceDir);
  ~ScratchProgram();
  ScratchProgram(const ScratchProgram&) = delete;
  ScratchProgram& operator=(const ScratchProgram&) = delete;

  const std::string& Root() const { return m_root; }
  const std::string& ProgramDir() const { return m_programDir; }
  const std::string& DocumentsDir() const { return m_documentsDir; }
  std::string ProgramPath() const { return m_programDir + "/Brinemark"; }

  // Deletes one binary of the program folder (e.g. "libvPhysX.so").
  bool RemoveFile(const std::string& name);

  // Runs Brinemark in its program folder with the given arguments. The
  // environment is the test's own plus ENGINE_VIDEO=null, ENGINE_DOCUMENTS_DIR
  // and the given variables (an empty value unsets one). A run that does not end
  // within the guard time is killed and reported with exit status -1.
  Result Run(const std::vector<std::string>& args, const std::map<std::string, std::string>& env = {});

  // Lines of the program folder's log.txt (empty when it is missing).
  std::vector<std::string> ReadLog() const;
  static std::string ReadFile(const std::string& path);

 private:
  std::string m_root;
  std::string m_programDir;
  std::string m_documentsDir;
};

#ifdef BRINEMARK_PROGRAM_DIR
// A scratch tree over the binaries of this build tree.
inline ScratchProgram MakeScratchProgram() { return ScratchProgram(BRINEMARK_PROGRAM_DIR, BRINEMARK_SOURCE_DIR); }
#endif
