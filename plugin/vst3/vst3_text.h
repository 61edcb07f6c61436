// Texts across the VST 3 interface: its fixed-size 8-bit fields and its 128-character
// UTF-16 strings. Hallmere's own texts are ASCII.
#pragma once

#include <cstddef>
#include <string>

#include "plugin/vst3/vst3_base.h"

namespace vst3 {

// Always terminated; a longer text is cut.
template <std::size_t N>
void copyText(char (&field)[N], const char* text) {
    std::size_t i = 0;
    for (; text != nullptr && text[i] != '\0' && i + 1 < N; ++i) field[i] = text[i];
    for (; i < N; ++i) field[i] = '\0';
}

// A String128 the host passes as a pointer holds 128 characters.
inline void copyText(char16* field, std::size_t size, const char* text) {
    std::size_t i = 0;
    for (; text != nullptr && text[i] != '\0' && i + 1 < size; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        field[i] = c < 0x80 ? static_cast<char16>(c) : u'?';
    }
    for (; i < size; ++i) field[i] = u'\0';
}

template <std::size_t N>
void copyText(char16 (&field)[N], const char* text) {
    copyText(field, N, text);
}

// A host's text as ASCII; false for a null text, a character beyond ASCII or no terminator
// among the first 128 characters.
inline bool asciiOf(const char16* text, std::string& ascii) {
    if (text == nullptr) return false;
    ascii.clear();
    for (std::size_t i = 0; i < 128; ++i) {
        if (text[i] == u'\0') return true;
        if (text[i] >= 0x80) return false;
        ascii += static_cast<char>(text[i]);
    }
    return false;
}

}  // namespace vst3
