// Owns the thread's single-threaded COM apartment for the lifetime of a scope.
#pragma once

#include <objbase.h>

class ComApartment {
public:
    ComApartment() : entered_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        // Only an entry that succeeded may be balanced; a failed one left nothing to leave.
        if (entered_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool entered_;
};
