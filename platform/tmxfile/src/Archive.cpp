// The archive level: start section, tables, object records and attributes,
// block expansion, and the TMXFileReader entry points.
#include "TMXFile.h"

#include "ChunkReader.h"
#include "FileMap.h"
#include "ObjectDecoder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <set>

namespace tmxfile {
namespace {

const char kSignature[] = "3D Geometry File Format ";

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

struct Attributes {
    Uuid id;
    int layer = 0;
    int mode = 0; // low nibble: 0 normal, 1 hidden, 2 locked, 3 block member
    bool visible = true;
    bool pageSpace = false; // lives in a layout (page), not in the model
};

struct RecordInfo {
    size_t start = 0;
    size_t end = 0;
    uint32_t type = 0;
    Attributes attr;
    bool hasAttributes = false;
};

// Geometry of one block member, kept until the references that use it are expanded.
struct Member {
    size_t weight = 0; // points, control points, vertices and faces it holds
    ON_3dPointArray points;
    ON_ClassArray<ON_NurbsCurve> curves;
    ON_ClassArray<ON_Brep> breps;
    ON_ClassArray<ON_Mesh> meshes;
    bool isReference = false;
    Uuid definition;
    ON_Xform xform;
};

struct Definition {
    std::vector<Uuid> members;
    bool linked = false;
};

void Count(std::vector<TMXFileKindCount>& list, const std::string& kind,
           const std::string& reason = std::string()) {
    for (auto& k : list)
        if (k.kind == kind && k.reason == reason) {
            ++k.count;
            return;
        }
    list.push_back(TMXFileKindCount{kind, 1, reason});
}

const Uuid kPageViewportMarker = Uuid::FromText("9BBB37E9-2131-4FB8-B9C6-5524859B98B8");

class Archive {
public:
    Archive(const uint8_t* data, size_t size, std::string fileName, Sink& out,
            TMXFileReport& report)
        : r_(data, size), name_(std::move(fileName)), out_(out), report_(report) {}

    bool Read();
    std::string ErrorText() const;
    void SetReleaser(ChunkReader::Releaser fn, void* context) { r_.SetReleaser(fn, context); }

private:
    bool ReadStart();
    bool ReadVersion1Fluff();
    bool ReadProperties();
    bool ReadSettings();
    bool ReadLayers();
    bool ReadDefinitions();
    bool ReadDefinitionV5(Uuid& id, Definition& def);
    bool ReadDefinitionV6(Uuid& id, Definition& def);
    bool ReadLights();
    bool ReadObjects(const Chunk& table);
    bool ScanRecord(RecordInfo& info);
    bool ReadAttributes(Attributes& a);
    bool ReadAttributesV1(Attributes& a, int minor);
    bool ReadAttributesV2(Attributes& a, int minor);
    bool ReadRecord(const RecordInfo& info, Sink& sink, ObjectResult& result);
    bool Expand(const Uuid& definition, const ON_Xform& xform, Sink& sink, int depth,
                std::set<Uuid>& open, std::string& problem);
    bool ReadEnd(const Chunk& c);
    void SetContext(const std::string& c) {
        context_ = c;
        item_ = 0;
    }
    // "<what> <n>" or "<what> <n> of <total>", put into words only for an error.
    void SetContext(const char* what, size_t n, size_t total = 0) {
        itemWhat_ = what;
        item_ = n;
        itemTotal_ = total;
    }
    std::string Context() const {
        if (!item_) return context_;
        std::string c = std::string(itemWhat_) + " " + std::to_string(item_);
        if (itemTotal_) c += " of " + std::to_string(itemTotal_);
        return c;
    }

