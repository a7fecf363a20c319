// From the program's start to the title screen: the real Brinemark, headless at a
// fixed step of 0.02 s, the intro skipped by Escape replayed on its first frame.
// The clock stops when the log (echoed to standard error) reports the end of the
// third frame, the first of the main loop: the menu is then the current frame and
// its opening runs. The launcher's update check comes first and waits for the
// network; it is pointed at a closed local port and left out: "wall_ms" runs from
// the version line the launcher logs after it, "process_ms" from the program's
// start. "frames": the frames run. Target: wall_ms under 300.
#include "../launcher/Version.h"
#include "../tests/support/ScratchProgram.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int kFrames = 3;

struct StartRun {
  double seconds = 0.0;         // from the version line
  double processSeconds = 0.0;  // from the start
  bool reached = false;
};

// Runs the program and times it up to the line that ends frame kFrames.
StartRun RunToMenu(ScratchProgram& program, const std::string& input) {
  StartRun run;
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return run;
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) env.emplace_back(*e);
  for (const char* v : {"ENGINE_VIDEO=null", "ENGINE_LOG_STDERR=1", "ENGINE_TIMESTEP=0.02",
                        "BRINEMARK_UPDATE_URL=http://127.0.0.1:9/"})
    env.emplace_back(v);
  env.push_back("ENGINE_FRAMES=" + std::to_string(kFrames));
  env.push_back("ENGINE_INPUT=" + input);
  env.push_back("ENGINE_DOCUMENTS_DIR=" + program.DocumentsDir());
  std::vector<char*> envp;
  for (std::string& s : env) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::string path = program.ProgramPath();
  char* argv[] = {path.data(), nullptr};

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  if (spawned != 0) {
    close(pipeFds[0]);
    return run;
  }
  const std::string mark = "ENGINE_FRAMES reached: quitting after " + std::to_string(kFrames) + " frames";
  const std::string version = std::string("Brinemark ") + kBrinemarkVersion;
  auto versionAt = start;
  bool versionSeen = false;
  FILE* err = fdopen(pipeFds[0], "r");
  char line[4096];
  while (fgets(line, sizeof(line), err)) {
    const auto now = std::chrono::steady_clock::now();
    const std::string text(line);
    if (!versionSeen && text.rfind(version, 0) == 0) {
      versionAt = now;
      versionSeen = true;
    }
    if (!run.reached && versionSeen && text.find(mark) != std::string::npos) {
      run.seconds = std::chrono::duration<double>(now - versionAt).count();
      run.processSeconds = std::chrono::duration<double>(now - start).count();
      run.reached = true;
    }
  }
  fclose(err);
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) run.reached = false;
  return run;
}

void BM_StartToMainMenu(benchmark::State& state) {
  ScratchProgram program(BRINEMARK_PROGRAM_DIR, BRINEMARK_SOURCE_DIR);
  const std::string input = program.Root() + "/skip_intro.txt";
  std::ofstream(input) << "# Escape on the intro's first frame\n1 press Escape\n";
  double total = 0.0, processTotal = 0.0;
  for (auto _ : state) {
    const StartRun run = RunToMenu(program, input);
    if (!run.reached) {
      state.SkipWithError("the program did not reach the main menu's first frame");
      return;
    }
    state.SetIterationTime(run.seconds);
    total += run.seconds;
    processTotal += run.processSeconds;
  }
  state.counters["wall_ms"] = benchmark::Counter(1000.0 * total / (double)state.iterations());
  state.counters["process_ms"] = benchmark::Counter(1000.0 * processTotal / (double)state.iterations());
  state.counters["frames"] = kFrames;
}
BENCHMARK(BM_StartToMainMenu)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
