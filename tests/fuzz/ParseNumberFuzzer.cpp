// ParseNumber on any bytes: it never crashes, its result is always finite,
// and it reads numbers exactly as the C library reads the same digits.
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "core/ParseNumber.h"
#include "tests/fuzz/FuzzCheck.h"

using namespace vortiquo;

namespace {

bool isBlank(char ch) { return ch == ' ' || ch == '\t' || ch == '\n'; }

std::string withoutBlanks(std::string_view text)
{
    std::string kept;
    for (char ch : text)
        if (!isBlank(ch))
            kept.push_back(ch);
    return kept;
}

bool onlyCharactersOf(std::string_view text, std::string_view alphabet)
{
    return text.find_first_not_of(alphabet) == std::string_view::npos;
}

bool sameBits(double left, double right)
{
    return std::memcmp(&left, &right, sizeof left) == 0;
}

// strtod's reading, with ParseNumber's rule for numbers beyond the double
// range. The process never calls setlocale, so strtod reads in the C locale.
double libraryReading(const std::string& text)
{
    const double value = std::strtod(text.c_str(), nullptr);
    return std::isinf(value) ? std::copysign(DBL_MAX, value) : value;
}

// Texts of signs, digits, points and exponent letters alone: strtod reads
// their leading decimal number just as a field must, and nothing else
// (no hexadecimal, no "inf"), so both readings must agree bit for bit,
// whether the whole text is a number or only its beginning.
void compareDecimal(const std::string& compact, double parsed)
{
    if (onlyCharactersOf(compact, "0123456789+-.eE"))
        require(sameBits(parsed, libraryReading(compact)), "a decimal number reads as strtod reads it");
}

// "&H" and "&O" followed by digits alone: the C library's hexadecimal
// reading, and its octal integers where they fit 63 bits.
void compareRadix(const std::string& compact, double parsed)
{
    if (compact.size() < 2 || compact[0] != '&')
        return;
    const std::string digits = compact.substr(2);
    const char radix = compact[1];
    if ((radix == 'H' || radix == 'h') && onlyCharactersOf(digits, "0123456789abcdefABCDEF"))
        require(sameBits(parsed, libraryReading("0x" + digits)), "&H digits read as strtod reads 0x digits");
    const std::size_t significant = digits.find_first_not_of('0');
    const bool fits = significant == std::string::npos || digits.size() - significant <= 21;
    if ((radix == 'O' || radix == 'o') && onlyCharactersOf(digits, "01234567") && fits)
        require(sameBits(parsed, static_cast<double>(std::strtoull(digits.c_str(), nullptr, 8))),
                "&O digits read as strtoull reads them");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double parsed = ParseNumber(text);
    require(std::isfinite(parsed), "the result is finite");
    const std::string compact = withoutBlanks(text);
    compareDecimal(compact, parsed);
    compareRadix(compact, parsed);
    return 0;
}
