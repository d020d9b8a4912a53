#pragma once

namespace platform {

// Loads the libraries the program calls beyond those Windows always takes from its own folder
// (mpr, odbc32, rstrtmgr, version: the .def files in platform/win32/system_libraries/), from the system
// folder, for the rest of the process. Their functions are bound by name when first called, and
// the name then finds the library loaded here: called before the first of those calls, this
// decides where they come from, wherever the program was started from. Raises Exception naming
// the library that cannot be loaded from the system folder; no other folder is ever tried.
void LoadSystemLibraries();

}  // namespace platform
