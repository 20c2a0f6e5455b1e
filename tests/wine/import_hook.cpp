#include "import_hook.h"

namespace {

template <typename T>
T* at(BYTE* base, DWORD offset) {
    return reinterpret_cast<T*>(base + offset);
}

bool names_function(BYTE* base, const IMAGE_THUNK_DATA& name_entry, const char* function) {
    if (IMAGE_SNAP_BY_ORDINAL(name_entry.u1.Ordinal)) return false;
    const auto* by_name = at<IMAGE_IMPORT_BY_NAME>(base, static_cast<DWORD>(name_entry.u1.AddressOfData));
    return lstrcmpA(reinterpret_cast<const char*>(by_name->Name), function) == 0;
}

void* swap_slot(ULONGLONG& slot, void* replacement) {
    DWORD protection;
    VirtualProtect(&slot, sizeof slot, PAGE_READWRITE, &protection);
    void* original = reinterpret_cast<void*>(slot);
    slot = reinterpret_cast<ULONGLONG>(replacement);
    VirtualProtect(&slot, sizeof slot, protection, &protection);
    return original;
}

}  // namespace

void* replace_import(const char* dll, const char* function, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    const auto* nt = at<IMAGE_NT_HEADERS>(base, static_cast<DWORD>(dos->e_lfanew));
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* module = at<IMAGE_IMPORT_DESCRIPTOR>(base, imports.VirtualAddress); module->Name; ++module) {
        if (lstrcmpiA(at<char>(base, module->Name), dll) != 0) continue;
        auto* names = at<IMAGE_THUNK_DATA>(base, module->OriginalFirstThunk);
        auto* addresses = at<IMAGE_THUNK_DATA>(base, module->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++addresses) {
            if (names_function(base, *names, function)) return swap_slot(addresses->u1.Function, replacement);
        }
    }
    return nullptr;
}
