// Replaces one imported function of a loaded module with a recorder for
// the lifetime of the object, by rewriting the module's import address
// table entry (so only calls from that module are redirected):
//
//   static int beeps = 0;
//   testsupport::ImportPatch patch(GetModuleHandleW(L"TMXUI.dll"), "user32.dll",
//                                  "MessageBeep", +[](UINT) -> BOOL { ++beeps; return TRUE; });
#pragma once

#include <windows.h>

#include <cstring>

namespace testsupport {

class ImportPatch {
public:
    template <class Function>
    ImportPatch(HMODULE module, const char* dll, const char* function, Function* replacement)
        : ImportPatch(module, dll, function, reinterpret_cast<void*>(replacement), 0) {}
    ~ImportPatch() {
        if (slot_) Write(original_);
    }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    // The module imports the function and the entry now holds the replacement.
    bool Active() const { return slot_ != nullptr; }
    void* Original() const { return original_; }

private:
    ImportPatch(HMODULE module, const char* dll, const char* function, void* replacement, int) {
        if (!module) return;
        auto* base = reinterpret_cast<BYTE*>(module);
        auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        if (!dir.VirtualAddress) return;
        for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
            if (_stricmp(reinterpret_cast<const char*>(base + d->Name), dll) != 0) continue;
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + (d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk));
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
            for (; names->u1.AddressOfData; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
                auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
                slot_ = reinterpret_cast<void**>(&slots->u1.Function);
                original_ = *slot_;
                Write(replacement);
                return;
            }
        }
    }
    void Write(void* value) {
        DWORD old = 0;
        VirtualProtect(slot_, sizeof(void*), PAGE_READWRITE, &old);
        *slot_ = value;
        VirtualProtect(slot_, sizeof(void*), old, &old);
    }

    void** slot_ = nullptr;
    void* original_ = nullptr;
};

} // namespace testsupport
