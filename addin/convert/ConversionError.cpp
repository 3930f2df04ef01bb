#include "Convert.h"

namespace {

// Function-local so that it exists before any caller, whatever the order of
// static initialisation in the module.
CString& LastConversionError() {
    static CString text;
    return text;
}

} // namespace

void SetLastConversionError(const CString& text) {
    LastConversionError() = text;
}

CString GetLastConversionError() {
    return LastConversionError();
}
