// Redirects this executable's own imports, so a test can watch the Win32 calls that the
// statically linked launcher code makes, in order and with their arguments.
#pragma once

#include <windows.h>

// Points this executable's import of `function` from `dll` at `replacement` and returns the
// address it pointed at before, or nullptr when the executable does not import it.
void* replace_import(const char* dll, const char* function, void* replacement);

template <typename Function>
Function replace_import(const char* dll, const char* function, Function replacement) {
    return reinterpret_cast<Function>(
        replace_import(dll, function, reinterpret_cast<void*>(replacement)));
}