    ChunkReader r_;
    std::string name_;
    Sink& out_;
    TMXFileReport& report_;
    std::string context_; // where the reader is, for error texts
    const char* itemWhat_ = "";
    size_t item_ = 0, itemTotal_ = 0;
    std::string refused_; // a complete error text for files refused as a whole
    unsigned ov_ = 0;
    std::map<Uuid, Definition> definitions_;
    std::map<Uuid, std::unique_ptr<Member>> members_;
    size_t expanded_ = 0; // elements copied into the containers by block expansion
    size_t visits_ = 0;   // members visited expanding one reference
    size_t produced_ = 0; // elements copied expanding one reference
    static constexpr size_t kMaxExpanded = 50000000;
    static constexpr size_t kMaxCopies = 1000000;
};

std::string Archive::ErrorText() const {
    if (!refused_.empty()) return refused_;
    std::string t = name_ + " is damaged: ";
    const std::string& p = r_.Problem();
    const std::string context = Context();
    if (!context.empty()) t += context + (p.compare(0, 4, "ends") == 0 ? " " : ": ");
    t += p;
    t += " (byte " + std::to_string(r_.ProblemPos()) + " of " + std::to_string(r_.Size()) + ")";
    return t;
}

bool Archive::Read() {
    if (!ReadStart()) return false;
    // Without a version in the properties: the oldest writer for version 2
    // files, else take the file as written by a current one.
    ov_ = r_.ArchiveVersion() <= 2 ? 200012210u : 0xFFFFFFFFu;
    bool sawEnd = false;
    while (r_.Pos() < r_.Size()) {
        SetContext("the top level");
        Chunk c;
        if (!r_.Begin(c)) return false;
        const uint32_t tc = c.typecode;
        if (c.isShort)
            return r_.Fail("an unexpected value (typecode " + Hex32(tc) +
                               ") stands between the tables",
                           c.start);
        bool ok = true;
        switch (tc) {
        case tcode::PropertiesTable:
            ok = ReadProperties();
            break;
        case tcode::SettingsTable:
            ok = ReadSettings();
            break;
        case tcode::LayerTable:
            ok = ReadLayers();
            break;
        case tcode::InstanceDefinitionTable:
            ok = ReadDefinitions();
            break;
        case tcode::LightTable:
            ok = ReadLights();
            break;
        case tcode::ObjectTable:
            ok = ReadObjects(c);
            break;
        case tcode::EndOfFile:
            ok = ReadEnd(c);
            sawEnd = true;
            break;
        default:
            if ((tc & 0xFFFFF000u) != 0x10000000u) {
                SetContext("the top level");
                return r_.Fail("a chunk with typecode " + Hex32(tc) +
                                   " stands where a table should be",
                               c.start);
            }
            ok = r_.Abandon(); // a table this reader has no use for
        }
        if (!ok) return false;
        if (sawEnd) break;
    }
    if (!sawEnd) {
        SetContext("");
        return r_.Fail("the file is cut short: its end-of-file mark is missing", r_.Size());
    }
    return true;
}

bool Archive::ReadStart() {
    const size_t size = r_.Size();
    const uint8_t* d = r_.Data();
    if (size < 32 || std::memcmp(d, kSignature, 24) != 0) {
        refused_ =
            name_ + " is not a .3dm file: it does not begin with \"3D Geometry File Format\"";
        return false;
    }
    int av = 0;
    bool digits = false;
    for (int i = 24; i < 32; ++i) {
        char ch = static_cast<char>(d[i]);
        if (i == 31 && ch == 'X') ch = '2'; // obsolete beta files
        if (ch == ' ' && !digits) continue;
        if (ch < '0' || ch > '9') {
            refused_ = name_ + " is not a .3dm file: its version field is not a number";
            return false;
        }
        digits = true;
        av = av * 10 + (ch - '0');
    }
    if (!digits || av <= 0) {
        refused_ = name_ + " is not a .3dm file: its version field is not a number";
        return false;
    }
    report_.archiveVersion = av;
    const bool known = (av >= 1 && av <= 5) || av == 50 || av == 60 || av == 70 || av == 80;
    if (!known) {
        refused_ = name_ + " has archive version " + std::to_string(av) +
                   ", which this reader does not know; it reads the versions of Rhino 2 to 8";
        return false;
    }
    r_.SetArchiveVersion(av);
    r_.Skip(32);
    SetContext("the comment block");
    Chunk c;
    if (!r_.Begin(c, "the comment block")) return false;
    if (c.typecode != tcode::CommentBlock) {
        refused_ = name_ + " is not a .3dm file: its comment block is missing";
        return false;
    }
    r_.Abandon();
    if (av == 1) return ReadVersion1Fluff();
    return true;
}

// Rhino 1 files have no tables. Some carry a version 1 header over a version 2
// body: if a table follows the leading chunks, read on as version 2.
bool Archive::ReadVersion1Fluff() {
    const std::string refusal =
        name_ + " is a Rhino 1 file (archive version 1); this reader reads the files of "
                "Rhino 2 to 8 (archive versions 2 to 80): save it again from a newer Rhino";
    while (r_.Pos() + 8 <= r_.Size()) {
        uint32_t tc = 0;
        if (!r_.Peek(tc)) break;
        if ((tc & 0xFFFFF000u) == 0x10000000u) {
            r_.SetArchiveVersion(2);
            report_.archiveVersion = 2;
            return true;
        }
        if (!r_.SkipChunk()) break;
    }
    refused_ = refusal;
    return false;
}

bool Archive::ReadProperties() {
    SetContext("the properties table");
    for (;;) {
        Chunk c;
        if (!r_.Begin(c)) return false;
        if (c.typecode == tcode::EndOfTable) break;
        if (c.typecode == tcode::OpenNurbsVersion) {
            ov_ = static_cast<unsigned>(static_cast<uint64_t>(c.value) & 0xFFFFFFFFu);
            report_.openNurbsVersion = ov_;
        }
        if (!c.isShort) r_.Abandon();
    }
    return r_.Abandon();
}

bool Archive::ReadSettings() {
    SetContext("the settings table");
    for (;;) {
        Chunk c;
        if (!r_.Begin(c)) return false;
        if (c.typecode == tcode::EndOfTable) break;
        if (c.isShort) continue;
        if (c.typecode == tcode::UnitsAndTolerances) {
            SetContext("the units and tolerances");
            int32_t version = 0, unit = 0;
            if (!r_.I32(version)) return false;
            if (version >= 100 && version < 200) {
                double abstol = 0, angtol = 0, reltol = 0;
                if (!r_.I32(unit) || !r_.F64(abstol) || !r_.F64(angtol) || !r_.F64(reltol))
                    return false;
                double mpu = 0;
                if (version >= 101 && !r_.Skip(8)) return false;
                if (version >= 102 && (!r_.F64(mpu) || !r_.SkipWideString())) return false;
                const bool known = (unit >= 0 && unit <= 25) || unit == 255;
                report_.unitSystem = known ? unit : 255;
                if (unit == 11)
                    report_.metersPerUnit = mpu;
                else
                    report_.metersPerUnit = unit >= 0 && unit <= 25 && unit != 0
                                                ? TMXFileMetersPerUnit(unit)
                                                : 1;
                report_.absoluteTolerance = abstol;
                if (!r_.End()) return false;
            } else {
                r_.Abandon();
            }
            SetContext("the settings table");
            continue;
        }
        r_.Abandon();
    }
    return r_.Abandon();
}

bool Archive::ReadLayers() {
    for (int n = 1;; ++n) {
        SetContext("layer", static_cast<size_t>(n));
        Chunk c;
        if (!r_.Begin(c, "")) return false;
        if (c.typecode == tcode::EndOfTable) break;
        if (c.isShort) continue;
        if (c.typecode != tcode::LayerRecord) {
            r_.Abandon();
            continue;
        }
        // The layer's own fields are not needed: objects on hidden layers are read
        // all the same. Check the record's framing and move on.
        Chunk cls;
        if (!r_.Begin(cls, tcode::Class, "layer class")) return false;
        r_.Abandon();
        if (!r_.Abandon()) return false;
        ++report_.layers;
    }
    return r_.Abandon();
}

bool Archive::ReadDefinitionV5(Uuid& id, Definition& def) {
    int major = 0, minor = 0;
    if (!r_.Version(major, minor)) return false;
    if (major != 1)
        return r_.Fail("a block definition has the unknown version " + std::to_string(major));
    int32_t n = 0;
    if (!r_.ReadUuid(id) || !r_.ArrayCount(n, 16, "block member")) return false;
    def.members.resize(static_cast<size_t>(n));
    for (auto& m : def.members)
        if (!r_.ReadUuid(m)) return false;
    // Name, description, URL, URL tag, box, update type and linked file path follow.
    for (int i = 0; i < 4; ++i)
        if (!r_.SkipWideString()) return false;
    uint32_t type = 0;
    if (!r_.Skip(48) || !r_.U32(type)) return false;
    def.linked = type == 3;
    return true;
}

bool Archive::ReadDefinitionV6(Uuid& id, Definition& def) {
    Chunk outer;
    if (!r_.Begin(outer, tcode::Anonymous, "block definition")) return false;
    int32_t major = 0, minor = 0;
    if (!r_.I32(major) || !r_.I32(minor)) return false;
    if (major != 1)
        return r_.Fail("a block definition has the unknown version " + std::to_string(major));
    Chunk attrs;
    if (!r_.Begin(attrs, tcode::ComponentAttributes, "component attributes")) return false;
    int32_t amajor = 0, aminor = 0;
    if (!r_.I32(amajor) || !r_.I32(aminor)) return false;
    uint8_t status = 0;
    if (!r_.U8(status)) return false;
    if (status == 1 && !r_.Skip(12)) return false;
    if (!r_.U8(status)) return false;
    if (status == 1 && !r_.ReadUuid(id)) return false;
    r_.Abandon(); // type, index and name are not needed
    uint32_t type = 0;
    if (!r_.U32(type)) return false;
    def.linked = type == 3;
    Chunk units;
    if (!r_.Begin(units, tcode::Anonymous, "block unit system")) return false;
    r_.Abandon();
    for (int i = 0; i < 3; ++i)
        if (!r_.SkipWideString()) return false;
    bool hasMembers = false;
    if (!r_.Skip(48) || !r_.Bool(hasMembers)) return false;
    if (hasMembers) {
        int32_t n = 0;
        if (!r_.ArrayCount(n, 16, "block member")) return false;
        def.members.resize(static_cast<size_t>(n));
        for (auto& m : def.members)
            if (!r_.ReadUuid(m)) return false;
    }
    return r_.Abandon();
}

bool Archive::ReadDefinitions() {
    const int av = r_.ArchiveVersion();
    for (int n = 1;; ++n) {
        SetContext("block definition", static_cast<size_t>(n));
        Chunk c;
        if (!r_.Begin(c, "")) return false;
        if (c.typecode == tcode::EndOfTable) break;
        if (c.isShort) continue;
        if (c.typecode != tcode::InstanceDefinitionRecord) {
            r_.Abandon();
            continue;
        }
        Chunk cls, uuid, data;
        Uuid classId;
        if (!r_.Begin(cls, tcode::Class, "class") ||
            !r_.Begin(uuid, tcode::ClassUuid, "class id") || !r_.ReadUuid(classId) || !r_.End())
            return false;
        if (classId.IsNil()) {
            r_.Abandon();
            r_.Abandon();
            continue;
        }
        if (!r_.Begin(data, tcode::ClassData, "class data")) return false;
        uint32_t first = 0;
        if (data.dataEnd - data.body >= 4) r_.Peek(first);
        bool v6 = av >= 70;
        if (av == 60) v6 = !(ov_ <= 2348834153u || first != tcode::Anonymous);
        Uuid id;
        Definition def;
        if (!(v6 ? ReadDefinitionV6(id, def) : ReadDefinitionV5(id, def))) return false;
        r_.Abandon(); // the rest of the definition (checksums, links) is not needed
        r_.Abandon();
        if (!r_.Abandon()) return false;
        definitions_[id] = std::move(def);
        ++report_.instanceDefinitions;
    }
    return r_.Abandon();
}

bool Archive::ReadLights() {
    for (int n = 1;; ++n) {
        SetContext("light", static_cast<size_t>(n));
        Chunk c;
        if (!r_.Begin(c, "")) return false;
        if (c.typecode == tcode::EndOfTable) break;
        if (c.isShort) continue;
        if (c.typecode == tcode::LightRecord) Count(report_.skipped, "light", kReasonCannotConvert);
        r_.Abandon();
    }
    return r_.Abandon();
}

bool Archive::ReadAttributesV1(Attributes& a, int minor) {
    int16_t s = 0;
    uint8_t mode = 0, b = 0;
    if (!r_.ReadUuid(a.id) || !r_.I32(a.layer) || !r_.Skip(8) || !r_.I16(s) || !r_.I16(s) ||
        !r_.Skip(16) || !r_.Skip(4) || !r_.U8(mode) || !r_.Skip(3) || !r_.SkipWideString() ||
        !r_.SkipWideString())
        return false;
    (void)b;
    a.mode = mode & 0x0F;
    a.visible = a.mode != 1;
    int32_t n = 0;
    if (minor >= 1 && (!r_.ArrayCount(n, 4, "group") || !r_.Skip(static_cast<size_t>(n) * 4)))
        return false;
    if (minor >= 2 && !r_.Bool(a.visible)) return false;
    if (minor >= 3 &&
        (!r_.ArrayCount(n, 32, "display material") || !r_.Skip(static_cast<size_t>(n) * 32)))
        return false;
    if (minor >= 4 && !r_.Skip(4 + 1 + 4 + 1 + 8)) return false;
    if (minor >= 5 && !r_.Skip(4)) return false;
    if (minor >= 6) {
        uint8_t space = 0;
        if (!r_.U8(space) || !r_.ArrayCount(n, 32, "display material")) return false;
        if (space == 1) a.pageSpace = true;
        for (int32_t i = 0; i < n; ++i) {
            Uuid viewport, material;
            if (!r_.ReadUuid(viewport) || !r_.ReadUuid(material)) return false;
            if (material == kPageViewportMarker) a.pageSpace = true;
        }
    }
    return true;
}

bool Archive::ReadAttributesV2(Attributes& a, int minor) {
    (void)minor;
    if (!r_.ReadUuid(a.id) || !r_.I32(a.layer)) return false;
    for (;;) {
        uint8_t item = 0;
        if (!r_.U8(item)) return false;
        if (item == 0) return true;
        int32_t n = 0;
        switch (item) {
        case 1:
        case 2:
            if (!r_.SkipWideString()) return false;
            break;
        case 3:
        case 4:
        case 6:
        case 7:
        case 10:
            if (!r_.Skip(4)) return false;
            break;
        case 5:
            if (!r_.SkipChunk()) return false;
            break;
        case 8:
            if (!r_.Skip(8)) return false;
            break;
        case 9:
        case 13:
        case 14:
        case 15:
        case 16:
        case 17:
            if (!r_.Skip(1)) return false;
            break;
        case 11:
            if (!r_.Bool(a.visible)) return false;
            break;
        case 12: {
            uint8_t mode = 0;
            if (!r_.U8(mode)) return false;
            a.mode = mode & 0x0F;
            break;
        }
        case 18:
            if (!r_.ArrayCount(n, 4, "group") || !r_.Skip(static_cast<size_t>(n) * 4)) return false;
            break;
        case 19: {
            uint8_t space = 0;
            if (!r_.U8(space)) return false;
            a.pageSpace = space == 2;
            break;
        }
        default:
            // Layer, name, mode, visibility and space are known by now; the
            // items after them do not matter to the import.
            return true;
        }
    }
}

bool Archive::ReadAttributes(Attributes& a) {
    int major = 0, minor = 0;
    if (!r_.Version(major, minor)) return false;
    if (major == 1) return ReadAttributesV1(a, minor);
    if (major == 2) return ReadAttributesV2(a, minor);
    return r_.Fail("the object attributes have the unknown version " + std::to_string(major));
}

// Reads the framing and attributes of one object record; the object itself is skipped.
bool Archive::ScanRecord(RecordInfo& info) {
    Chunk rec, type;
    info.start = r_.Pos();
    if (!r_.Begin(rec, "")) return false;
    info.end = rec.end;
    if (rec.typecode != tcode::ObjectRecord)
        return r_.Fail("a chunk with typecode " + Hex32(rec.typecode) +
                           " stands where an object should be",
                       rec.start);
    if (!r_.Begin(type, tcode::ObjectRecordType, "object type")) return false;
    info.type = static_cast<uint32_t>(type.value);
    if (!r_.SkipChunk()) return false; // the object
    while (r_.Remaining() > 0) {
        Chunk c;
        if (!r_.Begin(c)) return false;
        if (c.typecode == tcode::ObjectRecordEnd) break;
        if (c.isShort) continue;
        if (c.typecode == tcode::ObjectRecordAttributes) {
            if (!ReadAttributes(info.attr)) return false;
            info.hasAttributes = true;
        }
        r_.Abandon();
    }
    return r_.Abandon();
}

bool Archive::ReadRecord(const RecordInfo& info, Sink& sink, ObjectResult& result) {
    if (!r_.Seek(info.start)) return false;
    Chunk rec, type;
    if (!r_.Begin(rec, "") || !r_.Begin(type, tcode::ObjectRecordType, "object type")) return false;
    ObjectDecoder decoder(r_, ov_);
    if (!decoder.ReadObject(sink, result)) return false;
    // Attributes were read by the scan; the rest of the record is checked for framing.
    while (r_.Remaining() > 0) {
        Chunk c;
        if (!r_.Begin(c)) return false;
        if (c.typecode == tcode::ObjectRecordEnd) break;
        if (!c.isShort) r_.Abandon();
    }
    return r_.End();
}

bool Archive::Expand(const Uuid& definition, const ON_Xform& xform, Sink& sink, int depth,
                     std::set<Uuid>& open, std::string& problem) {
    auto d = definitions_.find(definition);
    if (d == definitions_.end()) {
        problem = "its block definition is not in the file";
        return false;
    }
    if (depth > 64 || open.count(definition)) {
        problem = "its blocks contain one another in a cycle";
        return false;
    }
    open.insert(definition);
    for (const Uuid& id : d->second.members) {
        auto m = members_.find(id);
        if (m == members_.end()) continue; // members the reader left out, or linked geometry
        const Member& mem = *m->second;
        // Blocks placed in blocks multiply: a few nested levels of many
        // references can ask for more copies than any memory holds.
        if (++visits_ > kMaxCopies) {
            problem = "its blocks, nested, would make more than " +
                      std::to_string(kMaxCopies / 1000000) + " million copies";
            open.erase(definition);
            return false;
        }
        produced_ += mem.weight;
        if (expanded_ + produced_ > kMaxExpanded) {
            problem = "expanding its blocks would copy more than " +
                      std::to_string(kMaxExpanded / 1000000) + " million elements";
            open.erase(definition);
            return false;
        }
        if (mem.isReference) {
            if (!Expand(mem.definition, xform * mem.xform, sink, depth + 1, open, problem)) {
                open.erase(definition);
                return false;
            }
            continue;
        }
        for (int i = 0; i < mem.points.Count(); ++i)
            sink.points.Append(xform * mem.points[i]);
        for (int i = 0; i < mem.curves.Count(); ++i) {
            ON_NurbsCurve& c = sink.curves.AppendNew();
            c = mem.curves[i];
            c.Transform(xform);
        }
        for (int i = 0; i < mem.breps.Count(); ++i) {
            ON_Brep& b = sink.breps.AppendNew();
            b = mem.breps[i];
            b.Transform(xform);
        }
        for (int i = 0; i < mem.meshes.Count(); ++i) {
            ON_Mesh& m2 = sink.meshes.AppendNew();
            m2 = mem.meshes[i];
            m2.Transform(xform);
        }
    }
    open.erase(definition);
    return true;
}

bool Archive::ReadObjects(const Chunk& table) {
    // Pass 1: framing and attributes of every record, so that block members are
    // known before the references that use them, wherever they stand.
    std::vector<RecordInfo> records;
    for (;;) {
        SetContext("object", records.size() + 1);
        uint32_t tc = 0;
        if (!r_.Peek(tc)) return false;
        if (tc == tcode::EndOfTable) break;
        RecordInfo info;
        if (!ScanRecord(info)) return false;
        records.push_back(info);
    }
    const size_t total = records.size();
    report_.objectRecords = static_cast<int>(total);
    auto viewAid = [](const RecordInfo& info, std::string& kind) {
        if (info.type == 0x20000000u)
            kind = "clipping plane";
        else if (info.type == 0x8000u)
            kind = "detail view";
        else if (info.attr.pageSpace)
            kind = "page-space object";
        else
            return false;
        return true;
    };

    // Pass 2: block members, kept aside until their references are expanded.
    for (size_t i = 0; i < total; ++i) {
        const RecordInfo& info = records[i];
        if (info.attr.mode != 3) continue;
        SetContext("object", i + 1, total);
        std::string kind;
        if (viewAid(info, kind)) {
            Count(report_.skipped, kind, kReasonViewAid);
            continue;
        }
        auto mem = std::make_unique<Member>();
        Sink sink{mem->points, mem->curves, mem->breps, mem->meshes};
        ObjectResult res;
        if (!ReadRecord(info, sink, res)) return false;
        if (res.outcome == ObjectResult::Outcome::Skipped) {
            Count(report_.skipped, res.kind, res.reason);
            continue;
        }
        if (res.outcome == ObjectResult::Outcome::Null) continue;
        Count(report_.read, res.kind);
        size_t w = static_cast<size_t>(mem->points.Count());
        for (int i = 0; i < mem->curves.Count(); ++i)
            w += static_cast<size_t>(mem->curves[i].m_cv_count);
        for (int i = 0; i < mem->breps.Count(); ++i)
            w += static_cast<size_t>(mem->breps[i].m_V.Count() + mem->breps[i].m_E.Count() +
                                     mem->breps[i].m_F.Count());
        for (int i = 0; i < mem->meshes.Count(); ++i)
            w += static_cast<size_t>(mem->meshes[i].m_V.Count() + mem->meshes[i].m_F.Count());
        mem->weight = w;
        if (res.outcome == ObjectResult::Outcome::Reference) {
            mem->isReference = true;
            mem->definition = res.definition;
            mem->xform = res.xform;
        }
        members_[info.attr.id] = std::move(mem);
    }

    // Room for what the records will most likely give, so that the containers
    // do not grow step by step through a big file.
    int curves = 0, breps = 0, meshes = 0;
    for (const RecordInfo& info : records) {
        if (info.attr.mode == 3) continue;
        curves += info.type == 0x4u;
        breps += info.type == 0x8u || info.type == 0x10u || info.type == 0x40000000u;
        meshes += info.type == 0x20u;
    }
    out_.curves.Reserve(static_cast<size_t>(out_.curves.Count()) + static_cast<size_t>(curves));
    out_.breps.Reserve(static_cast<size_t>(out_.breps.Count()) + static_cast<size_t>(breps));
    out_.meshes.Reserve(static_cast<size_t>(out_.meshes.Count()) + static_cast<size_t>(meshes));

    // Pass 3: everything else in file order, references expanded in place.
    for (size_t i = 0; i < total; ++i) {
        const RecordInfo& info = records[i];
        if (info.attr.mode == 3) continue;
        SetContext("object", i + 1, total);
        std::string kind;
        if (viewAid(info, kind)) {
            Count(report_.skipped, kind, kReasonViewAid);
            continue;
        }
        ObjectResult res;
        if (!ReadRecord(info, out_, res)) return false;
        switch (res.outcome) {
        case ObjectResult::Outcome::Skipped:
            Count(report_.skipped, res.kind, res.reason);
            break;
        case ObjectResult::Outcome::Null:
            break;
        case ObjectResult::Outcome::Converted:
            Count(report_.read, res.kind);
            break;
        case ObjectResult::Outcome::Reference: {
            std::set<Uuid> open;
            std::string problem;
            // Expand into a scratch sink first so a broken block adds nothing.
            Member scratch;
            Sink sink{scratch.points, scratch.curves, scratch.breps, scratch.meshes};
            visits_ = produced_ = 0;
            if (!Expand(res.definition, res.xform, sink, 0, open, problem)) {
                Count(report_.skipped, res.kind, problem);
                break;
            }
            expanded_ += produced_;
            Count(report_.read, res.kind);
            out_.points.Append(scratch.points.Count(), scratch.points.Array());
            for (int k = 0; k < scratch.curves.Count(); ++k)
                out_.curves.Append(scratch.curves[k]);
            for (int k = 0; k < scratch.breps.Count(); ++k)
                out_.breps.Append(scratch.breps[k]);
            for (int k = 0; k < scratch.meshes.Count(); ++k)
                out_.meshes.Append(scratch.meshes[k]);
            break;
        }
        }
    }
    SetContext("the object table");
    if (!r_.Seek(records.empty() ? table.body : records.back().end)) return false;
    Chunk endMark;
    if (!r_.Begin(endMark)) return false;
    return r_.Abandon();
}

bool Archive::ReadEnd(const Chunk& c) {
    SetContext("the end-of-file mark");
    uint64_t stored = 0;
    if (r_.ArchiveVersion() >= 50) {
        if (!r_.Bytes(&stored, 8)) return false;
    } else {
        uint32_t s32 = 0;
        if (!r_.U32(s32)) return false;
        stored = s32;
    }
    r_.Abandon();
    if (stored != c.end)
        return r_.Fail("the file should be " + std::to_string(stored) +
                           " bytes long up to its end mark, but the mark ends at byte " +
                           std::to_string(c.end),
                       c.start);
    return true;
}

} // namespace
} // namespace tmxfile

