#pragma once

#include <string_view>

namespace vortiquo {

// Turns the text of a field into a double: the leading number of the text
// once every space, tab and line feed is removed, 0 when no number leads.
// "&H" and "&O" introduce non-negative hexadecimal and octal integers.
// A full stop is the only decimal point, whatever the locale. A number beyond
// the double range gives the largest finite double of its sign, so the
// result is always finite.
double ParseNumber(std::string_view text);

}  // namespace vortiquo
