// Program entry: rebuilds the raw command line and runs the launcher.
#include "Launcher.h"

#include <string>

int main(int argc, char** argv) {
  // The arguments joined with single blanks, without the program name.
  std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) commandLine += ' ';
    commandLine += argv[i];
  }
  return Launcher::Run(commandLine.c_str());
}
