// Quorla.dll loaded afresh for each test, with an embedded host to hand it.
#pragma once

#include "CadHost.h"
#include "QuorlaExports.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class AddinTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(GetModuleHandleW(L"Quorla.dll"), nullptr) << "a test left the add-in loaded";
        module = LoadLibraryW(L"Quorla.dll");
        ASSERT_NE(module, nullptr) << "LoadLibrary failed: " << GetLastError();
        init = Proc<QuorlaInitUserDLL3Fn>(QUORLA_INIT_EXPORT);
        menuItemCB = Proc<QuorlaEmptyCallbackFn>(QUORLA_MENUITEMCB_EXPORT);
        saveAsCB = Proc<QuorlaEmptyCallbackFn>(QUORLA_SAVEASCB_EXPORT);
        productTitle = Proc<QuorlaProductTitleFn>(QUORLA_PRODUCTTITLE_EXPORT);
        ASSERT_TRUE(init && menuItemCB && saveAsCB && productTitle);
    }
    void TearDown() override { Unload(); }

    // FreeLibrary: process detach runs the add-in's shutdown.
    void Unload() {
        if (module) FreeLibrary(module);
        module = nullptr;
    }

    // InitUserDLL3 with a new reference to the host's application object.
    int Init() { return init(host.Application()); }

    template <class F> F Proc(const char* name) {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }

    // The journal lines of one operation, e.g. `HostAddMenu(0, "&Quorla", 3) = 0`.
    std::vector<std::string> Lines(cadhost::Op op) const {
        std::vector<std::string> lines;
        for (const cadhost::JournalEntry& e : host.Journal(op))
            lines.push_back(e.ToString());
        return lines;
    }

    // Menu texts of a bar, in order.
    std::vector<std::wstring> MenuTexts(long kind) const {
        std::vector<std::wstring> texts;
        for (const cadhost::Menu& m : host.Menus(kind))
            texts.push_back(m.text);
        return texts;
    }

    std::wstring Title() {
        wchar_t buffer[256] = {};
        return productTitle(buffer, 256) >= 0 ? buffer : L"(none)";
    }

    cadhost::Host host;
    HMODULE module = nullptr;
    QuorlaInitUserDLL3Fn init = nullptr;
    QuorlaEmptyCallbackFn menuItemCB = nullptr;
    QuorlaEmptyCallbackFn saveAsCB = nullptr;
    QuorlaProductTitleFn productTitle = nullptr;
};
