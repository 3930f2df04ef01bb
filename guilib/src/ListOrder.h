// The order in which the list control sorts the texts of a column.
//
// The first rule that both texts satisfy decides:
// 1. both read completely as a 32-bit unsigned hexadecimal number (leading
//    white space, "+" and a "0x" prefix allowed): the numbers. Decimal
//    digits order correctly this way, and words such as "Add", "Cafe" and
//    "1e5" are numbers too. A leading "-", or a value beyond 32 bits, does
//    not satisfy this rule, so signed and long integers fall to the next;
// 2. both read as a real number, completely or up to one trailing "%"
//    ("1.5%"): the numbers;
// 3. both parse as a date and time in the user's default locale: the moments;
// 4. the texts, code unit by code unit.
// A column that mixes kinds is therefore not totally ordered.
#pragma once

#include <string>
#include <vector>

namespace tmxlist {

// One text with what the rules read from it, worked out once (the date only
// when a comparison gets that far), so that a sort parses each cell once.
class SortKey {
public:
    SortKey() = default;
    explicit SortKey(std::wstring text);

    // -1, 0 or 1.
    friend int Compare(const SortKey& a, const SortKey& b);

private:
    bool IsDate() const;

    std::wstring m_text;
    bool m_isHex = false;
    unsigned long m_hex = 0;
    bool m_isReal = false;
    double m_real = 0;
    mutable signed char m_isDate = -1; // -1: not parsed yet
    mutable double m_date = 0;
};

int Compare(const SortKey& a, const SortKey& b);

inline int CompareTexts(const std::wstring& a, const std::wstring& b) {
    return Compare(SortKey(a), SortKey(b));
}

// Sorts `order` (indices into `keys`) by their keys with a quicksort that is
// not stable. It partitions around the middle element's key, held fixed, so
// its scans stay in bounds even where the comparison is not transitive; it
// recurses into the smaller part only, so its depth stays logarithmic.
void SortOrder(std::vector<int>& order, const std::vector<SortKey>& keys, bool ascending);

} // namespace tmxlist
