# Warnings and Windows settings shared by every target; GNU-style and MSVC flags kept apart so
# the same files build with mingw-w64, GCC/Clang and Visual Studio.
if(MSVC)
  add_compile_options(/W4 /permissive- /utf-8)
  # The C runtime linked in, as with mingw-w64: the launcher needs no redistributable.
  set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
else()
  add_compile_options(-Wall -Wextra -Wpedantic -Wconversion -Wno-sign-conversion)
endif()

if(WIN32)
  # Windows 10 APIs (per-monitor DPI awareness v2), wide-character Win32 only.
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                          _WIN32_WINNT=0x0A00 WINVER=0x0A00)
endif()

if(MINGW)
  # Everything the C++ runtime needs is linked in, so only Windows system DLLs are imported.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # A small release: optimised for size, unused sections dropped, symbols stripped.
  add_compile_options(-ffunction-sections -fdata-sections $<$<CONFIG:Release>:-Os>)
  add_link_options(-Wl,--gc-sections $<$<CONFIG:Release>:-s>)
endif()
