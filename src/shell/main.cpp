// Process entry of the GUI-subsystem executable. The launcher reads no command line and always
// exits with code 0.
#include <windows.h>

#include "shell/launcher.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    launcher_main();
    return 0;
}
