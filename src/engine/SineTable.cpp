#include "engine/SineTable.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// Taylor series for 0 <= x <= pi/2; accurate far beyond float precision there.
constexpr double quarterSine(double x) {
    double term = x;
    double sum = x;
    for (int n = 1; n < 16; ++n) {
        term *= -x * x / static_cast<double>((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

// sin(2 pi i / 1024) from the first quarter by symmetry, so the zeros and
// peaks are exact.
constexpr double tableSine(int i) {
    const int q = kSineTableSize / 4;
    const auto angle = [](int step) { return 2.0 * kPi * static_cast<double>(step) / kSineTableSize; };
    if (i <= q) return quarterSine(angle(i));
    if (i <= 2 * q) return quarterSine(angle(2 * q - i));
    if (i <= 3 * q) return -quarterSine(angle(i - 2 * q));
    return -quarterSine(angle(kSineTableSize - i));
}

constexpr SineTable makeSineTable() {
    SineTable t{};
    for (int i = 0; i < kSineTableSize; ++i) t.sine[i] = static_cast<float>(tableSine(i));
    t.sine[kSineTableSize] = t.sine[0];
    for (int i = 0; i < kSineTableSize; ++i) t.slope[i] = t.sine[i + 1] - t.sine[i];
    return t;
}

} // namespace

constinit const SineTable sineTable = makeSineTable();

float SineTable::at(float phase) const {
    const float p = phase * static_cast<float>(kSineTableSize);
    const int i = static_cast<int>(p);
    const float f = p - static_cast<float>(i);
    const int w = i & (kSineTableSize - 1);
    return sine[w] + f * slope[w];
}