// ---------------------------------------------------------------------------

namespace {
template <class A> void TruncateTo(A& a, int n) {
    while (a.Count() > n)
        a.Remove();
}
} // namespace

namespace {
struct UnitEntry {
    int code;
    const char* name;
    double meters;
};
// The length units of the format (ON::LengthUnitSystem).
const UnitEntry kUnits[] = {
    {0, "none", 0},
    {1, "microns", 1e-6},
    {2, "millimeters", 1e-3},
    {3, "centimeters", 1e-2},
    {4, "meters", 1},
    {5, "kilometers", 1e3},
    {6, "microinches", 2.54e-8},
    {7, "mils", 2.54e-5},
    {8, "inches", 0.0254},
    {9, "feet", 0.3048},
    {10, "miles", 1609.344},
    {11, "custom units", 0},
    {12, "angstroms", 1e-10},
    {13, "nanometers", 1e-9},
    {14, "decimeters", 0.1},
    {15, "dekameters", 10},
    {16, "hectometers", 100},
    {17, "megameters", 1e6},
    {18, "gigameters", 1e9},
    {19, "yards", 0.9144},
    {20, "printer points", 0.0254 / 72},
    {21, "printer picas", 0.0254 / 6},
    {22, "nautical miles", 1852},
    {23, "astronomical units", 1.4959787e11},
    {24, "light years", 9.4607304725808e15},
    {25, "parsecs", 3.08567758e16},
};
} // namespace

