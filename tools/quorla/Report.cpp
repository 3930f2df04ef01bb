#include "Report.h"

#include <cstdio>

namespace quorla {

namespace {

std::string Seconds(double s) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.3f", s);
    return buffer;
}

std::string Number(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.17g", v);
    return buffer;
}

// A factor as people write it: 1e-06, 0.9144.
std::string Short(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.15g", v);
    return buffer;
}

// "3 lines", "1 point": entity type names as people read them.
std::string Counted(long long n, const std::string& kind) {
    struct Names {
        const char* kind;
        const char* one;
        const char* many;
    };
    static const Names kNames[] = {
        {"point", "point", "points"},
        {"line", "line", "lines"},
        {"circle", "circle", "circles"},
        {"arc", "arc", "arcs"},
        {"splineThroughPoints", "spline through points", "splines through points"},
        {"splineFromNurbs", "NURBS spline", "NURBS splines"},
        {"mesh face", "mesh face", "mesh faces"},
        {"mesh", "mesh", "meshes"},
        {"entity", "entity", "entities"},
        {"curve", "curve", "curves"},
    };
    for (const Names& k : kNames)
        if (kind == k.kind) return std::to_string(n) + " " + (n == 1 ? k.one : k.many);
    return std::to_string(n) + " " + kind;
}

std::string Plural(long long n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string Join(const std::vector<std::string>& parts) {
    std::string out;
    for (size_t i = 0; i < parts.size(); i++)
        out += (i ? ", " : "") + parts[i];
    return out;
}

std::string Bodies(long long solid, long long sheet, long long faces) {
    std::vector<std::string> parts;
    if (solid)
        parts.push_back(std::to_string(solid) + (solid == 1 ? " solid body" : " solid bodies"));
    if (sheet)
        parts.push_back(std::to_string(sheet) + (sheet == 1 ? " sheet body" : " sheet bodies"));
    if ((solid || sheet) && faces >= 0)
        parts.push_back(std::to_string(faces) + (faces == 1 ? " face" : " faces"));
    return Join(parts);
}

std::string JsonKinds(const std::vector<KindCount>& kinds, bool reasons) {
    std::string out = "[";
    for (size_t i = 0; i < kinds.size(); i++) {
        out += (i ? ", " : "") + std::string("{\"kind\": ") + JsonString(kinds[i].kind) +
               ", \"count\": " + std::to_string(kinds[i].count);
        if (reasons) out += ", \"reason\": " + JsonString(kinds[i].reason);
        out += "}";
    }
    return out + "]";
}

std::string JsonStrings(const std::vector<std::string>& list) {
    std::string out = "[";
    for (size_t i = 0; i < list.size(); i++)
        out += (i ? ", " : "") + JsonString(list[i]);
    return out + "]";
}

long long Total(const std::vector<KindCount>& kinds) {
    long long n = 0;
    for (const KindCount& k : kinds)
        n += k.count;
    return n;
}

} // namespace

const char* UnitName(int unitIndex) {
    static const char* const kNames[5] = {"millimeters", "centimeters", "meters", "inches", "feet"};
    return unitIndex >= 0 && unitIndex <= 4 ? kNames[unitIndex] : "none";
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                out += buffer;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

std::string TextReport(const FileReport& f) {
    std::string out =
        f.file + ": " + (f.imported ? "imported" : "FAILED") + " in " + Seconds(f.seconds) + " s\n";
    for (const std::string& e : f.errors)
        out += "  error: " + e + "\n";
    for (const std::string& w : f.warnings)
        out += "  warning: " + w + "\n";
    if (!f.readOk) return out;

    // A unit other than the five: its exact size, and the documents' unit.
    const bool exact = f.unitIndex < 0 && f.unitFromFile;
    out += "  file: archive version " + std::to_string(f.archiveVersion) + ", unit " + f.fileUnit +
           ", absolute tolerance " + Number(f.absoluteTolerance) + "; imported in " + f.unit +
           (f.unitFromFile ? " (the file's unit" : "") +
           (exact ? ", " + Short(f.unitFactor) + " m each), documents in " + f.documentUnit
                  : f.unitFromFile ? ")" : "") +
           "\n";
    std::vector<std::string> read;
    for (const KindCount& k : f.read)
        read.push_back(k.kind + " " + std::to_string(k.count));
    for (const KindCount& k : f.skipped)
        read.push_back(k.kind + " " + std::to_string(k.count) + " (skipped)");
    const long long objects = Total(f.read) + Total(f.skipped);
    out += "  in the file: " + std::to_string(objects) + (objects == 1 ? " object" : " objects") +
           (read.empty() ? "" : " (" + Join(read) + ")") + "\n";
    out += "  to convert: " + std::to_string(f.points) + " points, " + std::to_string(f.curves) +
           " curves, " + std::to_string(f.breps) + " B-reps (" + std::to_string(f.brepEdges) +
           " edges), " + std::to_string(f.meshes) + " meshes (" + std::to_string(f.meshFaces) +
           " faces)\n";
    out += "  created:";
    if (f.documents.empty()) out += " nothing";
    out += "\n";
    for (const DocumentReport& d : f.documents) {
        std::vector<std::string> parts;
        for (const KindCount& k : d.entities)
            parts.push_back(Counted(k.count, k.kind));
        std::string bodies = Bodies(d.solidBodies, d.sheetBodies, d.faces);
        if (!bodies.empty()) parts.push_back(bodies);
        out += "    " + d.name + " (" + d.kind + ", " + d.unit +
               "): " + (parts.empty() ? "empty" : Join(parts)) + "\n";
    }
    if (f.quadsSplit)
        out += "  sent as two triangles each: " +
               Plural(f.quadsSplit, "non-planar mesh quadrangle", "non-planar mesh quadrangles") +
               "\n";
    if (f.meshesSplit) {
        // The shells of meshes the host would not take whole.
        const std::string made = Bodies(f.shellSolids, f.shellSheets, -1);
        out += "  split: " + Plural(f.meshesSplit, "mesh", "meshes") +
               " the host would not take as one body, at " +
               Plural(f.nonManifoldEdges, "non-manifold edge", "non-manifold edges") + ", into " +
               (made.empty() ? "no bodies" : made) + "; " +
               Plural(f.reversedFaces, "face", "faces") + " turned over to match their neighbours\n";
    }
    if (!f.skipped.empty() || !f.leftOut.empty() || !f.refused.empty()) {
        out += "  not imported:\n";
        for (const KindCount& k : f.skipped)
            out += "    " + std::to_string(k.count) + " " + k.kind + ": " + k.reason + "\n";
        for (const KindCount& k : f.leftOut)
            out += "    " + Counted(k.count, k.kind) + ": " + k.reason + "\n";
        for (const KindCount& k : f.refused)
            out += "    " + Counted(k.count, k.kind) + ": " + k.reason + "\n";
    }
    std::vector<std::string> written;
    for (const DocumentReport& d : f.documents) {
        if (!d.json.empty()) written.push_back(d.json);
        if (!d.svg.empty()) written.push_back(d.svg);
    }
    if (!written.empty()) out += "  written: " + Join(written) + "\n";
    return out;
}

std::string TextSummary(const BatchCounts& batch, double seconds) {
    const size_t imported = batch.files - batch.failed;
    return std::to_string(imported) + (imported == 1 ? " file" : " files") + " imported, " +
           std::to_string(batch.failed) + " failed, " + Seconds(seconds) + " s\n";
}

std::string JsonReportStart() {
    return "{\n  \"files\": [";
}

std::string JsonFileReport(const FileReport& f, size_t index) {
    std::string out = index ? ",\n    {" : "\n    {";
    out += "\"file\": " + JsonString(f.file);
    out += ", \"status\": " + JsonString(f.imported ? "imported" : "failed");
    out += ", \"errors\": " + JsonStrings(f.errors);
    out += ", \"warnings\": " + JsonStrings(f.warnings);
    out += ", \"seconds\": " + Seconds(f.seconds);
    if (f.readOk) {
        out += ",\n     \"archiveVersion\": " + std::to_string(f.archiveVersion);
        out += ", \"fileUnit\": " + JsonString(f.fileUnit);
        out += ", \"fileUnitCode\": " + std::to_string(f.fileUnitCode);
        out += ", \"absoluteTolerance\": " + Number(f.absoluteTolerance);
        out += ", \"unit\": " + JsonString(f.unit);
        out += ", \"unitIndex\": " + std::to_string(f.unitIndex);
        out += ", \"unitFactor\": " + Number(f.unitFactor);
        out += ", \"documentUnit\": " + JsonString(f.documentUnit);
        out += std::string(", \"unitFromFile\": ") + (f.unitFromFile ? "true" : "false");
        out += ",\n     \"objects\": " + std::to_string(Total(f.read) + Total(f.skipped));
        out += ", \"read\": " + JsonKinds(f.read, false);
        out += ",\n     \"converted\": {\"points\": " + std::to_string(f.points) +
               ", \"curves\": " + std::to_string(f.curves) +
               ", \"breps\": " + std::to_string(f.breps) +
               ", \"brepEdges\": " + std::to_string(f.brepEdges) +
               ", \"meshes\": " + std::to_string(f.meshes) +
               ", \"meshFaces\": " + std::to_string(f.meshFaces) +
               ", \"quadsSplit\": " + std::to_string(f.quadsSplit) + "}";
        out += ",\n     \"split\": {\"meshes\": " + std::to_string(f.meshesSplit) +
               ", \"nonManifoldEdges\": " + std::to_string(f.nonManifoldEdges) +
               ", \"facesTurned\": " + std::to_string(f.reversedFaces) +
               ", \"solidBodies\": " + std::to_string(f.shellSolids) +
               ", \"sheetBodies\": " + std::to_string(f.shellSheets) + "}";
    }
    out += ",\n     \"created\": {\"documents\": " + std::to_string(f.documents.size()) +
           ", \"entities\": " + JsonKinds(f.created, false) +
           ", \"solidBodies\": " + std::to_string(f.solidBodies) +
           ", \"sheetBodies\": " + std::to_string(f.sheetBodies) +
           ", \"faces\": " + std::to_string(f.faces) + "}";
    out += ",\n     \"notImported\": ";
    std::vector<KindCount> notImported = f.skipped;
    notImported.insert(notImported.end(), f.leftOut.begin(), f.leftOut.end());
    notImported.insert(notImported.end(), f.refused.begin(), f.refused.end());
    out += JsonKinds(notImported, true);
    out += ",\n     \"documents\": [";
    for (size_t k = 0; k < f.documents.size(); k++) {
        const DocumentReport& d = f.documents[k];
        out += k ? ",\n       {" : "\n       {";
        out += "\"name\": " + JsonString(d.name) + ", \"hostName\": " + JsonString(d.hostName) +
               ", \"kind\": " + JsonString(d.kind) + ", \"unit\": " + JsonString(d.unit) +
               ", \"json\": " + JsonString(d.json) + ", \"svg\": " + JsonString(d.svg) +
               ", \"sketches\": " + std::to_string(d.sketches) +
               ", \"entities\": " + JsonKinds(d.entities, false) +
               ", \"solidBodies\": " + std::to_string(d.solidBodies) +
               ", \"sheetBodies\": " + std::to_string(d.sheetBodies) +
               ", \"faces\": " + std::to_string(d.faces) + "}";
    }
    out += f.documents.empty() ? "]}" : "\n     ]}";
    return out;
}

std::string JsonReportEnd(const BatchCounts& batch, double seconds) {
    std::string out = batch.files ? "\n  ]" : "]";
    out += ",\n  \"imported\": " + std::to_string(batch.files - batch.failed) +
           ", \"failed\": " + std::to_string(batch.failed) + ", \"seconds\": " + Seconds(seconds) +
           "\n}\n";
    return out;
}

} // namespace quorla
