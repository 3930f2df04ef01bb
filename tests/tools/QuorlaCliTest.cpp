// The real quorla.exe, started as a user starts it, with standard output and
// error on pipes: options, documents against the fixtures' truth, the report,
// failures and exit statuses. Each test works in a temporary folder of its own.
#include "TestJson.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

using testjson::Value;

namespace {

std::string Narrow(const std::wstring& w) {
    std::string out;
    for (wchar_t c : w)
        out += static_cast<char>(c < 128 ? c : '?');
    return out;
}
std::wstring Widen(const std::string& s) {
    return std::wstring(s.begin(), s.end());
}

std::wstring Fixture(const std::string& name) {
    return Widen(std::string("Z:") + QUORLA_SHARED_DIR + "/fixtures/" + name);
}
std::wstring TestData(const std::string& name) {
    return Widen(std::string("Z:") + QUORLA_TEST_DATA + "/" + name);
}
std::wstring Example() {
    return Widen(std::string("Z:") + QUORLA_SOURCE_DIR + "/examples/bracket.3dm");
}
const Value& Truth(const std::string& name) {
    static std::map<std::string, Value> cache;
    auto it = cache.find(name);
    if (it == cache.end())
        it = cache
                 .emplace(name, testjson::Load(std::string("Z:") + QUORLA_SHARED_DIR +
                                               "/fixtures/" + name))
                 .first;
    return it->second;
}

void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring child = path + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else {
                // Copies of the read-only fixtures are read-only too.
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    RemoveDirectoryW(path.c_str());
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFile(const std::wstring& path) {
    std::string text;
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return text;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        text.append(buffer, n);
    std::fclose(f);
    return text;
}

struct ToolRun {
    int exit = -1;
    DWORD pid = 0;
    std::string out, err;
};

std::wstring Quote(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    for (wchar_t c : arg) {
        if (c == L'"') out += L'\\';
        out += c;
    }
    return out + L"\"";
}

std::wstring ToolPath() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring self(path, n);
    return self.substr(0, self.find_last_of(L"\\/") + 1) + L"quorla.exe";
}

// The environment without DISPLAY, with Wine's diagnostics of window creation on.
std::wstring NoDisplayEnvironment() {
    std::wstring block;
    wchar_t* env = GetEnvironmentStringsW();
    for (const wchar_t* p = env; *p; p += wcslen(p) + 1) {
        std::wstring entry = p;
        if (entry.rfind(L"DISPLAY=", 0) == 0 || entry.rfind(L"WINEDEBUG=", 0) == 0) continue;
        block += entry + L'\0';
    }
    FreeEnvironmentStringsW(env);
    block += std::wstring(L"WINEDEBUG=-all,err+winediag") + L'\0';
    return block + L'\0';
}

class QuorlaCli : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        static int counter = 0;
        dir_ = std::wstring(temp) + L"quorla-cli-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(++counter);
        RemoveTree(dir_);
        ASSERT_TRUE(CreateDirectoryW(dir_.c_str(), nullptr));
    }
    void TearDown() override { RemoveTree(dir_); }

    // Runs quorla.exe in the test's folder; stdout and stderr are pipes.
    ToolRun Tool(const std::vector<std::wstring>& args, bool noDisplay = false) {
        ToolRun run;
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE outRead, outWrite, errRead, errWrite;
        CreatePipe(&outRead, &outWrite, &inherit, 0);
        CreatePipe(&errRead, &errWrite, &inherit, 0);
        SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
        HANDLE nul = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                 OPEN_EXISTING, 0, nullptr);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = nul;
        si.hStdOutput = outWrite;
        si.hStdError = errWrite;
        std::wstring command = Quote(ToolPath());
        for (const std::wstring& a : args)
            command += L" " + Quote(a);
        std::wstring env = noDisplay ? NoDisplayEnvironment() : std::wstring();
        PROCESS_INFORMATION pi{};
        BOOL started = CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE,
                                      CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT,
                                      noDisplay ? &env[0] : nullptr, dir_.c_str(), &si, &pi);
        CloseHandle(outWrite);
        CloseHandle(errWrite);
        CloseHandle(nul);
        auto drain = [](HANDLE pipe, std::string* text) {
            char buffer[4096];
            DWORD n;
            while (::ReadFile(pipe, buffer, sizeof buffer, &n, nullptr) && n > 0)
                text->append(buffer, n);
        };
        std::thread errReader(drain, errRead, &run.err);
        drain(outRead, &run.out);
        errReader.join();
        CloseHandle(outRead);
        CloseHandle(errRead);
        EXPECT_TRUE(started) << "quorla.exe did not start";
        if (!started) return run;
        WaitForSingleObject(pi.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        run.exit = static_cast<int>(code);
        run.pid = pi.dwProcessId;
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        return run;
    }

    std::wstring Path(const std::wstring& relative) const { return dir_ + L"\\" + relative; }
    Value Document(const std::wstring& relative) const {
        return testjson::Load(Narrow(Path(relative)));
    }

    std::wstring dir_;
};

