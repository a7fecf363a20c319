// The keys of the English string file, for tests that check data names only known texts.
#pragma once

#include <fstream>
#include <set>
#include <string>

inline std::set<std::string> StringKeys() {
  std::set<std::string> keys;
  std::ifstream in(BRINEMARK_SOURCE_DIR "/data/localization/strings_en.txt");
  std::string line;
  while (std::getline(in, line)) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string key = line.substr(0, eq);
    while (!key.empty() && key.back() == ' ') key.pop_back();
    keys.insert(key);
  }
  return keys;
}
