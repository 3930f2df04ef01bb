// Locale-free formatting and reading of numbers.
#include "NumberText.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <limits>
#include <string>

namespace tmxnumber {
namespace {

// The characters of `text` between its spaces, narrowed; false when one is
// not ASCII.
bool Narrow(const std::wstring& text, std::string& out) {
    size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos) {
        out.clear();
        return true;
    }
    size_t last = text.find_last_not_of(L" \t");
    out.clear();
    for (size_t i = first; i <= last; ++i) {
        if (text[i] >= 0x80) return false;
        out += static_cast<char>(text[i]);
    }
    return true;
}

// Splits off a leading sign, which from_chars does not take as "+".
bool Sign(std::string& body) {
    bool negative = !body.empty() && body[0] == '-';
    if (!body.empty() && (body[0] == '-' || body[0] == '+')) body.erase(0, 1);
    return negative;
}

} // namespace

std::wstring FormatFixed(double value, int precision, bool removeTrailingZeros) {
    if (precision < 0) precision = 0;
    if (std::isnan(value)) return L"nan";
    if (std::isinf(value)) return value < 0 ? L"-inf" : L"inf";
    char buffer[400 + 320];
    auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
    if (error != std::errc()) return L"0";
    std::string text(buffer, end);
    if (removeTrailingZeros && text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') text.pop_back();
    }
    if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return std::wstring(text.begin(), text.end());
}

ReadResult ReadReal(const std::wstring& text, double& value) {
    std::string body;
    if (!Narrow(text, body)) return ReadResult::Malformed;
    if (body.empty()) return ReadResult::Empty;
    bool negative = Sign(body);
    // from_chars would take "inf", "nan" and hexadecimal-looking forms.
    if (body.empty() || !(std::isdigit(static_cast<unsigned char>(body[0])) || body[0] == '.'))
        return ReadResult::Malformed;
    double magnitude = 0;
    auto [end, error] = std::from_chars(body.data(), body.data() + body.size(), magnitude,
                                        std::chars_format::general);
    if (end != body.data() + body.size()) return ReadResult::Malformed;
    if (error == std::errc::result_out_of_range) {
        // Out of range either way: a negative exponent means too small,
        // which reads as zero; anything else is too large.
        size_t exponent = body.find_first_of("eE");
        bool tiny = exponent != std::string::npos && body.find('-', exponent) != std::string::npos;
        if (tiny) {
            value = negative ? -0.0 : 0.0;
            return ReadResult::Ok;
        }
        value = negative ? -std::numeric_limits<double>::infinity()
                         : std::numeric_limits<double>::infinity();
        return ReadResult::TooLarge;
    }
    if (error != std::errc()) return ReadResult::Malformed;
    value = negative ? -magnitude : magnitude;
    return ReadResult::Ok;
}

ReadResult ReadInteger(const std::wstring& text, long long& value) {
    std::string body;
    if (!Narrow(text, body)) return ReadResult::Malformed;
    if (body.empty()) return ReadResult::Empty;
    bool negative = !body.empty() && body[0] == '-';
    if (body[0] == '+') body.erase(0, 1);
    if (body.empty() || body == "-" || body.find_first_not_of("0123456789", negative ? 1 : 0) != std::string::npos)
        return ReadResult::Malformed;
    auto [end, error] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (error == std::errc::result_out_of_range) {
        value = negative ? LLONG_MIN : LLONG_MAX;
        return ReadResult::TooLarge;
    }
    if (error != std::errc() || end != body.data() + body.size()) return ReadResult::Malformed;
    return ReadResult::Ok;
}

} // namespace tmxnumber
