// The launcher catches no exception: running out of memory, or any other error the C++ library
// would report by throwing, ends the process at once. These definitions say so directly, so the
// static GNU C++ runtime does not link its exception classes, message formatting and name
// demangler into the executable only to print a message a GUI program has nowhere to show.
// Linked into the launcher alone, and only with the GNU toolchain.
#include <bits/functexcept.h>

#include <cstdlib>
#include <exception>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace std {
void __throw_bad_alloc() { std::abort(); }
void __throw_bad_array_new_length() { std::abort(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
}  // namespace std
