// quorla: imports .3dm files from the command line with the real add-in. It
// creates the embedded CAD host, loads Quorla.dll and starts it as a host
// does (InitUserDLL3), runs the add-in's own import for each file
// (QuorlaImport), and writes every document built as JSON and as an SVG
// picture, then a report. A console program: it creates no window.
#include "CadHost.h"
#include "HostContract.h"
#include "QuorlaExports.h"
#include "Report.h"
#include "Svg.h"

#include <TMXProgress.h>

#include <shellapi.h>

#include <TMXFile.h>

#include <cassert>
#include <cstdio>
#include <cwctype>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace quorla;

namespace {

const wchar_t kHelp[] =
    L"Usage: quorla import [OPTIONS] FILE.3dm...\n"
    L"\n"
    L"Imports Rhino/openNURBS .3dm files with the Quorla add-in into an embedded CAD\n"
    L"host and writes every document it built to OUT/<file name>/: <document>.json\n"
    L"(kind, length unit, 3D sketches with their entities in metres, bodies with their\n"
    L"faces) and <document>.svg (an isometric picture); earlier Part*, Assem* and Draw*\n"
    L"files there are replaced. Then it reports, per file, the\n"
    L"objects in the file by kind, the entities and bodies created, and everything not\n"
    L"imported with the reason.\n"
    L"\n"
    L"Options (defaults as the options dialog has them at first use):\n"
    L"  --curves part|assembly|drawing\n"
    L"                    points, curves and B-rep edges go into a 3D sketch of a new\n"
    L"                    part (default) or assembly, or into a new drawing\n"
    L"  --meshes solid|sketch\n"
    L"                    meshes become solid bodies (default) or 3D-sketch lines\n"
    L"  --multibody, --no-multibody\n"
    L"                    all meshes in one part (default), or one part per mesh\n"
    L"  --units mm|cm|m|in|ft|file\n"
    L"                    the unit of the file's coordinates; default and \"file\": the\n"
    L"                    unit stored in the file at its exact size (microns, yards,\n"
    L"                    custom units, ...: documents in the nearest of these five),\n"
    L"                    or inches, with a warning, when the file names no unit\n"
    L"  --progress, --no-progress\n"
    L"                    progress on standard error while it is a terminal (default on)\n"
    L"  --out DIR         the output folder (default: out)\n"
    L"  --json            the report as JSON on standard output\n"
    L"  --help            this text\n"
    L"\n"
    L"Exit status: 0 when every file was imported and written, 1 when any failed,\n"
    L"2 for a wrong command line.\n";

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size,
                            nullptr, nullptr);
    return out;
}

std::wstring Wide(const std::string& text) {
    if (text.empty()) return std::wstring();
    int size =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size);
    return out;
}

bool IsConsole(DWORD which) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(which), &mode) != 0;
}

// A console gets UTF-16, anything else (file, pipe) UTF-8.
void Write(DWORD which, const std::string& utf8) {
    HANDLE out = GetStdHandle(which);
    if (out == nullptr || out == INVALID_HANDLE_VALUE || utf8.empty()) return;
    DWORD written = 0, mode = 0;
    if (GetConsoleMode(out, &mode)) {
        std::wstring text = Wide(utf8);
        // The console wants \r\n; a lone \n may only move down a line.
        std::wstring crlf;
        for (wchar_t c : text) {
            if (c == L'\n') crlf += L'\r';
            crlf += c;
        }
        WriteConsoleW(out, crlf.data(), static_cast<DWORD>(crlf.size()), &written, nullptr);
    } else {
        WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    }
}

void Error(const std::string& text) {
    Write(STD_ERROR_HANDLE, "quorla: " + text + "\n");
}

std::string SystemMessage(DWORD code) {
    wchar_t* buffer = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    std::wstring text = n && buffer ? std::wstring(buffer, n) : L"error " + std::to_wstring(code);
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L'.'))
        text.pop_back();
    return Utf8(text);
}

