#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

// File names as a program folder holds them: stems from a small vocabulary, version numbers,
// varied letter case and a handful of extensions, the same list on every run.
inline std::vector<std::string> RealisticNames(size_t count) {
  static const char* const stems[] = {"tav",  "setup", "report", "Menu",  "config", "README", "libcore", "Invoice",
                                      "data", "help",  "ledger", "Print", "update", "sync",   "Client",  "server"};
  static const char* const extensions[] = {".exe",     ".dll", ".txt", ".cfg", ".bak", ".pdf", ".EXE", ".DLL",
                                           ".exe.bak", ".xml", ".chm", "",     ".log", ".ini", ".dat", ".json"};
  std::mt19937 random(20240611);
  std::vector<std::string> names;
  names.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    std::string name = stems[random() % 16];
    if (random() % 2) name += "_" + std::to_string(random() % 2000);
    if (random() % 3 == 0)
      name += std::string("-v") + std::to_string(random() % 10) + "." + std::to_string(random() % 10);
    name += std::to_string(i);  // unique, as in one folder
    name += extensions[random() % 16];
    names.push_back(name);
  }
  return names;
}
