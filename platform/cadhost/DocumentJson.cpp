// A document as one JSON text (schema in README.md). Numbers are written in
// their shortest form that reads back to the same double.
#include "HostObjects.h"

#include <charconv>

namespace cadhost {

namespace {

const char* KindName(long kind) {
    switch (kind) {
    case HOST_KIND_PART:
        return "part";
    case HOST_KIND_ASSEMBLY:
        return "assembly";
    case HOST_KIND_DRAWING:
        return "drawing";
    default:
        return "unknown";
    }
}

const char* UnitName(long unit) {
    static const char* const kNames[5] = {"millimeters", "centimeters", "meters", "inches", "feet"};
    return unit >= 0 && unit < 5 ? kNames[unit] : "unknown";
}

class Writer {
public:
    Writer(std::string& out, std::FILE* file) : out_(out), file_(file) {}
    ~Writer() { Flush(); }

    Writer& Raw(const char* s) {
        out_ += s;
        MaybeFlush();
        return *this;
    }
    Writer& Number(double v) {
        char buf[32];
        auto r = std::to_chars(buf, buf + sizeof buf, v);
        out_.append(buf, r.ptr);
        return *this;
    }
    Writer& Integer(long long v) {
        out_ += std::to_string(v);
        return *this;
    }
    Writer& String(const std::string& s) {
        out_ += '"';
        for (unsigned char c : s) {
            if (c == '"' || c == '\\') {
                out_ += '\\';
                out_ += static_cast<char>(c);
            } else if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out_ += buf;
            } else {
                out_ += static_cast<char>(c);
            }
        }
        out_ += '"';
        return *this;
    }
    Writer& Vec(const double* v) {
        out_ += '[';
        Number(v[0]).Raw(", ").Number(v[1]).Raw(", ").Number(v[2]);
        out_ += ']';
        return *this;
    }
    Writer& Vecs(const double* v, std::size_t count) {
        out_ += '[';
        for (std::size_t i = 0; i < count; ++i) {
            if (i) out_ += ", ";
            Vec(v + 3 * i);
        }
        out_ += ']';
        return *this;
    }
    Writer& Numbers(const double* v, std::size_t count) {
        out_ += '[';
        for (std::size_t i = 0; i < count; ++i) {
            if (i) out_ += ", ";
            Number(v[i]);
        }
        out_ += ']';
        return *this;
    }

private:
    void MaybeFlush() {
        if (file_ && out_.size() >= (1u << 20)) Flush();
    }
    void Flush() {
        if (!file_ || out_.empty()) return;
        std::fwrite(out_.data(), 1, out_.size(), file_);
        out_.clear();
    }

    std::string& out_;
    std::FILE* file_;
};

void WriteEntity(Writer& w, const DocumentModel& doc, const Entity& e) {
    const double* v = doc.Values(e);
    w.Raw("{\"type\": ").String(EntityKindName(e.kind));
    switch (e.kind) {
    case EntityKind::Point:
        w.Raw(", \"point\": ").Vec(v);
        break;
    case EntityKind::Line:
        w.Raw(", \"start\": ").Vec(v).Raw(", \"end\": ").Vec(v + 3);
        break;
    case EntityKind::Circle:
        w.Raw(", \"center\": ").Vec(v).Raw(", \"radius\": ").Number(v[3]);
        break;
    case EntityKind::Arc:
        w.Raw(", \"center\": ").Vec(v).Raw(", \"start\": ").Vec(v + 3).Raw(", \"end\": ");
        w.Vec(v + 6).Raw(", \"direction\": ").Integer(e.direction);
        break;
    case EntityKind::SplineThroughPoints:
        w.Raw(", \"points\": ").Vecs(v, static_cast<std::size_t>(e.count));
        break;
    case EntityKind::SplineFromNurbs: {
        std::size_t knots = static_cast<std::size_t>(e.order + e.count);
        w.Raw(", \"order\": ").Integer(e.order).Raw(", \"periodic\": ").Integer(e.periodic);
        w.Raw(", \"knots\": ").Numbers(v, knots);
        w.Raw(", \"controlPoints\": ").Vecs(v + knots, static_cast<std::size_t>(e.count));
        break;
    }
    }
    w.Raw("}");
}

void WriteEntities(Writer& w, const DocumentModel& doc, std::size_t first, std::size_t count,
                   int sketch, const char* indent, const char* closing) {
    w.Raw("[");
    bool any = false;
    for (std::size_t i = first; i < first + count; ++i) {
        const Entity& e = doc.entities[i];
        if (e.sketch != sketch) continue;
        w.Raw(any ? ",\n" : "\n").Raw(indent);
        WriteEntity(w, doc, e);
        any = true;
    }
    if (any) w.Raw("\n").Raw(closing);
    w.Raw("]");
}

void WriteOptional(Writer& w, long value) {
    if (value < 0)
        w.Raw("null");
    else
        w.Integer(value);
}

} // namespace