struct Options {
    QuorlaImportOptions import{QUORLA_DEFAULT_CURVE_MODE, QUORLA_DEFAULT_MESH_MODE,
                               QUORLA_DEFAULT_MULTIBODY,  QUORLA_DEFAULT_UNIT_INDEX,
                               QUORLA_DEFAULT_PROGRESS,   1};
    bool progress = true;
    bool json = false;
    std::wstring out = L"out";
    std::vector<std::wstring> files;
};

// Parses the arguments after the program name; false with a message for
// anything wrong. *help is set for --help.
bool ParseArguments(const std::vector<std::wstring>& args, Options* options, bool* help,
                    std::string* message) {
    *help = false;
    if (args.empty()) {
        *message = "no command given (try: quorla import FILE.3dm, or quorla --help)";
        return false;
    }
    size_t i = 0;
    if (args[0] == L"--help" || args[0] == L"-h" || args[0] == L"help") {
        *help = true;
        return true;
    }
    if (args[0] != L"import") {
        *message = "unknown command '" + Utf8(args[0]) + "' (try: quorla --help)";
        return false;
    }
    const std::map<std::wstring, int> curves = {{L"part", 0}, {L"assembly", 1}, {L"drawing", 2}};
    const std::map<std::wstring, int> meshes = {{L"solid", 0}, {L"sketch", 1}};
    const std::map<std::wstring, int> units = {{L"mm", 0}, {L"cm", 1}, {L"m", 2},
                                               {L"in", 3}, {L"ft", 4}, {L"file", -2}};
    bool optionsEnded = false;
    for (i = 1; i < args.size(); i++) {
        std::wstring arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != L'-') {
            options->files.push_back(arg);
            continue;
        }
        if (arg == L"--") {
            optionsEnded = true;
            continue;
        }
        std::wstring name = arg, value;
        bool hasValue = false;
        size_t eq = arg.find(L'=');
        if (eq != std::wstring::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            hasValue = true;
        }
        auto takeValue = [&]() {
            if (hasValue) return true;
            if (i + 1 >= args.size()) {
                *message = "option " + Utf8(name) + " needs a value";
                return false;
            }
            value = args[++i];
            return true;
        };
        auto pick = [&](const std::map<std::wstring, int>& table, int* field, const char* allowed) {
            if (!takeValue()) return false;
            auto it = table.find(value);
            if (it == table.end()) {
                *message =
                    "option " + Utf8(name) + " takes " + allowed + ", not '" + Utf8(value) + "'";
                return false;
            }
            *field = it->second;
            return true;
        };
        auto flag = [&]() {
            if (!hasValue) return true;
            *message = "option " + Utf8(name) + " takes no value";
            return false;
        };
        if (name == L"--help" || name == L"-h") {
            *help = true;
            return true;
        } else if (name == L"--curves") {
            if (!pick(curves, &options->import.curveMode, "part, assembly or drawing"))
                return false;
        } else if (name == L"--meshes") {
            if (!pick(meshes, &options->import.meshMode, "solid or sketch")) return false;
        } else if (name == L"--units") {
            int unit = 0;
            if (!pick(units, &unit, "mm, cm, m, in, ft or file")) return false;
            options->import.unitFromFile = unit == -2;
            options->import.unitIndex = unit == -2 ? QUORLA_DEFAULT_UNIT_INDEX : unit;
        } else if (name == L"--multibody" || name == L"--no-multibody") {
            if (!flag()) return false;
            options->import.multibody = name == L"--multibody";
        } else if (name == L"--progress" || name == L"--no-progress") {
            if (!flag()) return false;
            options->progress = name == L"--progress";
        } else if (name == L"--json") {
            if (!flag()) return false;
            options->json = true;
        } else if (name == L"--out") {
            if (!takeValue()) return false;
            if (value.empty()) {
                *message = "option --out needs a folder";
                return false;
            }
            options->out = value;
        } else {
            *message = "unknown option " + Utf8(name) + " (try: quorla --help)";
            return false;
        }
    }
    if (options->files.empty()) {
        *message = "no .3dm file given";
        return false;
    }
    options->import.progress = options->progress ? 1 : 0;
    return true;
}

