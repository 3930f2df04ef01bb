// The Windows entry point as the import calls it: a CString path (UTF-16),
// the four containers, GetError as a CString, and the report accessors.
#include "TMX3DM.h"

#include <gtest/gtest.h>
#include <windows.h>

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

// The file is mapped, not copied: files that cannot be mapped or read say why,
// and a read leaves the file free for others.
struct FileAccessCase {
    const char* what;
    DWORD share;           // share mode of another program's open handle
    bool lock;             // that program locks the whole file
    const wchar_t* expect; // the error text after the file name
};

TEST(TMX3DM, FilesOthersHoldOrLockSayWhy) {
    const std::wstring name = L"held \u00e9l\u00e9ment.3dm";
    SaveW(name, LoadW(kFixtures + L"lines.v8.3dm"));
    const std::vector<FileAccessCase> cases = {
        {"shared for reading", FILE_SHARE_READ, false, nullptr},
        {"not shared", 0, false,
         L" cannot be opened: another program has it open and does not share it"},
        {"locked", FILE_SHARE_READ | FILE_SHARE_WRITE, true,
         L" could not be read: another program has locked it"},
    };
    for (const FileAccessCase& c : cases) {
        HANDLE other = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, c.share, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(other, INVALID_HANDLE_VALUE) << c.what;
        OVERLAPPED at = {};
        if (c.lock) {
            ASSERT_TRUE(LockFileEx(other, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                                   MAXDWORD, MAXDWORD, &at))
                << c.what;
        }
        Containers r;
        const int ok = r.Read(name);
        const std::wstring error = (const wchar_t*)TMX3DM::GetError();
        if (c.lock) UnlockFileEx(other, 0, MAXDWORD, MAXDWORD, &at);
        CloseHandle(other);
        if (!c.expect) {
            EXPECT_NE(ok, 0) << c.what << ": " << error;
            EXPECT_EQ(r.curves.Count(), 6) << c.what;
            continue;
        }
        EXPECT_EQ(ok, 0) << c.what;
        EXPECT_EQ(error, name + c.expect) << c.what;
        EXPECT_EQ(r.curves.Count(), 0) << c.what;
    }
    // After every read the file is ours again: it can be written and removed.
    HANDLE mine = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(mine, INVALID_HANDLE_VALUE);
    CloseHandle(mine);
    EXPECT_TRUE(DeleteFileW(name.c_str()));
}

TEST(TMX3DM, EmptyFilesAndFoldersAreRefusedByName) {
    const std::wstring empty = L"empty.3dm", folder = L"folder.3dm";
    SaveW(empty, {});
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS);
    Containers c;
    EXPECT_EQ(c.Read(empty), 0);
    EXPECT_EQ(std::wstring((const wchar_t*)TMX3DM::GetError())
                  .compare(0, 24, L"empty.3dm is not a .3dm "),
              0)
        << (const wchar_t*)TMX3DM::GetError();
    EXPECT_EQ(c.Read(folder), 0);
    EXPECT_EQ(std::wstring((const wchar_t*)TMX3DM::GetError()),
              L"folder.3dm cannot be read: it is not a file");
    _wremove(empty.c_str());
    RemoveDirectoryW(folder.c_str());
}

} // namespace