std::string Describe(const ToolRun& run) {
    return "exit " + std::to_string(run.exit) + "\n--- stdout\n" + run.out + "--- stderr\n" +
           run.err;
}

// Entities of a written document: those of its sketches, then those outside.
std::vector<const Value*> Entities(const Value& doc) {
    std::vector<const Value*> out;
    for (const Value& s : doc["sketches"].items)
        for (const Value& e : s["entities"].items)
            out.push_back(&e);
    for (const Value& e : doc["entities"].items)
        out.push_back(&e);
    return out;
}

size_t Count(const Value& doc, const std::string& type) {
    size_t n = 0;
    for (const Value* e : Entities(doc))
        n += (*e)["type"].Str() == type;
    return n;
}

::testing::AssertionResult SamePoint(const Value& got, const Value& truth, double factor) {
    for (size_t i = 0; i < 3; i++) {
        double want = truth[i].Num() * factor;
        if (std::fabs(got[i].Num() - want) > 1e-12 * std::max(1.0, std::fabs(want)))
            return ::testing::AssertionFailure()
                   << "coordinate " << i << " is " << got[i].Num() << ", want " << want;
    }
    return ::testing::AssertionSuccess();
}

TEST_F(QuorlaCli, HelpExplainsEveryOptionAndBadCommandLinesExitWithTwo) {
    ToolRun help = Tool({L"--help"});
    EXPECT_EQ(help.exit, 0) << Describe(help);
    for (const char* option : {"--curves part|assembly|drawing", "--meshes solid|sketch",
                               "--multibody", "--no-multibody", "--units mm|cm|m|in|ft|file",
                               "--progress", "--no-progress", "--out DIR", "--json", "--help"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option << " is not explained";

    const struct {
        std::vector<std::wstring> args;
        const char* message;
    } bad[] = {
        {{}, "no command given"},
        {{L"convert", L"x.3dm"}, "unknown command 'convert'"},
        {{L"import"}, "no .3dm file given"},
        {{L"import", L"--curves", L"cube", L"x.3dm"},
         "--curves takes part, assembly or drawing, not 'cube'"},
        {{L"import", L"--meshes=wire", L"x.3dm"}, "--meshes takes solid or sketch"},
        {{L"import", L"x.3dm", L"--units"}, "--units needs a value"},
        {{L"import", L"--units", L"yd", L"x.3dm"}, "mm, cm, m, in, ft or file"},
        {{L"import", L"--json=yes", L"x.3dm"}, "--json takes no value"},
        {{L"import", L"--colour", L"x.3dm"}, "unknown option --colour"},
    };
    for (const auto& b : bad) {
        ToolRun run = Tool(b.args);
        EXPECT_EQ(run.exit, 2) << b.message << "\n" << Describe(run);
        EXPECT_NE(run.err.find(b.message), std::string::npos) << Describe(run);
        EXPECT_EQ(run.out, "");
    }
    EXPECT_FALSE(Exists(Path(L"out"))) << "a wrong command line writes nothing";
}

// Default options: a part with a 3D sketch, in the file's own unit; several
// files in one call each get their own documents and folder.
TEST_F(QuorlaCli, DefaultsTakeTheFileUnitAndEachFileGetsItsOwnDocuments) {
    const struct {
        const char* model;
        int unit;
        double factor;
    } files[] = {{"units-mm", 0, 0.001},
                 {"units-cm", 1, 0.01},
                 {"units-m", 2, 1.0},
                 {"units-in", 3, 0.0254},
                 {"units-ft", 4, 12 * 0.0254}};
    std::vector<std::wstring> args = {L"import"};
    for (const auto& f : files)
        args.push_back(Fixture(std::string("3dm/") + f.model + ".v8.3dm"));
    ToolRun run = Tool(args);
    ASSERT_EQ(run.exit, 0) << Describe(run);
    EXPECT_EQ(run.err, "") << "nothing on standard error but messages";
    for (const auto& f : files) {
        SCOPED_TRACE(f.model);
        const std::wstring folder = L"out\\" + Widen(f.model) + L".v8\\";
        ASSERT_TRUE(Exists(Path(folder + L"Part1.json")));
        EXPECT_TRUE(Exists(Path(folder + L"Part1.svg")));
        EXPECT_FALSE(Exists(Path(folder + L"Part2.json"))) << "no meshes, one document";
        const Value doc = Document(folder + L"Part1.json");
        EXPECT_EQ(doc["kind"].Str(), "part");
        EXPECT_EQ(doc["lengthUnit"].Int(), f.unit);
        ASSERT_EQ(doc["sketches"].size(), 1u);
        EXPECT_FALSE(doc["sketches"][0]["open"].Bool());
        // Rectangle (4), diagonal (1) and the box's 12 edges are lines.
        EXPECT_EQ(Count(doc, "line"), 17u);
        EXPECT_EQ(Count(doc, "circle"), 1u);
        ASSERT_EQ(Count(doc, "point"), 1u);
        const Value& truth = Truth(std::string("3dm/") + f.model + ".v8.json");
        for (const Value& o : truth["objects"].items) {
            if (o["type"].Str() != "Point") continue;
            EXPECT_TRUE(
                SamePoint((*Entities(doc)[0])["point"], o["geometry"]["location"], f.factor));
        }
        EXPECT_NE(run.out.find(std::string(f.model) + ".v8.3dm: imported"), std::string::npos);
    }
    EXPECT_NE(run.out.find("5 files imported, 0 failed"), std::string::npos) << run.out;
}

TEST_F(QuorlaCli, UnitsOptionScalesByItsUnitWhateverTheFileSays) {
    const struct {
        const wchar_t* option;
        int unit;
        double factor;
    } units[] = {{L"mm", 0, 0.001},  {L"cm", 1, 0.01},        {L"m", 2, 1.0},
                 {L"in", 3, 0.0254}, {L"ft", 4, 12 * 0.0254}, {L"file", 0, 0.001}};
    const Value& truth = Truth("3dm/lines.v8.json");
    for (const auto& u : units) {
        SCOPED_TRACE(Narrow(u.option));
        ToolRun run = Tool(
            {L"import", L"--units", u.option, L"--out", u.option, Fixture("3dm/lines.v8.3dm")});
        ASSERT_EQ(run.exit, 0) << Describe(run);
        const Value doc = Document(std::wstring(u.option) + L"\\lines.v8\\Part1.json");
        EXPECT_EQ(doc["lengthUnit"].Int(), u.unit);
        const auto entities = Entities(doc);
        ASSERT_EQ(entities.size(), 6u);
        for (size_t i = 0; i < 6; i++) {
            const Value& g = truth["objects"][i]["geometry"];
            EXPECT_TRUE(SamePoint((*entities[i])["start"], g["pointAtStart"], u.factor)) << i;
            EXPECT_TRUE(SamePoint((*entities[i])["end"], g["pointAtEnd"], u.factor)) << i;
        }
    }
}

TEST_F(QuorlaCli, AFileWithoutAUnitIsImportedInInchesWithAWarning) {
    ToolRun run =
        Tool({L"import", L"--units", L"file", L"--json", Fixture("real/V4__v4_WishBone.3dm")});
    ASSERT_EQ(run.exit, 0) << Describe(run);
    EXPECT_NE(run.err.find("V4__v4_WishBone.3dm: warning: The file's unit system is \"none\""),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("taken to be in inches"), std::string::npos) << run.err;
    const Value report = testjson::Parse(run.out);
    const Value& f = report["files"][0];
    EXPECT_EQ(f["fileUnit"].Str(), "none");
    EXPECT_EQ(f["unit"].Str(), "inches");
    EXPECT_FALSE(f["unitFromFile"].Bool());
    ASSERT_EQ(f["warnings"].size(), 1u);
    EXPECT_EQ(Document(L"out\\V4__v4_WishBone\\Part1.json")["lengthUnit"].Int(), 3);
}

// A unit the options dialog does not offer: the report names it, its size
// and the unit the documents show.
TEST_F(QuorlaCli, ReportsNameEveryUnitAndWhatTheDocumentsShow) {
    const struct {
        const char* file;
        const char* fileUnit;
        double factor;
        const char* documentUnit;
    } files[] = {
        {"units-microns", "microns", 1e-6, "millimeters"},
        {"units-decimeters", "decimeters", 0.1, "centimeters"},
        {"units-yards", "yards", 0.9144, "feet"},
        {"units-custom", "custom units of 0.25 m", 0.25, "feet"},
    };
    std::vector<std::wstring> args = {L"import", L"--json"};
    for (const auto& f : files)
        args.push_back(TestData(std::string(f.file) + ".3dm"));
    ToolRun run = Tool(args);
    ASSERT_EQ(run.exit, 0) << Describe(run);
    EXPECT_EQ(run.err, "") << "no warning for a unit the file names";
    const Value report = testjson::Parse(run.out);
    for (size_t i = 0; i < 4; i++) {
        SCOPED_TRACE(files[i].file);
        const Value& f = report["files"][i];
        EXPECT_EQ(f["fileUnit"].Str(), files[i].fileUnit);
        EXPECT_EQ(f["unit"].Str(), files[i].fileUnit);
        EXPECT_TRUE(f["unitFromFile"].Bool());
        EXPECT_EQ(f["unitFactor"].number, files[i].factor);
        EXPECT_EQ(f["documentUnit"].Str(), files[i].documentUnit);
    }

    ToolRun text = Tool({L"import", TestData("units-custom.3dm")});
    ASSERT_EQ(text.exit, 0) << Describe(text);
    EXPECT_NE(text.out.find("unit custom units of 0.25 m, absolute tolerance 0.001; imported in "
                            "custom units of 0.25 m (the file's unit, 0.25 m each), documents in "
                            "feet"),
              std::string::npos)
        << text.out;
}

TEST_F(QuorlaCli, CurveModeChoosesTheDocument) {
    const struct {
        const wchar_t* mode;
        const char* kind;
        size_t sketches;
    } modes[] = {{L"part", "part", 1}, {L"assembly", "assembly", 1}, {L"drawing", "drawing", 0}};
    for (const auto& m : modes) {
        SCOPED_TRACE(m.kind);
        ToolRun run = Tool(
            {L"import", L"--curves", m.mode, L"--out", m.mode, Fixture("3dm/polylines.v8.3dm")});
        ASSERT_EQ(run.exit, 0) << Describe(run);
        const std::wstring name =
            m.sketches ? (std::wstring(m.mode) == L"part" ? L"Part1" : L"Assem1") : L"Draw1";
        const Value doc = Document(std::wstring(m.mode) + L"\\polylines.v8\\" + name + L".json");
        EXPECT_EQ(doc["kind"].Str(), m.kind);
        EXPECT_EQ(doc["sketches"].size(), m.sketches);
        // Open square, closed square, triangle: 3 + 4 + 3 segments.
        EXPECT_EQ(Count(doc, "line"), 10u);
        EXPECT_EQ((m.sketches ? doc["entities"] : doc["sketches"]).size(), 0u);
    }
}

TEST_F(QuorlaCli, MeshModesAndMultibodyShapeTheMeshDocuments) {
    // Sketch lines: one per topological edge, all meshes in one sketch.
    ToolRun sketch = Tool(
        {L"import", L"--meshes", L"sketch", L"--out", L"sketch", Fixture("3dm/meshes.v8.3dm")});
    ASSERT_EQ(sketch.exit, 0) << Describe(sketch);
    size_t edges = 0;
    for (const Value& o : Truth("3dm/meshes.v8.json")["objects"].items)
        if (o["geometry"].Has("topologyEdgeCount"))
            edges += size_t(o["geometry"]["topologyEdgeCount"].Int());
    const Value lines = Document(L"sketch\\meshes.v8\\Part1.json");
    ASSERT_EQ(lines["sketches"].size(), 1u);
    EXPECT_EQ(Count(lines, "line"), edges);

    // Solids: the bracket's two meshes as two bodies of one part, or one part each.
    ToolRun multi = Tool({L"import", L"--out", L"multi", Example()});
    ASSERT_EQ(multi.exit, 0) << Describe(multi);
    const Value bodies = Document(L"multi\\bracket\\Part2.json");
    ASSERT_EQ(bodies["bodies"].size(), 2u);
    EXPECT_EQ(bodies["bodies"][0]["type"].Str(), "solid");
    EXPECT_FALSE(Exists(Path(L"multi\\bracket\\Part3.json")));
    const std::string svg = ReadFile(Path(L"multi\\bracket\\Part2.svg"));
    EXPECT_EQ(svg.rfind("<svg", 0), 0u);
    size_t polygons = 0;
    for (size_t at = svg.find("<polygon"); at != std::string::npos;
         at = svg.find("<polygon", at + 1))
        polygons++;
    EXPECT_EQ(polygons, bodies["bodies"][0]["faces"].size() + bodies["bodies"][1]["faces"].size());

    ToolRun single = Tool({L"import", L"--no-multibody", L"--out", L"single", Example()});
    ASSERT_EQ(single.exit, 0) << Describe(single);
    EXPECT_EQ(Document(L"single\\bracket\\Part2.json")["bodies"].size(), 1u);
    EXPECT_EQ(Document(L"single\\bracket\\Part3.json")["bodies"].size(), 1u);
}

TEST_F(QuorlaCli, AMeshThatCannotBeASolidFailsTheFileAndKeepsWhatWasBuilt) {
    ToolRun run = Tool({L"import", L"--json", Fixture("3dm/meshes.v8.3dm")});
    EXPECT_EQ(run.exit, 1) << Describe(run);
    EXPECT_NE(run.err.find("Quorla for SolidWorks 2008 version 1.0: "), std::string::npos);
    EXPECT_NE(run.err.find("meshes.v8.3dm: Unable to create body from surfaces"), std::string::npos)
        << run.err;
    const Value f = testjson::Parse(run.out)["files"][0];
    EXPECT_EQ(f["status"].Str(), "failed");
    ASSERT_EQ(f["errors"].size(), 1u);
    // The mesh without faces, the fourth, cannot be a body; those after it still are.
    EXPECT_EQ(f["errors"][0].Str(), "Unable to create body from surfaces. 1 of 8 meshes could "
                                    "not be made into a body: 4.");
    EXPECT_EQ(Document(L"out\\meshes.v8\\Part1.json")["bodies"].size(), 6u);
}

// Rhino's own sample files: each imports whole, but for the Rhino 1 files,
// which the reader refuses with its message. Every mesh face (quadrangles
// split in two counting twice) is in a body or reported not imported.
TEST_F(QuorlaCli, EveryRealSampleFileImportsAndEveryMeshFaceIsAccountedFor) {
    std::vector<std::wstring> args = {L"import", L"--json", L"--no-progress"};
    const Value& index = Truth("real/index.json");
    std::vector<std::string> names;
    for (const Value& entry : index["files"].items) {
        names.push_back(entry["file"].Str());
        args.push_back(Fixture("real/" + names.back()));
    }
    ASSERT_GT(names.size(), 100u);
    ToolRun run = Tool(args);
    EXPECT_EQ(run.exit, 1) << "the Rhino 1 files fail";
    const Value report = testjson::Parse(run.out);
    ASSERT_EQ(report["files"].size(), names.size());
    for (size_t i = 0; i < names.size(); i++) {
        const Value& f = report["files"][i];
        SCOPED_TRACE(names[i]);
        const bool rhino1 = names[i].rfind("V1__", 0) == 0;
        ASSERT_EQ(f["status"].Str(), rhino1 ? "failed" : "imported") << Describe(run);
        if (rhino1) {
            ASSERT_EQ(f["errors"].size(), 1u);
            EXPECT_NE(f["errors"][0].Str().find("is a Rhino 1 file"), std::string::npos);
            continue;
        }
        int notImported = 0;
        for (const Value& k : f["notImported"].items)
            if (k["kind"].Str() == "mesh face") notImported += k["count"].Int();
        EXPECT_EQ(f["created"]["faces"].Int() + notImported,
                  f["converted"]["meshFaces"].Int() + f["converted"]["quadsSplit"].Int());
        // The faces read are the file's (where no block copies them).
        const Value& truth = Truth("real/" + index["files"][i]["truth"].Str());
        if (!truth["objectTypeCounts"].Has("InstanceReference")) {
            int faces = 0;
            for (const Value& o : truth["objects"].items)
                if (o["type"].Str() == "Mesh") faces += o["geometry"]["faceCount"].Int();
            EXPECT_EQ(f["converted"]["meshFaces"].Int(), faces);
        }
    }
}

TEST_F(QuorlaCli, ProgressNeverGoesIntoAPipe) {
    for (const wchar_t* option : {L"--progress", L"--no-progress"}) {
        ToolRun run = Tool({L"import", option, Example()});
        EXPECT_EQ(run.exit, 0) << Describe(run);
        EXPECT_EQ(run.err, "") << Narrow(option);
        EXPECT_EQ(run.out.find("Creating"), std::string::npos) << run.out;
    }
}

TEST_F(QuorlaCli, JsonReportReconcilesTheFileWithWhatWasBuilt) {
    ToolRun run = Tool({L"import", L"--json", Fixture("3dm/mixed.v8.3dm"), Example()});
    ASSERT_EQ(run.exit, 0) << Describe(run);
    const Value report = testjson::Parse(run.out);
    ASSERT_EQ(report["files"].size(), 2u);
    EXPECT_EQ(report["imported"].Int(), 2);
    EXPECT_EQ(report["failed"].Int(), 0);
    EXPECT_GE(report["seconds"].Num(), 0.0);
    const Value& mixed = report["files"][0];
    int objects = 0;
    for (const Value& k : mixed["read"].items)
        objects += k["count"].Int();
    bool textDot = false;
    for (const Value& k : mixed["notImported"].items) {
        objects += k["count"].Int();
        EXPECT_FALSE(k["reason"].Str().empty()) << k["kind"].Str();
        textDot |= k["kind"].Str() == "text dot";
    }
    EXPECT_TRUE(textDot) << "the text dot is reported as not imported";
    EXPECT_EQ(objects, Truth("3dm/mixed.v8.json")["objectCount"].Int());
    EXPECT_EQ(mixed["objects"].Int(), objects);

    for (const Value& f : report["files"].items) {
        SCOPED_TRACE(f["file"].Str());
        // The report's counts are those of the written documents.
        std::map<std::string, int> created, written;
        for (const Value& k : f["created"]["entities"].items)
            created[k["kind"].Str()] = k["count"].Int();
        int bodies = 0;
        for (const Value& d : f["documents"].items) {
            const Value doc = testjson::Load(Narrow(Path(Widen(d["json"].Str()))));
            EXPECT_EQ(doc["name"].Str(), d["hostName"].Str());
            for (const Value* e : Entities(doc))
                written[(*e)["type"].Str()]++;
            bodies += int(doc["bodies"].size());
        }
        EXPECT_EQ(created, written);
        EXPECT_EQ(f["created"]["solidBodies"].Int() + f["created"]["sheetBodies"].Int(), bodies);
        // Every point read became a point entity; every mesh a body.
        EXPECT_EQ(created["point"], f["converted"]["points"].Int());
        EXPECT_EQ(bodies, f["converted"]["meshes"].Int());
        // Each curve and each B-rep edge gave at least one entity.
        int entities = 0;
        for (const auto& k : created)
            entities += k.second;
        EXPECT_GE(entities - created["point"],
                  f["converted"]["curves"].Int() + f["converted"]["brepEdges"].Int());
    }
}

TEST_F(QuorlaCli, FailedFilesAreReportedAndTheOthersGoOn) {
    // A fixture cut in half, in the test's folder.
    const std::string whole = ReadFile(Fixture("3dm/lines.v8.3dm"));
    ASSERT_GT(whole.size(), 100u);
    FILE* f = _wfopen(Path(L"cut.3dm").c_str(), L"wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(whole.data(), 1, whole.size() / 2, f);
    std::fclose(f);
    CreateDirectoryW(Path(L"again").c_str(), nullptr);
    CopyFileW(Fixture("3dm/lines.v8.3dm").c_str(), Path(L"again\\lines.v8.3dm").c_str(), FALSE);

    ToolRun run = Tool({L"import", L"--json", L"missing.3dm", L"cut.3dm",
                        Fixture("3dm/lines.v8.3dm"), L"again/lines.v8.3dm"});
    EXPECT_EQ(run.exit, 1) << Describe(run);
    // As the message box would say it, naming the file.
    const std::string caption = "Quorla for SolidWorks 2008 version 1.0: ";
    EXPECT_NE(run.err.find(caption + "missing.3dm: "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(caption + "cut.3dm: cut.3dm"), std::string::npos) << run.err;
    const Value report = testjson::Parse(run.out);
    ASSERT_EQ(report["files"].size(), 4u);
    EXPECT_EQ(report["failed"].Int(), 2);
    const char* status[4] = {"failed", "failed", "imported", "imported"};
    for (size_t i = 0; i < 4; i++) {
        EXPECT_EQ(report["files"][i]["status"].Str(), status[i]) << i;
        EXPECT_EQ(report["files"][i]["errors"].size(), i < 2 ? 1u : 0u) << i;
    }
    EXPECT_NE(report["files"][0]["errors"][0].Str().find("missing.3dm"), std::string::npos);
    EXPECT_FALSE(Exists(Path(L"out\\missing"))) << "no documents, no folder";
    // The same file name twice: two folders.
    EXPECT_EQ(Document(L"out\\lines.v8\\Part1.json")["name"].Str(), "Part1");
    EXPECT_EQ(Document(L"out\\lines.v8-2\\Part1.json")["name"].Str(), "Part2");
}

TEST_F(QuorlaCli, AnUnwritableOutputFolderFailsWithItsReason) {
    FILE* f = _wfopen(Path(L"taken").c_str(), L"wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    for (const wchar_t* out : {L"taken", L"taken/sub"}) {
        ToolRun run = Tool({L"import", L"--out", out, Example()});
        EXPECT_EQ(run.exit, 1) << Describe(run);
        EXPECT_NE(run.err.find("quorla: cannot create the output folder " + Narrow(out) + ": "),
                  std::string::npos)
            << run.err;
        EXPECT_EQ(run.out, "") << "nothing was imported";
    }
}

TEST_F(QuorlaCli, EarlierResultsInTheFileFolderAreReplaced) {
    ToolRun first = Tool({L"import", L"--no-multibody", Example()});
    ASSERT_EQ(first.exit, 0) << Describe(first);
    ASSERT_TRUE(Exists(Path(L"out\\bracket\\Part3.json")));
    FILE* f = _wfopen(Path(L"out\\bracket\\notes.txt").c_str(), L"wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    ToolRun second = Tool({L"import", Example()});
    ASSERT_EQ(second.exit, 0) << Describe(second);
    EXPECT_FALSE(Exists(Path(L"out\\bracket\\Part3.json")));
    EXPECT_FALSE(Exists(Path(L"out\\bracket\\Part3.svg")));
    EXPECT_TRUE(Exists(Path(L"out\\bracket\\Part2.json")));
    EXPECT_TRUE(Exists(Path(L"out\\bracket\\notes.txt"))) << "only the tool's own files go";
}

// Points and B-reps of a file without curves used to be dropped.
TEST_F(QuorlaCli, PointsAndBrepsOfAFileWithoutCurvesAreImported) {
    ToolRun run = Tool({L"import", L"--json", TestData("points-and-breps.3dm")});
    ASSERT_EQ(run.exit, 0) << Describe(run);
    const Value doc = Document(L"out\\points-and-breps\\Part1.json");
    const auto entities = Entities(doc);
    ASSERT_GE(entities.size(), 3u);
    const double want[3][3] = {{1, 2, 3}, {-4, 0, 0.5}, {10, 10, 10}};
    for (size_t i = 0; i < 3; i++) {
        ASSERT_EQ((*entities[i])["type"].Str(), "point");
        for (size_t k = 0; k < 3; k++)
            EXPECT_DOUBLE_EQ((*entities[i])["point"][k].Num(), want[i][k] * 0.001);
    }
    const Value f = testjson::Parse(run.out)["files"][0];
    EXPECT_EQ(f["converted"]["curves"].Int(), 0);
    EXPECT_EQ(f["converted"]["breps"].Int(), 2);
    // A box has 12 edges, the capped cylinder 3.
    EXPECT_EQ(f["converted"]["brepEdges"].Int(), 15);
    EXPECT_EQ(int(entities.size()), 3 + 15);
}

TEST_F(QuorlaCli, NoWindowIsCreatedAndNoDisplayIsNeeded) {
    ToolRun run = Tool({L"import", L"--meshes", L"solid", Example()}, true);
    ASSERT_EQ(run.exit, 0) << Describe(run);
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "%04lx:err:winediag", run.pid);
    EXPECT_EQ(run.err.find(prefix), std::string::npos) << run.err;
    EXPECT_TRUE(Exists(Path(L"out\\bracket\\Part2.json")));
}

} // namespace

namespace {

// Lines are recognised to each file's own absolute tolerance: the same curve,
// 0.004 mm off a straight line, is a line at 0.01 and a spline at 0.001.
TEST_F(QuorlaCli, EachFileIsRecognisedToItsOwnTolerance) {
    ToolRun run = Tool({L"import", TestData("near-line-tol-0.01.3dm"),
                        TestData("near-line-tol-0.001.3dm"), TestData("near-line-tol-0.01.3dm")});
    ASSERT_EQ(run.exit, 0) << Describe(run);
    const struct {
        const wchar_t* folder;
        const char* type;
    } want[] = {{L"near-line-tol-0.01", "line"},
                {L"near-line-tol-0.001", "splineFromNurbs"},
                {L"near-line-tol-0.01-2", "line"}};
    for (const auto& w : want) {
        const Value doc = Document(L"out\\" + std::wstring(w.folder) + L"\\Part1.json");
        const auto entities = Entities(doc);
        ASSERT_EQ(entities.size(), 1u) << Narrow(w.folder);
        EXPECT_EQ((*entities[0])["type"].Str(), w.type) << Narrow(w.folder);
    }
}

} // namespace
