// The list control's comparison of cell texts and its sort.
#include "ListOrder.h"

#include "NumberText.h"

#include <framework.h>
#include <oleauto.h>

#include <cwctype>
#include <utility>

namespace tmxlist {
namespace {

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// The text as the C library reads an unsigned hexadecimal number, but
// refusing a minus sign and values beyond 32 bits instead of wrapping or
// saturating them.
bool ReadHex(const std::wstring& text, unsigned long& value) {
    size_t i = 0;
    while (i < text.size() && std::iswspace(text[i]))
        ++i;
    if (i < text.size() && text[i] == L'+') ++i;
    // "0x" is a prefix only when a digit follows; else "0" is read and the
    // "x" left over.
    if (i + 2 < text.size() && text[i] == L'0' && (text[i + 1] == L'x' || text[i + 1] == L'X') &&
        HexDigit(text[i + 2]) >= 0)
        i += 2;
    if (i == text.size()) return false;
    unsigned long long v = 0;
    for (; i < text.size(); ++i) {
        int d = HexDigit(text[i]);
        if (d < 0) return false;
        v = v * 16 + static_cast<unsigned>(d);
        if (v > 0xFFFFFFFFull) return false;
    }
    value = static_cast<unsigned long>(v);
    return true;
}

// A real number, or one with a single "%" after it.
bool ReadRealOrPercent(const std::wstring& text, double& value) {
    std::wstring body = text;
    if (!body.empty() && body.back() == L'%') body.pop_back();
    tmxnumber::ReadResult result = tmxnumber::ReadReal(body, value);
    return result == tmxnumber::ReadResult::Ok || result == tmxnumber::ReadResult::TooLarge;
}

template <class T> int Order(const T& a, const T& b) {
    return a < b ? -1 : b < a ? 1 : 0;
}

} // namespace

SortKey::SortKey(std::wstring text) : m_text(std::move(text)) {
    if (m_text.empty()) return;
    m_isHex = ReadHex(m_text, m_hex);
    m_isReal = ReadRealOrPercent(m_text, m_real);
}

bool SortKey::IsDate() const {
    if (m_isDate < 0) {
        DATE date = 0;
        m_isDate = !m_text.empty() && SUCCEEDED(VarDateFromStr(const_cast<OLECHAR*>(m_text.c_str()),
                                                               LOCALE_USER_DEFAULT, 0, &date));
        m_date = date;
    }
    return m_isDate > 0;
}

int Compare(const SortKey& a, const SortKey& b) {
    if (a.m_isHex && b.m_isHex) return Order(a.m_hex, b.m_hex);
    if (a.m_isReal && b.m_isReal) return Order(a.m_real, b.m_real);
    if (a.IsDate() && b.IsDate()) {
        // Before 30 December 1899 the fraction of a date runs the other
        // way; the framework's dates compare by the moment they stand for.
        COleDateTime x(a.m_date), y(b.m_date);
        return x < y ? -1 : y < x ? 1 : 0;
    }
    int c = a.m_text.compare(b.m_text);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

namespace {

class QuickSort {
public:
    QuickSort(std::vector<int>& order, const std::vector<SortKey>& keys, bool ascending)
        : order_(order), keys_(keys), sign_(ascending ? 1 : -1) {}

    // Each scan stops at the latest at the element the last swap put
    // behind it (or at the pivot itself), whatever the other comparisons say.
    void Run(int lo, int hi) {
        while (lo < hi) {
            const SortKey& pivot =
                keys_[static_cast<size_t>(order_[static_cast<size_t>((lo + hi) / 2)])];
            int i = hi, j = lo;
            do {
                while (Against(j, pivot) < 0)
                    ++j;
                while (Against(i, pivot) > 0)
                    --i;
                if (i < j) break;
                if (i != j)
                    std::swap(order_[static_cast<size_t>(i)], order_[static_cast<size_t>(j)]);
                --i;
                ++j;
            } while (i >= j);
            if (i - lo < hi - j) {
                Run(lo, i);
                lo = j;
            } else {
                Run(j, hi);
                hi = i;
            }
        }
    }

private:
    int Against(int position, const SortKey& pivot) const {
        return sign_ *
               Compare(keys_[static_cast<size_t>(order_[static_cast<size_t>(position)])], pivot);
    }

    std::vector<int>& order_;
    const std::vector<SortKey>& keys_;
    int sign_;
};

} // namespace

void SortOrder(std::vector<int>& order, const std::vector<SortKey>& keys, bool ascending) {
    if (order.size() > 1)
        QuickSort(order, keys, ascending).Run(0, static_cast<int>(order.size()) - 1);
}

} // namespace tmxlist
