// The launcher shell: start-up, the main window and the message loop.
#pragma once

#include <windows.h>

// Runs the launcher until its window is closed.
void launcher_main();

// The main window's procedure.
LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// The main window's class record, as launcher_main registers it.
WNDCLASSEXW main_window_class(HINSTANCE instance, const wchar_t* class_name);
