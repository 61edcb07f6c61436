// Number-to-text conversions for display texts: at most eight characters so that they
// fit the host's display slots.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "host/effect_base.h"

namespace {

constexpr int kTextBudget = 8;  // characters, counting sign and decimal point

void copyText(char* text, const char* source) { std::memcpy(text, source, std::strlen(source) + 1); }

}  // namespace

void EffectBase::floatToString(float value, char* text) {
    if (!text) return;
    double x = value;
    if (std::isnan(x)) return copyText(text, "NaN");
    const bool negative = x < 0.0;
    if (negative) x = -x;
    if ((negative && x > 9999999.0) || (!negative && x > 99999999.0)) return copyText(text, "Huge!");

    const double magnitude = x;
    int count = (negative ? 1 : 0) + 1;  // the sign and the point are always spent
    char integerDigits[kTextBudget];
    int integerCount = 0;
    do {
        integerDigits[integerCount++] = static_cast<char>('0' + static_cast<int>(std::fmod(x, 10.0)));
        ++count;
        x *= 0.1;
    } while (x >= 1.0 && count < kTextBudget);
    // An integer part too long for the budget would lose its leading digit; say so instead.
    if (x >= 1.0) return copyText(text, "Huge!");

    char* out = text;
    if (negative) *out++ = '-';
    while (integerCount > 0) *out++ = integerDigits[--integerCount];
    *out++ = '.';

    const int fractionCount = kTextBudget - count;
    if (fractionCount > 0) {
        double m = std::fmod(magnitude, 1.0) * std::pow(10.0, fractionCount);
        for (int i = fractionCount - 1; i >= 0; --i) {
            out[i] = m <= 0.0 ? '0' : static_cast<char>('0' + static_cast<int>(std::fmod(m, 10.0)));
            m *= 0.1;
        }
        out += fractionCount;
    }
    *out = '\0';
}

void EffectBase::longToString(VstInt32 value, char* text) {
    if (!text) return;
    // Numbers below -9999999 would need more than eight characters and lose digits.
    if (value >= 100000000 || value < -9999999) return copyText(text, "Huge!");
    char wide[16];
    std::snprintf(wide, sizeof wide, "%7d", static_cast<int>(value));
    wide[kTextBudget] = '\0';
    copyText(text, wide);
}

void EffectBase::dbToString(float value, char* text) {
    if (!text) return;
    if (value <= 0.0f) return copyText(text, "-oo");
    floatToString(static_cast<float>(20.0 * std::log10(static_cast<double>(value))), text);
}

void EffectBase::hzToString(float samples, char* text) {
    floatToString(samples == 0.0f ? 0.0f : getSampleRate() / samples, text);
}

void EffectBase::msToString(float samples, char* text) {
    const float rate = getSampleRate();
    floatToString(rate == 0.0f ? 0.0f : samples * 1000.0f / rate, text);
}
