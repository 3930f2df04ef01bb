// The Windows entry point as the import calls it: a CString path (UTF-16),
// the four containers, GetError as a CString, and the report accessors.
#include "TMX3DM.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const std::string kShared = QUORLA_SHARED_DIR;
const std::wstring kFixtures =
    L"Z:" + std::wstring(kShared.begin(), kShared.end()) + L"/fixtures/3dm/";

struct Containers {
    ON_3dPointArray points;
    ON_ClassArray<ON_NurbsCurve> curves;
    ON_ClassArray<ON_Brep> breps;
    ON_ClassArray<ON_Mesh> meshes;
    int Read(const std::wstring& path) {
        return TMX3DM::_3DMToObjects(CString(path.c_str()), points, curves, breps, meshes);
    }
};

std::vector<unsigned char> LoadW(const std::wstring& path) {
    std::vector<unsigned char> b;
    if (FILE* f = _wfopen(path.c_str(), L"rb")) {
        unsigned char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            b.insert(b.end(), buf, buf + n);
        std::fclose(f);
    }
    return b;
}

void SaveW(const std::wstring& path, const std::vector<unsigned char>& b) {
    FILE* f = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(b.data(), 1, b.size(), f);
    std::fclose(f);
}

TEST(TMX3DM, ReadsAFileAndReportsItsUnitsAndKinds) {
    Containers c;
    ASSERT_NE(c.Read(kFixtures + L"units-in.v5.3dm"), 0) << (const wchar_t*)TMX3DM::GetError();
    EXPECT_TRUE(TMX3DM::GetError().IsEmpty());
    EXPECT_EQ(TMX3DM::GetUnitSystem(), 8);
    EXPECT_EQ(TMX3DM::GetAbsoluteTolerance(), 0.0005);
    EXPECT_EQ(TMX3DM::GetReadCount("B-rep"), 1);
    EXPECT_EQ(TMX3DM::GetSkippedCount("SubD"), 0);
    EXPECT_EQ(c.points.Count(), 1);
    EXPECT_EQ(c.breps.Count(), 1);
    EXPECT_EQ(c.curves.Count(), 3); // rectangle, circle, diagonal
}

TEST(TMX3DM, NonAsciiNamesReachTheFileAndTheErrorText) {
    const std::wstring name = L"B\u00fcgel \u0444\u043e\u0440\u043c\u0430.3dm";
    std::vector<unsigned char> bytes = LoadW(kFixtures + L"lines.v8.3dm");
    ASSERT_GT(bytes.size(), 100u);
    SaveW(name, bytes);
    Containers good;
    EXPECT_NE(good.Read(name), 0) << (const wchar_t*)TMX3DM::GetError();
    EXPECT_EQ(good.curves.Count(), 6);

    bytes.resize(bytes.size() / 2);
    SaveW(name, bytes);
    Containers bad;
    EXPECT_EQ(bad.Read(name), 0);
    const std::wstring error = (const wchar_t*)TMX3DM::GetError();
    const std::wstring prefix = name + L" is damaged: ";
    EXPECT_EQ(error.compare(0, prefix.size(), prefix), 0) << error;
    EXPECT_EQ(bad.curves.Count(), 0);
    _wremove(name.c_str());
}

TEST(TMX3DM, MissingFileGivesZeroAndANamedError) {
    Containers c;
    EXPECT_EQ(c.Read(L"C:\\no such folder\\bracket.3dm"), 0);
    const std::wstring error = (const wchar_t*)TMX3DM::GetError();
    EXPECT_EQ(error.compare(0, 29, L"bracket.3dm cannot be opened:"), 0) << error;
}

} // namespace