// Creates folder and its parents; false with the system's reason.
bool MakeFolder(const std::wstring& path, std::string* reason) {
    std::wstring prefix;
    for (size_t i = 0; i <= path.size(); i++) {
        if (i == path.size() || path[i] == L'/' || path[i] == L'\\') {
            prefix = path.substr(0, i);
            bool drive = prefix.size() == 2 && prefix[1] == L':';
            if (!prefix.empty() && !drive) {
                if (!CreateDirectoryW(prefix.c_str(), nullptr)) {
                    DWORD code = GetLastError();
                    DWORD attributes = GetFileAttributesW(prefix.c_str());
                    if (attributes == INVALID_FILE_ATTRIBUTES) {
                        *reason = SystemMessage(code);
                        return false;
                    }
                    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
                        *reason = Utf8(prefix) + " is a file, not a folder";
                        return false;
                    }
                }
            }
        }
    }
    return true;
}

// Earlier results in a file's output folder go, so that what is there is
// this run's: only names this tool writes ("Part1.json", "Draw2.svg").
void RemoveEarlierOutput(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring name = found.cFileName;
        size_t dot = name.rfind(L'.');
        if (dot == std::wstring::npos || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        std::wstring stem = name.substr(0, dot), ext = name.substr(dot);
        if (ext != L".json" && ext != L".svg") continue;
        size_t digits = stem.find_first_of(L"0123456789");
        if (digits == std::wstring::npos) continue;
        std::wstring word = stem.substr(0, digits), number = stem.substr(digits);
        bool numeric =
            !number.empty() && number.find_first_not_of(L"0123456789") == std::wstring::npos;
        if (numeric && (word == L"Part" || word == L"Assem" || word == L"Draw"))
            DeleteFileW((folder + L"\\" + name).c_str());
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

bool WriteBytes(const std::wstring& path, const std::string& bytes, std::string* reason) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *reason = SystemMessage(GetLastError());
        return false;
    }
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    DWORD code = GetLastError();
    CloseHandle(file);
    if (!ok || written != bytes.size()) {
        *reason = SystemMessage(code);
        return false;
    }
    return true;
}

// The file name without folder and extension: the name of its output folder.
std::wstring Stem(const std::wstring& path) {
    size_t slash = path.find_last_of(L"/\\:");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos && dot > 0) name = name.substr(0, dot);
    return name.empty() ? L"file" : name;
}

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

const cadhost::Op kCreateOps[cadhost::kEntityKindCount] = {
    cadhost::Op::DocCreatePoint,
    cadhost::Op::DocCreateLine,
    cadhost::Op::DocCreateCircle,
    cadhost::Op::DocCreateArc,
    cadhost::Op::DocCreateSplineThroughPoints,
    cadhost::Op::DocCreateSplineFromNurbs};

// The file's unit as the report names it: "microns", "custom units of 0.25 m".
std::string FileUnitName(int code, double metersPerUnit) {
    std::string name = TMXFileUnitName(code);
    if (code == 11) {
        char meters[64];
        std::snprintf(meters, sizeof meters, " of %.15g m", metersPerUnit);
        name += meters;
    }
    return name;
}

// Collects what the add-in reports during one import.
struct ImportContext {
    FileReport* report;
    std::string file;
};

void OnMessage(void* context, int severity, const wchar_t* caption, const wchar_t* text) {
    auto* c = static_cast<ImportContext*>(context);
    std::string body = Utf8(text ? text : L"");
    // As the message box would say it, with the file it is about.
    Write(STD_ERROR_HANDLE, Utf8(caption ? caption : L"") + ": " + c->file + ": " +
                                (severity == 0 ? "" : "warning: ") + body + "\n");
    (severity == 0 ? c->report->errors : c->report->warnings).push_back(body);
}

void OnKind(void* context, int skipped, const char* kind, int count, const char* reason) {
    auto* c = static_cast<ImportContext*>(context);
    (skipped ? c->report->skipped : c->report->read)
        .push_back({kind ? kind : "", count, reason ? reason : ""});
}

