#include "effect/parameter_text.h"

#include <cmath>
#include <cstdio>

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The table fills its texts with spaces or tabs.
std::string trimmed(const char* text) {
    std::string s(text);
    while (!s.empty() && (isSpace(s.back()) || s.back() == '\n')) s.pop_back();
    return s;
}

std::string lowered(std::string s) {
    for (char& c : s) c = lower(c);
    return s;
}

// The text between leading and trailing spaces, lower-cased.
std::string word(const char* text) {
    while (isSpace(*text)) ++text;
    return lowered(trimmed(text));
}

// More digits than a double holds change nothing but the scale.
constexpr int kSignificantDigits = 17;
constexpr int kExponentLimit = 9999;

// A decimal number at the start of text: an optional sign, digits with an optional point,
// an optional exponent. Read without the C library, whose idea of the decimal point follows
// the host's locale and which also takes "inf", "nan" and hexadecimal.
bool readDecimal(const char*& text, double& value) {
    const char* p = text;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    double mantissa = 0.0;
    int digits = 0, significant = 0, scale = 0;
    for (; isDigit(*p); ++p, ++digits) {
        if (significant < kSignificantDigits) {
            mantissa = mantissa * 10.0 + (*p - '0');
            significant += mantissa > 0.0;
        } else {
            ++scale;
        }
    }
    if (*p == '.') {
        for (++p; isDigit(*p); ++p, ++digits) {
            if (significant >= kSignificantDigits) continue;
            mantissa = mantissa * 10.0 + (*p - '0');
            significant += mantissa > 0.0;
            --scale;
        }
    }
    if (digits == 0) return false;
    if (lower(*p) == 'e') {
        const char* q = p + 1;
        bool negativeExponent = false;
        if (*q == '+' || *q == '-') negativeExponent = *q++ == '-';
        if (isDigit(*q)) {
            int exponent = 0;
            for (; isDigit(*q); ++q) exponent = exponent < kExponentLimit ? exponent * 10 + (*q - '0') : exponent;
            scale += negativeExponent ? -exponent : exponent;
            p = q;
        }
    }
    // Division by an exact power of ten keeps "2.5" and "0.1" the nearest doubles.
    if (mantissa == 0.0)
        value = 0.0;
    else if (scale < 0)
        value = mantissa / std::pow(10.0, -scale);
    else
        value = mantissa * std::pow(10.0, scale);
    if (negative) value = -value;
    text = p;
    return true;
}

// How a typed unit scales to the parameter's own: "s" for a unit of "ms", "khz" for "hz".
bool unitScale(const std::string& typed, const std::string& unit, double& scale) {
    static const struct {
        const char* typed;
        const char* unit;
        double scale;
    } scaled[] = {{"s", "ms", 1000.0}, {"khz", "hz", 1000.0}};
    scale = 1.0;
    if (typed.empty() || typed == unit) return true;
    for (const auto& s : scaled) {
        if (typed == s.typed && unit == s.unit) {
            scale = s.scale;
            return true;
        }
    }
    return false;
}

}  // namespace

std::string parameterTitle(int index) { return isParameterIndex(index) ? trimmed(parameterTable[index].name) : ""; }

std::string parameterUnit(int index) { return isParameterIndex(index) ? trimmed(parameterTable[index].label) : ""; }

// Without building a string: CLAP's process asks this for every value event.
bool isSwitchParameter(int index) {
    if (!isParameterIndex(index)) return false;
    const ParameterRange& r = parameterTable[index].range;
    for (const char* c = parameterTable[index].label; *c; ++c)
        if (!isSpace(*c) && *c != '\n') return false;
    return r.min == 0.0f && r.max == 1.0f;
}

void formatParameterText(int index, float value, char* text, std::size_t size) {
    if (text == nullptr || size == 0) return;
    text[0] = '\0';
    if (!isParameterIndex(index)) return;
    if (isSwitchParameter(index)) {
        std::snprintf(text, size, "%s", switchIsOn(value) ? "on" : "off");
        return;
    }
    char number[64];
    formatHostDisplay(index, value, number, sizeof number);
    const std::string unit = parameterUnit(index);
    std::snprintf(text, size, unit.empty() ? "%s" : "%s %s", number, unit.c_str());
}

bool parseSwitchText(const char* text, bool& on) {
    if (text == nullptr) return false;
    const std::string w = word(text);
    if (w == "on" || w == "1") {
        on = true;
        return true;
    }
    if (w == "off" || w == "0") {
        on = false;
        return true;
    }
    return false;
}

bool parseParameterText(int index, const char* text, float& normalised) {
    if (text == nullptr || !isParameterIndex(index)) return false;
    if (isSwitchParameter(index)) {
        bool on;
        if (!parseSwitchText(text, on)) return false;
        normalised = on ? 1.0f : 0.0f;
        return true;
    }
    while (isSpace(*text)) ++text;
    double value;
    if (!readDecimal(text, value)) return false;
    double scale;
    if (!unitScale(word(text), lowered(parameterUnit(index)), scale)) return false;
    const ParameterRange& r = parameterTable[index].range;
    const double physical = std::fmin(std::fmax(value * scale, r.min), r.max);
    normalised = static_cast<float>(r.normalise(physical));
    return true;
}
