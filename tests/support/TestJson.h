// A small JSON reader for tests: loads the fixtures' truth files into a tree
// of values. Numbers are parsed with strtod, which is exact for the shortest
// round-trip form the truth files use, so doubles compare bit for bit.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace testjson {

class Value {
public:
    enum class Kind { Null, Bool, Number, String, Array, Object };

    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0.0;
    std::string text;
    std::vector<Value> items;
    std::vector<std::pair<std::string, Value>> members; // in file order

    bool IsNull() const { return kind == Kind::Null; }
    bool IsNumber() const { return kind == Kind::Number; }
    bool IsString() const { return kind == Kind::String; }
    bool IsArray() const { return kind == Kind::Array; }
    bool IsObject() const { return kind == Kind::Object; }

    bool Has(const std::string& key) const { return Find(key) != nullptr; }
    const Value* Find(const std::string& key) const {
        for (const auto& m : members)
            if (m.first == key) return &m.second;
        return nullptr;
    }
    // Member access that names the missing key in its error.
    const Value& operator[](const std::string& key) const {
        const Value* v = Find(key);
        if (!v) throw std::runtime_error("JSON: no member \"" + key + "\"");
        return *v;
    }
    const Value& operator[](size_t i) const {
        if (i >= items.size()) throw std::runtime_error("JSON: index out of range");
        return items[i];
    }
    size_t size() const { return kind == Kind::Object ? members.size() : items.size(); }

    double Num() const {
        if (kind != Kind::Number) throw std::runtime_error("JSON: not a number");
        return number;
    }
    int Int() const { return static_cast<int>(Num()); }
    bool Bool() const {
        if (kind != Kind::Bool) throw std::runtime_error("JSON: not a boolean");
        return boolean;
    }
    const std::string& Str() const {
        if (kind != Kind::String) throw std::runtime_error("JSON: not a string");
        return text;
    }
};

class Parser {
public:
    explicit Parser(const std::string& s) : s_(s) {}

    Value ParseDocument() {
        Value v = ParseValue();
        SkipSpace();
        if (p_ != s_.size()) Fail("trailing characters");
        return v;
    }

private:
    const std::string& s_;
    size_t p_ = 0;

    [[noreturn]] void Fail(const char* what) const {
        throw std::runtime_error(std::string("JSON: ") + what + " at offset " + std::to_string(p_));
    }
    void SkipSpace() {
        while (p_ < s_.size() && (s_[p_] == ' ' || s_[p_] == '\n' || s_[p_] == '\r' || s_[p_] == '\t'))
            ++p_;
    }
    bool Eat(char c) {
        SkipSpace();
        if (p_ < s_.size() && s_[p_] == c) {
            ++p_;
            return true;
        }
        return false;
    }
    void Expect(char c) {
        if (!Eat(c)) Fail("unexpected character");
    }
    bool Word(const char* w) {
        size_t n = std::char_traits<char>::length(w);
        if (s_.compare(p_, n, w) == 0) {
            p_ += n;
            return true;
        }
        return false;
    }

    static void AppendUtf8(std::string& out, unsigned cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    unsigned Hex4() {
        if (p_ + 4 > s_.size()) Fail("short \\u escape");
        unsigned v = 0;
        for (int i = 0; i < 4; ++i) {
            char c = s_[p_++];
            v <<= 4;
            if (c >= '0' && c <= '9') v |= c - '0';
            else if (c >= 'a' && c <= 'f') v |= c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') v |= c - 'A' + 10;
            else Fail("bad \\u escape");
        }
        return v;
    }

    std::string ParseString() {
        Expect('"');
        std::string out;
        while (true) {
            if (p_ >= s_.size()) Fail("unterminated string");
            char c = s_[p_++];
            if (c == '"') break;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (p_ >= s_.size()) Fail("unterminated escape");
            char e = s_[p_++];
            switch (e) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                unsigned cp = Hex4();
                if (cp >= 0xD800 && cp < 0xDC00 && p_ + 6 <= s_.size() && s_[p_] == '\\' &&
                    s_[p_ + 1] == 'u') {
                    p_ += 2;
                    unsigned lo = Hex4();
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
                }
                AppendUtf8(out, cp);
                break;
            }
            default: Fail("bad escape");
            }
        }
        return out;
    }

    Value ParseValue() {
        SkipSpace();
        if (p_ >= s_.size()) Fail("unexpected end");
        Value v;
        char c = s_[p_];
        if (c == '{') {
            ++p_;
            v.kind = Value::Kind::Object;
            if (Eat('}')) return v;
            do {
                SkipSpace();
                std::string key = ParseString();
                Expect(':');
                v.members.emplace_back(std::move(key), ParseValue());
            } while (Eat(','));
            Expect('}');
        } else if (c == '[') {
            ++p_;
            v.kind = Value::Kind::Array;
            if (Eat(']')) return v;
            do {
                v.items.push_back(ParseValue());
            } while (Eat(','));
            Expect(']');
        } else if (c == '"') {
            v.kind = Value::Kind::String;
            v.text = ParseString();
        } else if (Word("true")) {
            v.kind = Value::Kind::Bool;
            v.boolean = true;
        } else if (Word("false")) {
            v.kind = Value::Kind::Bool;
        } else if (Word("null")) {
            v.kind = Value::Kind::Null;
        } else {
            const char* begin = s_.c_str() + p_;
            char* end = nullptr;
            v.kind = Value::Kind::Number;
            v.number = std::strtod(begin, &end);
            if (end == begin) Fail("bad value");
            p_ += static_cast<size_t>(end - begin);
        }
        return v;
    }
};

inline Value Parse(const std::string& text) { return Parser(text).ParseDocument(); }

inline Value Load(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) throw std::runtime_error("cannot open " + path);
    std::string text;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    std::fclose(f);
    return Parse(text);
}

} // namespace testjson
