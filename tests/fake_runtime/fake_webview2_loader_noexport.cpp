// A WebView2Loader.dll that loads but lacks the environment entry point, so a test can watch
// the launcher cope with a damaged or foreign loader. Its one export exists only so the linker
// does not export every symbol by default.

#include <windows.h>

extern "C" __declspec(dllexport) int FakeLoaderWithoutEntryPoint() { return 0; }