const char* TMXFileUnitName(int unitSystem) {
    for (const UnitEntry& u : kUnits)
        if (u.code == unitSystem) return u.name;
    return "unset";
}

double TMXFileMetersPerUnit(int unitSystem) {
    for (const UnitEntry& u : kUnits)
        if (u.code == unitSystem) return u.meters;
    return 0;
}

int TMXFileReport::ReadCount(const std::string& kind) const {
    for (const auto& k : read)
        if (k.kind == kind) return k.count;
    return 0;
}

int TMXFileReport::SkippedCount(const std::string& kind) const {
    int n = 0;
    for (const auto& k : skipped)
        if (k.kind == kind) n += k.count;
    return n;
}

int TMXFileReport::SkippedTotal() const {
    int n = 0;
    for (const auto& k : skipped)
        n += k.count;
    return n;
}

int TMXFileReader::ReadBuffer(const void* data, size_t size, const std::string& fileName,
                              ON_3dPointArray& points, ON_ClassArray<ON_NurbsCurve>& curves,
                              ON_ClassArray<ON_Brep>& breps, ON_ClassArray<ON_Mesh>& meshes) {
    return ReadImage(data, size, fileName, points, curves, breps, meshes, nullptr, nullptr);
}

int TMXFileReader::ReadImage(const void* data, size_t size, const std::string& fileName,
                             ON_3dPointArray& points, ON_ClassArray<ON_NurbsCurve>& curves,
                             ON_ClassArray<ON_Brep>& breps, ON_ClassArray<ON_Mesh>& meshes,
                             void (*release)(void*, const unsigned char*, size_t), void* context) {
    error_.clear();
    outOfMemory_ = false;
    report_ = TMXFileReport();
    const int p0 = points.Count(), c0 = curves.Count(), b0 = breps.Count(), m0 = meshes.Count();
    bool ok = false;
    try {
        tmxfile::Sink sink{points, curves, breps, meshes};
        tmxfile::Archive archive(static_cast<const uint8_t*>(data), size,
                                 tmxfile::BaseName(fileName), sink, report_);
        if (release) archive.SetReleaser(release, context);
        ok = archive.Read();
        if (!ok) error_ = archive.ErrorText();
    } catch (const std::bad_alloc&) {
        outOfMemory_ = true;
        error_ = tmxfile::BaseName(fileName) + " could not be read: there is not enough memory";
    } catch (...) {
        error_ = tmxfile::BaseName(fileName) + " could not be read: an unexpected error occurred";
    }
    if (!ok) {
        // Nothing half-built stays behind.
        TruncateTo(points, p0);
        TruncateTo(curves, c0);
        TruncateTo(breps, b0);
        TruncateTo(meshes, m0);
        const int av = report_.archiveVersion;
        report_ = TMXFileReport();
        report_.archiveVersion = av;
        if (error_.empty()) error_ = tmxfile::BaseName(fileName) + " could not be read";
        return 0;
    }
    report_.pointsOut = points.Count() - p0;
    report_.curvesOut = curves.Count() - c0;
    report_.brepsOut = breps.Count() - b0;
    report_.meshesOut = meshes.Count() - m0;
    return 1;
}