// What the conversion left out and what the host refused, by kind and reason.
void LeftOutAndRefused(const QuorlaImportResult& result, FileReport& r) {
    const struct {
        std::vector<KindCount>& list;
        const char* kind;
        int count;
        const char* reason;
    } counts[] = {
        {r.leftOut, "mesh face", result.zeroAreaFaces, "zero area (repeated or collinear corners)"},
        {r.leftOut, "mesh", result.meshesWithoutFaces, "every face of it has zero area: no body"},
        {r.leftOut, "entity", result.nonFinite - result.nonFiniteFaces,
         "its coordinates overflow when scaled to metres"},
        {r.leftOut, "mesh face", result.nonFiniteFaces,
         "its coordinates overflow when scaled to metres"},
        {r.leftOut, "curve", result.shortCurves,
         "zero length, or shorter than the file's absolute tolerance"},
        {r.refused, "mesh face", result.facesInNoBody,
         "in a mesh, or a part of one, that the host could not make into a body"},
        {r.refused, "mesh face", result.refusedFaces, "refused by the host"},
    };
    for (const auto& c : counts)
        if (c.count > 0) c.list.push_back({c.kind, c.count, c.reason});
}

class Importer {
public:
    Importer(cadhost::Host& host, QuorlaImportFn import, const Options& options)
        : host_(host), import_(import), options_(options), baseline_(host.OutstandingRefs()) {}

    FileReport Run(const std::wstring& file);

private:
    void WriteDocuments(FileReport& r, int firstDocument, const std::wstring& file);
    void CloseDocuments(int firstDocument);

    cadhost::Host& host_;
    QuorlaImportFn import_;
    const Options& options_;
    std::set<std::wstring> folders_; // output folders used in this call (lower case)
    // The add-in's own references (the application, its event connection):
    // after each file the host holds nothing else for anyone.
    const long baseline_;
};

FileReport Importer::Run(const std::wstring& file) {
    FileReport r;
    r.file = Utf8(file);
    const int firstDocument = host_.DocumentCount();
    unsigned long long callsBefore[cadhost::kEntityKindCount];
    for (int k = 0; k < cadhost::kEntityKindCount; k++)
        callsBefore[k] = host_.Calls(kCreateOps[k]);

    ImportContext context{&r, r.file};
    QuorlaImportCallbacks callbacks{&context, OnMessage, OnKind};
    QuorlaImportResult result{};
    const double start = Now();
    int ok = import_(file.c_str(), &options_.import, &callbacks, &result);
    r.seconds = Now() - start;
    r.imported = ok == 1;
    if (ok < 0) {
        r.errors.push_back("the add-in is not running");
        Error(r.file + ": the add-in is not running");
    }
    r.readOk = ok >= 0 && result.failedStep != 1;
    if (r.readOk) {
        r.archiveVersion = result.archiveVersion;
        r.fileUnitCode = result.unitSystem;
        r.fileUnit = FileUnitName(result.unitSystem, result.metersPerUnit);
        r.absoluteTolerance = result.absoluteTolerance;
        r.unitIndex = result.unitIndex;
        r.unitFromFile = result.unitFromFile != 0;
        r.unit = result.unitIndex >= 0 ? UnitName(result.unitIndex)
                 : r.unitFromFile      ? r.fileUnit
                                       : "none";
        r.unitFactor = result.unitFactor;
        r.documentUnit = UnitName(result.documentUnit);
        r.points = result.points;
        r.curves = result.curves;
        r.breps = result.breps;
        r.brepEdges = result.brepEdges;
        r.meshes = result.meshes;
        r.meshFaces = result.meshFaces;
        r.quadsSplit = result.quadsSplit;
        r.meshesSplit = result.meshesSplit;
        r.nonManifoldEdges = result.nonManifoldEdges;
        r.reversedFaces = result.reversedFaces;
        r.shellSolids = result.shellSolids;
        r.shellSheets = result.shellSheets;
        LeftOutAndRefused(result, r);
    }

    WriteDocuments(r, firstDocument, file);

    // What the host refused: calls made minus what they created.
    for (int k = 0; k < cadhost::kEntityKindCount; k++) {
        long long created = 0;
        for (const KindCount& c : r.created)
            if (c.kind == cadhost::EntityKindName(static_cast<cadhost::EntityKind>(k)))
                created = c.count;
        long long calls = static_cast<long long>(host_.Calls(kCreateOps[k]) - callsBefore[k]);
        if (calls > created)
            r.refused.push_back({cadhost::EntityKindName(static_cast<cadhost::EntityKind>(k)),
                                 calls - created, "refused by the host"});
    }
    CloseDocuments(firstDocument);
    return r;
}

