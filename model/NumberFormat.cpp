#include "NumberFormat.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace brelloc {

namespace {

// Adding and subtracting 1.5 * 2^52 rounds a double below 2^51 in magnitude
// to a whole number, ties to even, as printf rounds.
constexpr double kRoundingShift = 6755399441055744.0;

// Values below this in magnitude take the quick path for one decimal.
constexpr double kQuickLimit = 1e14;

// Copies the text to out, padded with blanks on the left to width, as
// printf right-aligns a number; returns the length, or 0 if out is too small.
std::size_t RightAligned(char* out, std::size_t capacity, const char* text, std::size_t length,
                         int width)
{
    const std::size_t pad = width > 0 && length < static_cast<std::size_t>(width)
                                ? static_cast<std::size_t>(width) - length
                                : 0;
    if (pad + length > capacity)
        return 0;
    std::memset(out, ' ', pad);
    std::memcpy(out + pad, text, length);
    return pad + length;
}

// "%*.1f" of a finite value below kQuickLimit, the PicTeX file's format,
// without the general conversion: ten times the value is formed exactly as
// a sum of two doubles (8v + 2v, both exact, and the rounding error of their
// sum), rounded to a whole number of tenths exactly as printf rounds the
// exact binary value, and written out. Returns 0 if out is too small.
std::size_t FormatOneDecimal(char* out, std::size_t capacity, double value, int width)
{
    const double eight = value * 8.0;
    const double two = value * 2.0;
    const double sum = eight + two;
    const double twoPart = sum - eight;
    const double error = (eight - (sum - twoPart)) + (two - twoPart); // 10v = sum + error
    double tenths = (sum + kRoundingShift) - kRoundingShift;          // nearest, ties even
    const double rest = sum - tenths;                                 // exact
    if (rest == 0.5 && error > 0.0)
        tenths += 1.0; // above the tie, not on it
    else if (rest == -0.5 && error < 0.0)
        tenths -= 1.0;

    // Digits from the right: the tenth, the point, the whole part.
    char digits[24];
    char* end = digits + sizeof digits;
    char* p = end;
    auto magnitude = static_cast<unsigned long long>(std::fabs(tenths));
    *--p = static_cast<char>('0' + magnitude % 10);
    *--p = '.';
    magnitude /= 10;
    do {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (std::signbit(value))
        *--p = '-'; // printf keeps the sign of -0.0 and of -0.04
    return RightAligned(out, capacity, p, static_cast<std::size_t>(end - p), width);
}

} // namespace

std::size_t FormatFixedTo(char* out, std::size_t capacity, double value, int width,
                          int precision)
{
    if (precision == 1 && std::fabs(value) < kQuickLimit)
        return FormatOneDecimal(out, capacity, value, width);

    // The longest fixed text of a double: 309 integer digits, sign, point and
    // the decimals.
    std::array<char, 352> digits{};
#if defined(__cpp_lib_to_chars)
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value,
                                      std::chars_format::fixed, precision);
    if (result.ec != std::errc{})
        return 0;
    const auto length = static_cast<std::size_t>(result.ptr - digits.data());
#else
    // A standard library without floating-point to_chars (the WebAssembly
    // build's). Its snprintf converts exactly and has no locale that could
    // change the decimal point, so the text is the same.
    const int written =
        std::snprintf(digits.data(), digits.size(), "%.*f", precision, value);
    if (written < 0 || static_cast<std::size_t>(written) >= digits.size())
        return 0;
    const auto length = static_cast<std::size_t>(written);
#endif
    return RightAligned(out, capacity, digits.data(), length, width);
}

std::string FormatFixed(double value, int width, int precision)
{
    std::array<char, 400> buffer{};
    const std::size_t length =
        FormatFixedTo(buffer.data(), buffer.size(), value, width, precision);
    return std::string(buffer.data(), length);
}

namespace {

// A decimal in scientific form: sign, significant digits, exponent of the
// first digit.
struct Decimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

// "%.*e" of the value with `count` significant digits, correctly rounded.
Decimal Nearest(double value, int count)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.*e", count - 1, value);
    Decimal decimal;
    const char* p = text;
    decimal.negative = *p == '-';
    if (decimal.negative)
        ++p;
    for (; *p != 'e'; ++p) {
        if (*p != '.')
            decimal.digits += *p;
    }
    decimal.exponent = std::atoi(p + 1);
    return decimal;
}

// The next decimal of the same number of digits, larger in magnitude.
Decimal NextUp(Decimal decimal)
{
    std::size_t k = decimal.digits.size();
    while (k > 0 && decimal.digits[k - 1] == '9')
        decimal.digits[--k] = '0';
    if (k > 0) {
        ++decimal.digits[k - 1];
    } else { // 99..9 became 100..0: one more digit before the point
        decimal.digits.insert(decimal.digits.begin(), '1');
        decimal.digits.pop_back();
        ++decimal.exponent;
    }
    return decimal;
}

bool ReadsBackAs(const Decimal& decimal, double value)
{
    const std::string text = (decimal.negative ? "-" : "") + decimal.digits.substr(0, 1) + "." +
                             decimal.digits.substr(1) + "e" + std::to_string(decimal.exponent);
    return std::strtod(text.c_str(), nullptr) == value;
}

} // namespace

std::string FormatShortestByPrintf(double value)
{
    // The fewest significant digits that read back exactly, and of those the
    // nearest: printf rounds correctly, so the nearest decimal of each length
    // is tried in turn. Just above a power of two the values that read back
    // reach half as far below as above, so where the nearest falls short
    // below, the next one up may still read back.
    Decimal decimal;
    for (int count = 1; count <= 17; ++count) {
        decimal = Nearest(value, count);
        if (ReadsBackAs(decimal, value))
            break;
        const Decimal up = NextUp(decimal);
        if (ReadsBackAs(up, value)) {
            decimal = up;
            break;
        }
    }
    std::string& mantissa = decimal.digits;
    const int exponent = decimal.exponent;
    // Trailing zeros add nothing to either form.
    while (mantissa.size() > 1 && mantissa.back() == '0')
        mantissa.pop_back();
    const int n = static_cast<int>(mantissa.size());

    std::string scientific = mantissa.substr(0, 1);
    if (n > 1)
        scientific += '.' + mantissa.substr(1);
    scientific += exponent < 0 ? "e-" : "e+";
    const std::string power = std::to_string(exponent < 0 ? -exponent : exponent);
    scientific += (power.size() < 2 ? "0" : "") + power;

    std::string fixed;
    if (exponent >= n - 1) {
        // A whole number is written with its exact digits, not the shortest
        // ones padded with zeros: to_chars does the same, and both are as long.
        char whole[330];
        std::snprintf(whole, sizeof whole, "%.0f", std::fabs(value));
        fixed = whole;
    } else if (exponent >= 0) {
        fixed = mantissa.substr(0, static_cast<std::size_t>(exponent) + 1) + '.' +
                mantissa.substr(static_cast<std::size_t>(exponent) + 1);
    } else {
        fixed = "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + mantissa;
    }
    const std::string& shorter = fixed.size() <= scientific.size() ? fixed : scientific;
    return (decimal.negative ? "-" : "") + shorter;
}

std::string FormatShortest(double value)
{
#if defined(__cpp_lib_to_chars)
    char buffer[32];
    const std::to_chars_result end = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, end.ptr);
#else
    return FormatShortestByPrintf(value);
#endif
}

std::string FormatInt(long value, int width)
{
    std::array<char, 32> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    std::string text(digits.data(), result.ptr);
    if (width > 0 && text.size() < static_cast<std::size_t>(width))
        text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

} // namespace brelloc
