// Turning what a plug-in hands back into stable, unambiguous output lines.
#pragma once

#include "host/aeffect.h"

#include <string>

namespace vsthost {

// The text in double quotes, with quotes, backslashes, tabs, line ends and other
// unprintable bytes escaped, so that trailing blanks stay visible.
std::string quoted(const std::string& text);
// A four-character code as its characters in quotes (escaped like quoted()).
std::string fourCharText(VstInt32 code);

// Whole-string number parsing; false for empty, partial or out-of-range text.
bool parseLong(const std::string& text, long& value);
bool parseDouble(const std::string& text, double& value);

// Whether the text ends with the suffix, ASCII letters in either case (".CLAP" as ".clap").
bool endsWithNoCase(const std::string& text, const std::string& suffix);

}  // namespace vsthost
