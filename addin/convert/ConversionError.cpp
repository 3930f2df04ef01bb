#include "Convert.h"

namespace {

// Function-local so that it exists before any caller, whatever the order of
// static initialisation in the module.
CString& LastConversionError() {
    static CString text;
    return text;
}

ConversionCounts& Counts() {
    static ConversionCounts counts;
    return counts;
}

} // namespace

void SetLastConversionError(const CString& text) {
    LastConversionError() = text;
}

CString GetLastConversionError() {
    return LastConversionError();
}

void ResetConversionCounts() {
    Counts() = ConversionCounts();
}

ConversionCounts GetConversionCounts() {
    return Counts();
}

ConversionCounts& ConversionCountsToFill() {
    return Counts();
}
