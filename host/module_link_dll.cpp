// Windows: load ketravin.dll as the simulator does, find its two exported records, and find the
// module's state directory by its signature inside the loaded image (the DLL exports nothing
// else), so that scripts reach variables by name here too.
#include <windows.h>

#include <cstring>

#include "host/module_link.h"

namespace {
const StateDirectory* find_state_directory(HMODULE module) {
    auto* base = reinterpret_cast<const u8*>(module);
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE) return nullptr;
    const u8* image_end = base + nt->OptionalHeader.SizeOfImage;
    const IMAGE_SECTION_HEADER* sec = IMAGE_FIRST_SECTION(nt);
    for (unsigned i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++sec) {
        if (sec->Characteristics & IMAGE_SCN_MEM_EXECUTE) continue;
        const u8* p = base + sec->VirtualAddress;
        const size_t size = sec->Misc.VirtualSize;
        if (size < sizeof(StateDirectory)) continue;
        for (size_t off = 0; off + sizeof(StateDirectory) <= size; off += 4) {
            if (std::memcmp(p + off, kStateDirectoryMagic, sizeof kStateDirectoryMagic) != 0) continue;
            const auto* dir = reinterpret_cast<const StateDirectory*>(p + off);
            const u8* tables = reinterpret_cast<const u8*>(dir->tables);
            if (dir->version == 1 && tables >= base && tables < image_end) return dir;
        }
    }
    return nullptr;
}
}  // namespace

bool link_module(const std::string& dll_path, ModuleLink& link, std::string& error) {
    HMODULE module = LoadLibraryA(dll_path.c_str());
    if (!module) module = LoadLibraryA("ketravin.dll");
    if (!module) {
        error = "cannot load " + dll_path;
        return false;
    }
    link.linkage = reinterpret_cast<LinkageRecord*>(GetProcAddress(module, "Linkage"));
    link.import = reinterpret_cast<ImportTableRecord*>(GetProcAddress(module, "ImportTable"));
    if (!link.linkage || !link.import) {
        error = dll_path + " does not export Linkage and ImportTable";
        return false;
    }
    const StateDirectory* dir = find_state_directory(module);
    link.state = dir ? dir->tables : nullptr;
    link.resource_handle = static_cast<u32>(reinterpret_cast<uintptr_t>(module));
    return true;
}