// Once written, the file's documents leave the host through its own close
// operation, so that a batch of any length runs in the memory of its
// largest file.
void Importer::CloseDocuments(int firstDocument) {
    IHostApplication* app = nullptr;
    IDispatch* dispatch = host_.Application();
    dispatch->QueryInterface(IID_IHostApplication, reinterpret_cast<void**>(&app));
    dispatch->Release();
    for (int id = firstDocument; app && id < host_.DocumentCount(); id++) {
        if (!host_.DocumentOpen(id)) continue;
        const std::wstring name = host_.Document(id).name; // goes with the document
        app->CloseDocument(name.c_str());
    }
    if (app) app->Release();
    // Everything the add-in obtained for the file came back.
    assert(host_.OutstandingRefs() == baseline_ && host_.OpenDocumentCount() == 0);
}

void Importer::WriteDocuments(FileReport& r, int firstDocument, const std::wstring& file) {
    const int lastDocument = host_.DocumentCount();
    if (lastDocument == firstDocument) return;

    // OUT/<file name>, made unique within this call.
    std::wstring stem = Stem(file), name = stem;
    for (int n = 2;; n++) {
        std::wstring lower = name;
        for (wchar_t& c : lower)
            c = static_cast<wchar_t>(std::towlower(c));
        if (folders_.insert(lower).second) break;
        name = stem + L"-" + std::to_wstring(n);
    }
    std::wstring folder = options_.out + L"/" + name;
    r.outputFolder = Utf8(folder);
    std::string reason;
    bool folderOk = MakeFolder(folder, &reason);
    if (!folderOk) {
        std::string text = "cannot create the output folder " + Utf8(folder) + ": " + reason;
        Error(r.file + ": " + text);
        r.errors.push_back(text);
        r.imported = false;
    } else {
        RemoveEarlierOutput(folder);
    }

    std::map<long, int> perKind;
    std::map<std::string, long long> created;
    std::vector<std::string> order;
    for (int id = firstDocument; id < lastDocument; id++) {
        const cadhost::DocumentModel& doc = host_.Document(id);
        DocumentReport d;
        d.hostName = Utf8(doc.name);
        // Named per file, so that a file's output does not depend on what
        // else was imported in the same call.
        const std::wstring base = doc.kind == 2 ? L"Assem" : doc.kind == 3 ? L"Draw" : L"Part";
        const std::wstring stemName = base + std::to_wstring(++perKind[doc.kind]);
        d.name = Utf8(stemName);
        d.kind = doc.kind == 1   ? "part"
                 : doc.kind == 2 ? "assembly"
                 : doc.kind == 3 ? "drawing"
                                 : "unknown";
        d.unit = UnitName(static_cast<int>(doc.lengthUnit));
        d.sketches = static_cast<int>(doc.sketches.size());
        for (int k = 0; k < cadhost::kEntityKindCount; k++) {
            auto kind = static_cast<cadhost::EntityKind>(k);
            long long n = static_cast<long long>(doc.Count(kind));
            if (!n) continue;
            d.entities.push_back({cadhost::EntityKindName(kind), n, ""});
            if (!created.count(cadhost::EntityKindName(kind)))
                order.push_back(cadhost::EntityKindName(kind));
            created[cadhost::EntityKindName(kind)] += n;
        }
        for (const cadhost::Body& b : doc.bodies) {
            (b.solid ? d.solidBodies : d.sheetBodies)++;
            d.faces += static_cast<long long>(b.faces.size());
        }
        r.solidBodies += d.solidBodies;
        r.sheetBodies += d.sheetBodies;
        r.faces += d.faces;

        if (folderOk) {
            const std::wstring json = folder + L"/" + stemName + L".json";
            const std::wstring svg = folder + L"/" + stemName + L".svg";
            if (host_.WriteDocumentJson(id, json)) {
                d.json = Utf8(json);
            } else {
                std::string text = "cannot write " + Utf8(json);
                Error(r.file + ": " + text);
                r.errors.push_back(text);
                r.imported = false;
            }
            std::string caption = r.file + " - " + d.name + " (" + d.kind + ", " + d.unit + ")";
            if (WriteBytes(svg, docview::DocumentSvg(doc, caption), &reason)) {
                d.svg = Utf8(svg);
            } else {
                std::string text = "cannot write " + Utf8(svg) + ": " + reason;
                Error(r.file + ": " + text);
                r.errors.push_back(text);
                r.imported = false;
            }
        }
        r.documents.push_back(d);
    }
    for (const std::string& kind : order)
        r.created.push_back({kind, created[kind], ""});
}

