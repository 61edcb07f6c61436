// Routes a loaded module's imported calls through functions of ours by rewriting its
// import table in place: the module then calls the replacement wherever it called the
// system function, and nothing else in the process is touched.
#pragma once

#include <windows.h>

namespace vsthost {

// Patches every import of `module` from one of the named DLLs (compared without case) for
// which `replacementFor(name)` gives a function; returns how many slots were patched.
int patchImports(HMODULE module, const char* const* libraries, int libraryCount,
                 void* (*replacementFor)(const char* name));

}  // namespace vsthost
