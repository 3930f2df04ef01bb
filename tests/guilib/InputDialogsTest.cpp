// The library's input dialogs through TMXGUIUtils, in a program with
// templates of the same ids; the unit converter's factors.
#include "DialogDriver.h"
#include "ImportPatch.h"
#include "ProcessProbes.h"
#include "TMXGUIUtils.h"
#include "UnitFactors.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

int g_beeps = 0;
BOOL WINAPI CountBeep(UINT) {
    ++g_beeps;
    return TRUE;
}

class InputDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(main.CreateEx(0, nullptr, L"main", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200,
                                  nullptr, nullptr));
        handle = main.m_hWnd;
        g_beeps = 0;
    }
    void TearDown() override { main.DestroyWindow(); }
    CWnd main;
    HWND handle = nullptr;
    testsupport::ImportPatch beep{GetModuleHandleW(L"TMXUI.dll"), "user32.dll", "MessageBeep",
                                  &CountBeep};
};

TEST_F(InputDialogs, CoordinatesGiveBackExactlyWhatWasNotTouched) {
    double x = 1.23456789, y = 2e-9, z = -3;
    testsupport::DialogDriver driver;
    driver.Expect(L"Pick a point").Text(1008, L"4.5").Click(IDOK);
    EXPECT_EQ(TMXGUIUtils::Coordinates(x, y, z, L"Pick a point", &handle), 1);
    EXPECT_TRUE(driver.Finished()) << driver.Report();
    const auto& seen = driver.Last();
    EXPECT_EQ(seen.owner, handle);
    EXPECT_EQ(seen.texts.at(1006), L"1.234568");
    EXPECT_EQ(seen.texts.at(1007), L"0");
    EXPECT_EQ(x, 1.23456789) << "untouched, not rounded to its text";
    EXPECT_EQ(y, 2e-9);
    EXPECT_EQ(z, 4.5);

    testsupport::DialogDriver cancel;
    cancel.Expect(L"Coordinates").Text(1006, L"7").Click(IDCANCEL);
    EXPECT_EQ(TMXGUIUtils::Coordinates(x, y, z, L"", nullptr), 0);
    EXPECT_TRUE(cancel.Finished()) << cancel.Report() << "the library's template, its own caption";
    EXPECT_EQ(x, 1.23456789);
}

TEST_F(InputDialogs, RealAcceptsOnlyValuesInsideItsRange) {
    const double kNoMin = 2.2250738585072014e-308, kNoMax = 1.7976931348623157e308;
    struct Case {
        const char* what;
        double start, min, max;
        int minInclusive, maxInclusive;
        std::vector<const wchar_t*> attempts; // texts tried with OK in turn
        int refused;                          // OKs that left the dialog open
        double result;
    } const cases[] = {
        {"sentinels mean no range", 0, kNoMin, kNoMax, 1, 1, {L"-5"}, 0, -5},
        {"an exclusive minimum refuses itself", 1, 0, kNoMax, 0, 1, {L"0", L"0.5"}, 1, 0.5},
        {"an emptied field reads 0, outside", 1, 0, 10, 0, 1, {L"", L"-", L"10"}, 2, 10},
        {"an untouched value outside the range", 0, 0, 1, 0, 1, {nullptr, L"1"}, 1, 1},
        {"an untouched value comes back exact", 0.1234567891, kNoMin, kNoMax, 1, 1, {nullptr}, 0,
         0.1234567891},
        {"text beyond the range is clamped as the field is left", 5, 0, 10, 1, 1, {L"11"}, 0, 10},
    };
    for (const Case& c : cases) {
        g_beeps = 0;
        double value = c.start;
        testsupport::DialogDriver driver;
        auto& script = driver.Expect(L"Real Number");
        for (const wchar_t* text : c.attempts) {
            if (text) script.Text(22000, text);
            script.Click(IDOK);
        }
        EXPECT_EQ(TMXGUIUtils::Real(value, L"", L"", c.min, c.max, c.minInclusive, c.maxInclusive,
                                    &handle),
                  1)
            << c.what;
        EXPECT_TRUE(driver.Finished()) << c.what << driver.Report();
        EXPECT_EQ(driver.Last().texts.at(22001), L"Real Number") << "empty prompt";
        EXPECT_EQ(g_beeps, c.refused) << c.what;
        EXPECT_EQ(value, c.result) << c.what;
    }

    double value = 3;
    testsupport::DialogDriver driver;
    driver.Expect(L"Scale").Do([](HWND d) {
        EXPECT_EQ(testsupport::WindowText(GetDlgItem(d, 22001)), L"Factor");
    }).Text(22000, L"8").Click(IDCANCEL);
    EXPECT_EQ(TMXGUIUtils::Real(value, L"Scale", L"Factor", 0, 10, 1, 1, nullptr), 0);
    EXPECT_EQ(value, 3);
}