std::vector<std::wstring> Arguments() {
    std::vector<std::wstring> out;
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!argv) return out;
    for (int i = 1; i < count; i++)
        out.push_back(argv[i]);
    LocalFree(argv);
    return out;
}

// Quorla.dll beside this program.
std::wstring AddinPath() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring self(path, n < MAX_PATH ? n : 0);
    size_t slash = self.find_last_of(L"\\/");
    return (slash == std::wstring::npos ? std::wstring() : self.substr(0, slash + 1)) +
           L"Quorla.dll";
}

int Main() {
    Options options;
    bool help = false;
    std::string message;
    if (!ParseArguments(Arguments(), &options, &help, &message)) {
        Error(message);
        return 2;
    }
    if (help) {
        Write(STD_OUTPUT_HANDLE, Utf8(kHelp));
        return 0;
    }

    // Progress only where a person watches it; never a window.
    TMXProgress::SetPresentation(options.progress && IsConsole(STD_ERROR_HANDLE)
                                     ? TMXProgress::PresentConsole
                                     : TMXProgress::PresentNone);

    std::string reason;
    if (!MakeFolder(options.out, &reason)) {
        Error("cannot create the output folder " + Utf8(options.out) + ": " + reason);
        return 1;
    }

    const double start = Now();
    // Each file's report is written as soon as it is done and then dropped:
    // only the counts stay for the summary.
    BatchCounts batch;
    {
        cadhost::Host host; // outlives the add-in
        host.SetJournalEnabled(false);
        HMODULE addin = LoadLibraryW(AddinPath().c_str());
        if (!addin) {
            Error("cannot load " + Utf8(AddinPath()) + ": " + SystemMessage(GetLastError()));
            return 1;
        }
        auto init = reinterpret_cast<QuorlaInitUserDLL3Fn>(
            reinterpret_cast<void*>(GetProcAddress(addin, QUORLA_INIT_EXPORT)));
        auto import = reinterpret_cast<QuorlaImportFn>(
            reinterpret_cast<void*>(GetProcAddress(addin, QUORLA_IMPORT_EXPORT)));
        if (!init || !import || init(host.Application()) != 1) {
            Error("Quorla.dll did not start");
            FreeLibrary(addin);
            return 1;
        }
        Importer importer(host, import, options);
        if (options.json) Write(STD_OUTPUT_HANDLE, JsonReportStart());
        for (const std::wstring& file : options.files) {
            const FileReport report = importer.Run(file);
            Write(STD_OUTPUT_HANDLE,
                  options.json ? JsonFileReport(report, batch.files) : TextReport(report));
            batch.Add(report);
        }
        FreeLibrary(addin);
    }
    const double seconds = Now() - start;
    Write(STD_OUTPUT_HANDLE,
          options.json ? JsonReportEnd(batch, seconds) : TextSummary(batch, seconds));
    return batch.failed ? 1 : 0;
}

} // namespace

int main() {
    return Main();
}
