// A host with its application interface at hand, and a check at the end that
// every reference handed out came back.
#pragma once

#include "CadHost.h"
#include "HostContract.h"

#include <gtest/gtest.h>

#include <string>

class HostFixture : public ::testing::Test {
protected:
    void SetUp() override {
        IDispatch* d = host.Application();
        d->QueryInterface(IID_IHostApplication, reinterpret_cast<void**>(&app));
        d->Release();
        ASSERT_NE(app, nullptr);
    }
    void TearDown() override {
        app->Release();
        EXPECT_EQ(host.OutstandingRefs(), 0) << host.Unreleased();
    }

    IHostDocument* NewPartDocument() {
        IHostPart* part = nullptr;
        EXPECT_EQ(app->NewPart(&part), S_OK);
        IHostDocument* doc = nullptr;
        part->QueryInterface(IID_IHostDocument, reinterpret_cast<void**>(&doc));
        part->Release();
        return doc;
    }

    static std::wstring Bstr(BSTR b) {
        std::wstring s = b ? std::wstring(b, SysStringLen(b)) : std::wstring();
        SysFreeString(b);
        return s;
    }

    cadhost::Host host;
    IHostApplication* app = nullptr;
};