const char* EntityKindName(EntityKind kind) {
    switch (kind) {
    case EntityKind::Point:
        return "point";
    case EntityKind::Line:
        return "line";
    case EntityKind::Circle:
        return "circle";
    case EntityKind::Arc:
        return "arc";
    case EntityKind::SplineThroughPoints:
        return "splineThroughPoints";
    case EntityKind::SplineFromNurbs:
        return "splineFromNurbs";
    }
    return "?";
}

void WriteJson(const DocumentModel& doc, std::string& out, std::FILE* file) {
    Writer w(out, file);
    w.Raw("{\n  \"name\": ").String(Utf8(doc.name));
    w.Raw(",\n  \"kind\": ").String(KindName(doc.kind));
    w.Raw(",\n  \"kindCode\": ").Integer(doc.kind);
    w.Raw(",\n  \"lengthUnit\": ").Integer(doc.lengthUnit);
    w.Raw(",\n  \"lengthUnitName\": ").String(UnitName(doc.lengthUnit));
    w.Raw(",\n  \"creationSwitchA\": ");
    WriteOptional(w, doc.switchA);
    w.Raw(",\n  \"creationSwitchB\": ");
    WriteOptional(w, doc.switchB);
    w.Raw(",\n  \"closeOuts\": {\"A\": ").Integer(doc.closeOuts[0]);
    w.Raw(", \"B\": ").Integer(doc.closeOuts[1]).Raw(", \"C\": ").Integer(doc.closeOuts[2]);
    w.Raw("},\n  \"sketches\": [");
    for (std::size_t s = 0; s < doc.sketches.size(); ++s) {
        const Sketch& sk = doc.sketches[s];
        w.Raw(s ? ",\n    {\"open\": " : "\n    {\"open\": ").Raw(sk.open ? "true" : "false");
        w.Raw(", \"entities\": ");
        WriteEntities(w, doc, sk.first, sk.count, static_cast<int>(s), "      ", "    ");
        w.Raw("}");
    }
    w.Raw(doc.sketches.empty() ? "]" : "\n  ]");
    w.Raw(",\n  \"entities\": ");
    WriteEntities(w, doc, 0, doc.entities.size(), -1, "    ", "  ");
    w.Raw(",\n  \"bodies\": [");
    for (std::size_t b = 0; b < doc.bodies.size(); ++b) {
        const Body& body = doc.bodies[b];
        w.Raw(b ? ",\n    {\"type\": " : "\n    {\"type\": ");
        w.String(body.solid ? "solid" : "sheet").Raw(", \"faces\": [");
        for (std::size_t i = 0; i < body.faces.size(); ++i) {
            const Face& f = body.faces[i];
            w.Raw(i ? ",\n        {\"corners\": " : "\n        {\"corners\": ");
            w.Vecs(f.corners, static_cast<std::size_t>(f.count));
            w.Raw(", \"normal\": ").Vec(f.normal).Raw("}");
        }
        w.Raw(body.faces.empty() ? "]}" : "\n      ]}");
    }
    w.Raw(doc.bodies.empty() ? "]" : "\n  ]");
    w.Raw("\n}\n");
}

} // namespace cadhost