int TMXFileReader::ReadMapped(const tmxfile::FileMap& map, const std::string& name,
                              ON_3dPointArray& points, ON_ClassArray<ON_NurbsCurve>& curves,
                              ON_ClassArray<ON_Brep>& breps, ON_ClassArray<ON_Mesh>& meshes) {
    if (map.Size() == 0) return ReadBuffer("", 0, name, points, curves, breps, meshes);
    // Pages the reader is done with leave memory as it goes.
    return ReadImage(map.Data(), map.Size(), name, points, curves, breps, meshes,
                     &tmxfile::FileMap::Release, nullptr);
}

int TMXFileReader::ReadFile(const std::string& path, ON_3dPointArray& points,
                            ON_ClassArray<ON_NurbsCurve>& curves, ON_ClassArray<ON_Brep>& breps,
                            ON_ClassArray<ON_Mesh>& meshes) {
    const std::string name = tmxfile::BaseName(path);
    report_ = TMXFileReport();
    tmxfile::FileMap map;
    if (!map.Open(path, name, error_)) return 0;
    return ReadMapped(map, name, points, curves, breps, meshes);
}

#ifdef _WIN32
int TMXFileReader::ReadFile(const std::wstring& path, ON_3dPointArray& points,
                            ON_ClassArray<ON_NurbsCurve>& curves, ON_ClassArray<ON_Brep>& breps,
                            ON_ClassArray<ON_Mesh>& meshes) {
    // The file name for messages, as UTF-8.
    const size_t slash = path.find_last_of(L"/\\");
    const std::wstring wname = path.substr(slash == std::wstring::npos ? 0 : slash + 1);
    std::string name;
    for (size_t i = 0; i < wname.size(); ++i) {
        unsigned cp = wname[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < wname.size()) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<unsigned>(wname[++i]) - 0xDC00);
        }
        if (cp < 0x80) {
            name += static_cast<char>(cp);
        } else if (cp < 0x800) {
            name += static_cast<char>(0xC0 | (cp >> 6));
            name += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            name += static_cast<char>(0xE0 | (cp >> 12));
            name += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            name += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            name += static_cast<char>(0xF0 | (cp >> 18));
            name += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            name += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            name += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    report_ = TMXFileReport();
    tmxfile::FileMap map;
    if (!map.Open(path, name, error_)) return 0;
    return ReadMapped(map, name, points, curves, breps, meshes);
}
#endif
