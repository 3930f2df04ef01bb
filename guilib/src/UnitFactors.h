// Length units of the unit converter and the factor between two of them.
//
// Factors come from exact tables, not from dividing unit sizes: metric to
// metric is a power of ten written as a literal (millimetres to microns is
// exactly 1000), imperial to imperial a literal of its own, and across the
// systems the inch (from metric) or the centimetre (from imperial) is the
// bridge, with the unit's size in that bridge unit.
#pragma once

namespace tmxunits {

enum Unit {
    Microns, Millimeters, Centimeters, Meters, Kilometers,
    Microinches, Mils, Inches, Feet, Miles,
    UnitCount
};

// Multiplies a length in `from` to give it in `to`. The same unit, or an
// index outside 0..9 (no unit chosen), gives 1.
inline double Factor(int from, int to) {
    if (from == to || from < 0 || from >= UnitCount || to < 0 || to >= UnitCount) return 1;
    // Powers of ten from 1e-9 to 1e9, by exponent + 9.
    static const double kPowers[19] = {1e-9, 1e-8, 1e-7, 1e-6, 1e-5, 1e-4, 1e-3, 1e-2, 1e-1, 1,
                                       1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9};
    static const int kMetricExponent[5] = {-6, -3, -2, 0, 3}; // metres per unit
    static const double kImperial[5][5] = {
        {1, 0.001, 1e-6, 8.333333333333333e-08, 1.5782828282828283e-11},
        {1000, 1, 0.001, 8.333333333333333e-05, 1.5782828282828283e-08},
        {1e6, 1000, 1, 0.08333333333333333, 1.5782828282828283e-05},
        {1.2e7, 12000, 12, 1, 0.0001893939393939394},
        {6.336e10, 6.336e7, 63360, 5280, 1},
    };
    static const double kMetricInInches[5] = {3.937007874015748e-05, 0.03937007874015748,
                                              0.39370078740157477, 39.370078740157474,
                                              39370.07874015748};
    static const double kImperialInCentimeters[5] = {2.54e-06, 0.00254, 2.54, 30.48, 160934.4};
    const bool fromMetric = from < Microinches, toMetric = to < Microinches;
    if (fromMetric && toMetric) return kPowers[kMetricExponent[from] - kMetricExponent[to] + 9];
    if (!fromMetric && !toMetric) return kImperial[from - Microinches][to - Microinches];
    if (fromMetric) return Factor(Inches, to) * kMetricInInches[from];
    return Factor(Centimeters, to) * kImperialInCentimeters[from - Microinches];
}

} // namespace tmxunits
