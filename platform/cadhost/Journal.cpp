// Operation names, call counting, refusal and the journal.
#include "HostObjects.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace cadhost {

namespace {

const char* const kOpNames[kOpCount] = {
    "HostActiveDocument",
    "HostNewPart",
    "HostNewAssembly",
    "HostNewDrawing",
    "HostAddMenu",
    "HostAddMenuItem",
    "HostRemoveMenu",
    "HostFrame",
    "HostRevisionText",
    "HostBuildCode",
    "HostCloseDocument",
    "DocumentKind",
    "DocSetLengthUnit",
    "DocCreationSwitchA",
    "DocCreationSwitchB",
    "DocToggle3DSketch",
    "DocCreatePoint",
    "DocCreateLine",
    "DocCreateCircle",
    "DocCreateArc",
    "DocCreateSplineThroughPoints",
    "DocCreateSplineFromNurbs",
    "DocCloseOutA",
    "DocCloseOutB",
    "DocCloseOutC",
    "PartCreateBody",
    "BodyAddPlanarFace",
    "BodyCreateFromFaces",
    "FrameAddMenu",
    "FrameAddMenuItem",
    "Advise",
    "Unadvise",
};

void AppendDouble(std::string& out, double v) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

void AppendQuoted(std::string& out, const std::wstring& text) {
    out += '"';
    for (char c : Utf8(text)) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    out += '"';
}

} // namespace

const char* OpName(Op op) {
    int i = static_cast<int>(op);
    return i >= 0 && i < kOpCount ? kOpNames[i] : "?";
}

bool OpFromName(const std::string& name, Op* op) {
    for (int i = 0; i < kOpCount; ++i) {
        if (name == kOpNames[i]) {
            if (op) *op = static_cast<Op>(i);
            return true;
        }
    }
    return false;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

std::string JournalValue::ToString() const {
    std::string out;
    switch (type) {
    case Type::Null:
        out = "null";
        break;
    case Type::Int:
        out = std::to_string(integer);
        break;
    case Type::Double:
        AppendDouble(out, number);
        break;
    case Type::Text:
        AppendQuoted(out, text);
        break;
    case Type::Ints:
        out += '[';
        for (std::size_t i = 0; i < ints.size(); ++i) {
            if (i) out += ", ";
            out += std::to_string(ints[i]);
        }
        out += ']';
        break;
    case Type::Doubles:
        out += '[';
        for (std::size_t i = 0; i < doubles.size(); ++i) {
            if (i) out += ", ";
            AppendDouble(out, doubles[i]);
        }
        out += ']';
        break;
    }
    return out;
}

std::string JournalEntry::ToString() const {
    std::string out = Name();
    if (object >= 0) {
        bool body = op == Op::BodyAddPlanarFace || op == Op::BodyCreateFromFaces;
        out += body ? "[body " : "[doc ";
        out += std::to_string(object);
        out += ']';
    }
    out += '(';
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i) out += ", ";
        out += args[i].ToString();
    }
    out += ") = ";
    if (status == 0) {
        out += '0';
    } else {
        char buf[16];
        std::snprintf(buf, sizeof buf, "0x%08lX", static_cast<unsigned long>(status));
        out += buf;
    }
    return out;
}

Call::Call(HostState* s, Op op, int object) : state_(s), op_(op) {
    number_ = ++s->calls[static_cast<int>(op)];
    if (s->journalOn) {
        index_ = s->journal.size();
        JournalEntry e;
        e.op = op;
        e.object = object;
        s->journal.push_back(std::move(e));
    }
}

bool Call::Refused() {
    Refusal& r = state_->refusals[static_cast<int>(op_)];
    if (r.all) return true;
    if (r.at.empty()) return false;
    auto it = std::find(r.at.begin(), r.at.end(), number_);
    if (it == r.at.end()) return false;
    r.at.erase(it);
    return true;
}

void Call::Push(std::vector<JournalValue>& args, long v) {
    JournalValue j;
    j.type = JournalValue::Type::Int;
    j.integer = v;
    args.push_back(std::move(j));
}

void Call::Push(std::vector<JournalValue>& args, double v) {
    JournalValue j;
    j.type = JournalValue::Type::Double;
    j.number = v;
    args.push_back(std::move(j));
}

void Call::Push(std::vector<JournalValue>& args, const wchar_t* v) {
    JournalValue j;
    if (v) {
        j.type = JournalValue::Type::Text;
        j.text = v;
    }
    args.push_back(std::move(j));
}

void Call::Push(std::vector<JournalValue>& args, IntsArg v) {
    JournalValue j;
    if (v.p) {
        j.type = JournalValue::Type::Ints;
        j.ints.assign(v.p, v.p + v.n);
    }
    args.push_back(std::move(j));
}

void Call::Push(std::vector<JournalValue>& args, DoublesArg v) {
    JournalValue j;
    if (v.p) {
        j.type = JournalValue::Type::Doubles;
        j.doubles.assign(v.p, v.p + v.n);
    }
    args.push_back(std::move(j));
}

} // namespace cadhost
