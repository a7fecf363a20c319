// The launcher's whole run: engine start-up, update check, options, plug-ins,
// the GUI and the game plug-in, the main loop and the shutdown.
#pragma once

class Launcher {
 public:
  // Runs the program on the raw command line (without the program name).
  // Returns 0 after a normal shutdown or an accepted update offer, -1 when the
  // engine window could not be started.
  static int Run(const char* commandLine);

  // The update address may be opened by the shell only when it is a web address.
  static bool IsWebAddress(const wchar_t* address);
};
