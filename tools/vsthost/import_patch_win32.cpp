#include "tools/vsthost/import_patch_win32.h"

namespace vsthost {
namespace {

bool patch(ULONG_PTR* slot, void* replacement) {
    DWORD previous = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &previous)) return false;
    *slot = reinterpret_cast<ULONG_PTR>(replacement);
    VirtualProtect(slot, sizeof *slot, previous, &previous);
    return true;
}

bool named(const char* library, const char* const* libraries, int libraryCount) {
    for (int i = 0; i < libraryCount; ++i)
        if (_stricmp(library, libraries[i]) == 0) return true;
    return false;
}

}  // namespace

int patchImports(HMODULE module, const char* const* libraries, int libraryCount,
                 void* (*replacementFor)(const char* name)) {
    auto* base = reinterpret_cast<unsigned char*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    if (!module || dos->e_magic != IMAGE_DOS_SIGNATURE) return 0;
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!directory.VirtualAddress) return 0;
    int patched = 0;
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress); entry->Name;
         ++entry) {
        if (!named(reinterpret_cast<const char*>(base + entry->Name), libraries, libraryCount)) continue;
        if (!entry->OriginalFirstThunk) continue;  // no names to go by
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            void* replacement = replacementFor(reinterpret_cast<const char*>(byName->Name));
            if (replacement && patch(&slots->u1.Function, replacement)) ++patched;
        }
    }
    return patched;
}

}  // namespace vsthost
