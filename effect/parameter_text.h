// Parameter texts for hosts that show and take values as text (VST 3, CLAP): the name and
// unit without the table's fill, the value with its unit, and the reading of what a person
// types into a host's value field.
#pragma once

#include <cstddef>
#include <string>

#include "effect/parameter_table.h"

// The table's name and label with the trailing fill removed ("Dry out", "ms", "").
std::string parameterTitle(int index);
std::string parameterUnit(int index);

// A parameter without a unit over 0..1 is a switch (Dry out): on above one half, as the
// engine takes it.
bool isSwitchParameter(int index);
inline bool switchIsOn(float value) { return value > 0.5f; }

// The host display text with the unit ("2500.000 ms", "-15.000 dB"), or "on"/"off" for a
// switch. Writes an empty text for an index out of range.
void formatParameterText(int index, float value, char* text, std::size_t size);

// "on", "off", "1" or "0", in any case, with spaces around; false for anything else.
bool parseSwitchText(const char* text, bool& on);

// The normalised value of a typed text: a decimal number, optionally followed by the
// parameter's unit or a scaled form of it ("2.5 s" or "2500 ms", "12 kHz" or "12000 Hz",
// "-6 dB", "-6"), units in any case; switches take parseSwitchText's words. Values outside
// the range are held at its ends. False, with `normalised` untouched, for anything else:
// an empty text, "nan", "inf", another unit, trailing characters, an index out of range.
bool parseParameterText(int index, const char* text, float& normalised);
