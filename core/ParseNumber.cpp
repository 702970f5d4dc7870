#include "core/ParseNumber.h"

#include <charconv>
#include <limits>
#include <string>

namespace vortiquo {

namespace {

bool isBlank(char ch) { return ch == ' ' || ch == '\t' || ch == '\n'; }
bool isDigit(char ch) { return ch >= '0' && ch <= '9'; }
bool isHexDigit(char ch)
{
    return isDigit(ch) || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F');
}
bool isOctalDigit(char ch) { return ch >= '0' && ch <= '7'; }
char upper(char ch) { return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch; }

constexpr double Largest = std::numeric_limits<double>::max();

std::string withoutBlanks(std::string_view text)
{
    std::string kept;
    kept.reserve(text.size());
    for (char ch : text)
        if (!isBlank(ch))
            kept.push_back(ch);
    return kept;
}

// Reads hexadecimal digits as a non-negative integer, rounded to the nearest
// double; an integer beyond the double range gives the largest double.
double hexDigitsToDouble(std::string_view digits)
{
    if (digits.empty())
        return 0.0;
    double value = 0.0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                        std::chars_format::hex);
    if (result.ec == std::errc::result_out_of_range)
        return Largest;
    return value;
}

// Octal digits become the same bits written in hexadecimal, so that one
// correctly rounding conversion serves both forms.
std::string octalToHex(std::string_view octal)
{
    std::string bits;
    bits.reserve(octal.size() * 3 + 3);
    for (char digit : octal) {
        const int value = digit - '0';
        bits.push_back((value & 4) ? '1' : '0');
        bits.push_back((value & 2) ? '1' : '0');
        bits.push_back((value & 1) ? '1' : '0');
    }
    bits.insert(0, (4 - bits.size() % 4) % 4, '0');
    static constexpr char HexDigits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(bits.size() / 4);
    for (std::size_t at = 0; at < bits.size(); at += 4) {
        int nibble = 0;
        for (std::size_t bit = 0; bit < 4; ++bit)
            nibble = nibble * 2 + (bits[at + bit] - '0');
        hex.push_back(HexDigits[nibble]);
    }
    return hex;
}

double readRadixInteger(std::string_view text)
{
    const char radix = upper(text[1]);
    std::size_t end = 2;
    if (radix == 'H') {
        while (end < text.size() && isHexDigit(text[end]))
            ++end;
        return hexDigitsToDouble(text.substr(2, end - 2));
    }
    while (end < text.size() && isOctalDigit(text[end]))
        ++end;
    return hexDigitsToDouble(octalToHex(text.substr(2, end - 2)));
}

// The parts of a leading decimal number: [sign] digits [. digits] [E [sign] digits].
struct DecimalNumber {
    bool negative = false;
    std::string_view integerDigits;
    std::string_view fractionDigits;
    std::string_view mantissa;  // digits with the point, without the sign
    std::string_view exponent;  // the exponent part with its letter, or empty
    bool exponentNegative = false;
    std::string_view exponentDigits;
};

std::size_t skipDigits(std::string_view text, std::size_t at)
{
    while (at < text.size() && isDigit(text[at]))
        ++at;
    return at;
}

DecimalNumber scanDecimal(std::string_view text)
{
    DecimalNumber number;
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        number.negative = text[at] == '-';
        ++at;
    }
    const std::size_t mantissaStart = at;
    std::size_t end = skipDigits(text, at);
    number.integerDigits = text.substr(at, end - at);
    at = end;
    if (at < text.size() && text[at] == '.') {
        end = skipDigits(text, at + 1);
        number.fractionDigits = text.substr(at + 1, end - at - 1);
        at = end;
    }
    number.mantissa = text.substr(mantissaStart, at - mantissaStart);
    if (number.integerDigits.empty() && number.fractionDigits.empty())
        return number;
    if (at < text.size() && upper(text[at]) == 'E') {
        std::size_t digitsStart = at + 1;
        bool negative = false;
        if (digitsStart < text.size() && (text[digitsStart] == '+' || text[digitsStart] == '-')) {
            negative = text[digitsStart] == '-';
            ++digitsStart;
        }
        end = skipDigits(text, digitsStart);
        if (end > digitsStart) {
            number.exponent = text.substr(at, end - at);
            number.exponentNegative = negative;
            number.exponentDigits = text.substr(digitsStart, end - digitsStart);
        }
    }
    return number;
}

// Whether a number too large or too small for a double is too large: its
// decimal magnitude, the place of its first significant digit, decides.
bool beyondLargest(const DecimalNumber& number)
{
    long long magnitude = 0;
    std::size_t leading = 0;
    while (leading < number.integerDigits.size() && number.integerDigits[leading] == '0')
        ++leading;
    if (leading < number.integerDigits.size()) {
        magnitude = static_cast<long long>(number.integerDigits.size() - leading);
    } else {
        std::size_t zeros = 0;
        while (zeros < number.fractionDigits.size() && number.fractionDigits[zeros] == '0')
            ++zeros;
        magnitude = -static_cast<long long>(zeros);
    }
    long long exponent = 0;
    for (char digit : number.exponentDigits) {
        exponent = exponent * 10 + (digit - '0');
        if (exponent > 1'000'000'000)
            break;  // far beyond any double either way
    }
    if (number.exponentNegative)
        exponent = -exponent;
    return magnitude + exponent > 0;
}

double readDecimal(std::string_view text)
{
    const DecimalNumber number = scanDecimal(text);
    if (number.integerDigits.empty() && number.fractionDigits.empty())
        return 0.0;
    std::string unsignedText(number.mantissa);
    unsignedText.append(number.exponent);
    double magnitude = 0.0;
    const auto result = std::from_chars(unsignedText.data(), unsignedText.data() + unsignedText.size(),
                                        magnitude, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range)
        magnitude = beyondLargest(number) ? Largest : 0.0;
    return number.negative ? -magnitude : magnitude;
}

}  // namespace

double ParseNumber(std::string_view text)
{
    const std::string compact = withoutBlanks(text);
    const std::string_view view(compact);
    if (view.size() >= 2 && view[0] == '&' && (upper(view[1]) == 'H' || upper(view[1]) == 'O'))
        return readRadixInteger(view);
    return readDecimal(view);
}

}  // namespace vortiquo
