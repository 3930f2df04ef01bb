// What one call of the tool did, per file: what the file held, what the
// import made of it, what it left out and why; as text for people and as
// JSON for scripts.
#pragma once

#include <string>
#include <vector>

namespace quorla {

struct KindCount {
    std::string kind;
    long long count = 0;
    std::string reason;
};

struct DocumentReport {
    std::string name;     // per file, as its output files are named ("Part1")
    std::string hostName; // the host's name, which counts over the whole call
    std::string kind;     // "part", "assembly", "drawing"
    std::string unit;     // its length unit
    std::string json;     // files written ("" when writing failed)
    std::string svg;
    std::vector<KindCount> entities; // by entity type, those present
    long long solidBodies = 0, sheetBodies = 0, faces = 0;
    int sketches = 0;
};

struct FileReport {
    std::string file; // as given on the command line
    bool imported = false;
    std::vector<std::string> errors, warnings;
    // The file.
    int archiveVersion = 0;
    int fileUnitCode = 0;
    std::string fileUnit;
    double absoluteTolerance = 0;
    std::vector<KindCount> read, skipped;
    // What the reader gave the conversion.
    bool readOk = false;
    int points = 0, curves = 0, breps = 0, brepEdges = 0, meshes = 0, meshFaces = 0;
    int quadsSplit = 0; // non-planar quadrangles sent as two triangles
    // Meshes the host would not take as one body, sent as shells.
    int meshesSplit = 0, nonManifoldEdges = 0, reversedFaces = 0, shellSolids = 0,
        shellSheets = 0;
    // The unit the import used: its index when one of the five (else -1), its
    // name, metres per unit, and the documents' length unit.
    int unitIndex = -1;
    bool unitFromFile = false;
    std::string unit = "none";
    double unitFactor = 1.0;
    std::string documentUnit = "none";
    // What it built and what the host refused.
    std::vector<DocumentReport> documents;
    std::vector<KindCount> created; // entities by type over all documents
    long long solidBodies = 0, sheetBodies = 0, faces = 0;
    std::vector<KindCount> leftOut; // by the conversion, with the reason
    std::vector<KindCount> refused; // by entity type, with the reason
    std::string outputFolder;
    double seconds = 0;
};

const char* UnitName(int unitIndex); // "millimeters" ... "feet", "none" for -1

// What the summary needs of a batch: its reports are not kept.
struct BatchCounts {
    size_t files = 0, failed = 0;
    void Add(const FileReport& f) {
        files++;
        failed += !f.imported;
    }
};

std::string TextReport(const FileReport& file);
std::string TextSummary(const BatchCounts& batch, double seconds);
// The JSON report in pieces, written as the files are done: the start, each
// file (index: how many came before it), the end with the summary.
std::string JsonReportStart();
std::string JsonFileReport(const FileReport& file, size_t index);
std::string JsonReportEnd(const BatchCounts& batch, double seconds);

// A JSON string literal.
std::string JsonString(const std::string& text);

} // namespace quorla
