#include "Convert.h"

#include <TMXCurve.h>

RecognitionTolerance::RecognitionTolerance(double fileAbsoluteTolerance)
    : previous_(TMXCurve::AbsoluteTolerance()) {
    // An unusable value keeps whatever was in force (normally the default).
    TMXCurve::SetAbsoluteTolerance(fileAbsoluteTolerance);
}

RecognitionTolerance::~RecognitionTolerance() {
    if (previous_ > 0.0)
        TMXCurve::SetAbsoluteTolerance(previous_);
    else
        TMXCurve::ResetTolerance();
}