TEST_F(InputDialogs, ConverterConvertsAsTheUserTypesWithoutMessages) {
    testsupport::DialogDriver driver;
    std::vector<std::wstring> results;
    auto result = [&](HWND d) { results.push_back(testsupport::WindowText(GetDlgItem(d, 6007))); };
    driver.Expect(L"Unit Converter")
        .Do(result)
        .Text(6006, L"-").Do(result)   // on the way to -5: the previous value stays
        .Text(6006, L"-5").Do(result)
        .Select(6005, 8).Select(6008, 9).Text(6006, L"5280").Do(result)
        .Select(6005, 9).Select(6008, 4).Text(6006, L"1").Do(result)
        .Text(6006, L"-").Click(IDOK); // closes without a word about the text
    TMXGUIUtils::UnitConverter(7, 1, &handle);
    EXPECT_TRUE(driver.Finished()) << driver.Report();
    EXPECT_EQ(driver.Count(), 1) << "no message box at any point";
    const auto& seen = driver.Seen().front();
    EXPECT_EQ(seen.selections.at(6005), 7);
    EXPECT_EQ(seen.selections.at(6008), 1);
    EXPECT_EQ(seen.texts.at(6006), L"1");
    const std::vector<std::wstring> expected = {L"25.400000", L"25.400000", L"-127.000000",
                                                L"1.000000", L"1.609344"};
    EXPECT_EQ(results, expected);

    testsupport::DialogDriver none;
    none.Expect(L"Unit Converter").Click(IDOK);
    TMXGUIUtils::UnitConverter(-1, -1, nullptr);
    EXPECT_EQ(none.Last().selections.at(6005), -1);
    EXPECT_EQ(none.Last().texts.at(6007), L"1.000000");
}

TEST_F(InputDialogs, OpeningAndClosingLeavesNoGdiObjects) {
    auto openAll = [&] {
        testsupport::DialogDriver driver;
        driver.AnswerOthers(IDCANCEL);
        double x = 1, y = 2, z = 3;
        TMXGUIUtils::Coordinates(x, y, z, L"", &handle);
        TMXGUIUtils::Real(x, L"", L"", 0, 1, 1, 1, &handle);
        TMXGUIUtils::UnitConverter(1, 2, &handle);
        EXPECT_EQ(driver.Count(), 3);
    };
    openAll(); // the first time fills the system's own caches
    const int before = testsupport::GdiObjectCount();
    if (before < 0) GTEST_SKIP() << "no GDI handle table";
    for (int i = 0; i < 5; ++i)
        openAll();
    EXPECT_EQ(testsupport::GdiObjectCount(), before);
}

TEST(UnitFactors, EveryPairMatchesTheUnitSizes) {
    // Metres per unit, from the definitions (the inch is 25.4 mm exactly).
    const double metres[10] = {1e-6, 1e-3, 1e-2, 1, 1e3, 25.4e-9, 25.4e-6, 0.0254, 0.3048, 1609.344};
    for (int from = 0; from < 10; ++from) {
        for (int to = 0; to < 10; ++to) {
            const double f = tmxunits::Factor(from, to);
            EXPECT_NEAR(f, metres[from] / metres[to], 4e-16 * f) << from << " -> " << to;
            // Within one system a factor is exact: a power of ten, or a
            // whole number one way.
            if ((from < 5) == (to < 5) && f >= 1) {
                EXPECT_EQ(f, std::round(f)) << from << " -> " << to;
            }
        }
    }
    EXPECT_EQ(tmxunits::Factor(1, 0), 1000.0);
    EXPECT_EQ(tmxunits::Factor(3, 1), 1000.0) << "not 1000.0000000000001";
    EXPECT_EQ(tmxunits::Factor(0, 4), 1e-9);
    EXPECT_EQ(tmxunits::Factor(2, 1), 10.0);
    EXPECT_EQ(tmxunits::Factor(9, 8), 5280.0);
    EXPECT_EQ(tmxunits::Factor(7, 1), 25.4);
    EXPECT_EQ(tmxunits::Factor(-1, 3), 1.0);
    EXPECT_EQ(tmxunits::Factor(3, 10), 1.0);
}

} // namespace
