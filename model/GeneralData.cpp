#include "GeneralData.h"

#include "NumberFormat.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string>
#include <locale.h>

namespace brelloc {

namespace {

constexpr std::int32_t kMinSquares = 2;
constexpr std::int32_t kMaxSquares = 20;

double RowLowerLimit(int row)
{
    return row == RowXmaxL ? 1.0 : 0.0;
}

bool IsCSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool OnlySpaceFrom(const char* p)
{
    while (IsCSpace(*p))
        ++p;
    return *p == '\0';
}

// strtod in the "C" locale, so that a comma locale set by the desktop never
// changes what the full stop means.
double StrtodC(const char* text, char** end)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return strtod_l(text, end, cLocale);
}

// atol's reading, but a digit run of any length saturates instead of
// overflowing; anything beyond the clamping range is as good as 21.
struct IntegerReading {
    long value = 0;
    const char* end = nullptr;
    bool digits = false;
};

IntegerReading ReadInteger(const char* text)
{
    IntegerReading reading;
    const char* p = text;
    while (IsCSpace(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    long magnitude = 0;
    while (*p >= '0' && *p <= '9') {
        reading.digits = true;
        if (magnitude <= kMaxSquares)
            magnitude = magnitude * 10 + (*p - '0');
        ++p;
    }
    reading.value = negative ? -magnitude : magnitude;
    reading.end = reading.digits ? p : text;
    return reading;
}

} // namespace

void InitDefaults(GeneralData& data)
{
    data.HL = 0.2;
    data.Squares = 10;
    data.PotentialStep = data.HL / data.Squares;
    data.NK = 0.5;
    data.Divisions = 100;
    data.DepthLimit = 1.8;
    data.Pi = 4.0 * std::atan(1.0);
    data.XmaxL = 3.0;
    data.TexScale = 300.0 / data.XmaxL;
}

void UpdateDerived(GeneralData& data)
{
    data.PotentialStep = data.HL / static_cast<double>(data.Squares);
    data.TexScale = 300.0 / data.XmaxL;
}

std::string RowText(const GeneralData& data, int row)
{
    switch (row) {
    case RowHL:
        return FormatFixed(data.HL, 12, 3);
    case RowNK:
        return FormatFixed(data.NK, 12, 3);
    case RowXmaxL:
        return FormatFixed(data.XmaxL, 12, 3);
    case RowSquares:
        return FormatInt(data.Squares, 6);
    default:
        return std::string();
    }
}

std::size_t CharacterCount(std::string_view text)
{
    std::size_t count = 0;
    for (const char c : text)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

std::size_t CharacterPrefixBytes(std::string_view text, std::size_t characters)
{
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (seen == characters)
                return i;
            ++seen;
        }
    }
    return text.size();
}

RowReading ReadRowText(int row, std::string_view text, std::size_t limit)
{
    // Only the first `limit` characters are read; a NUL inside them ends the
    // text, as it would for the C reading functions.
    const std::size_t keptBytes = CharacterPrefixBytes(text, limit);
    const std::string kept(text.substr(0, keptBytes));
    const char* buffer = kept.c_str();

    RowReading reading;
    const bool wasCut = keptBytes < text.size();
    if (row == RowSquares) {
        const IntegerReading integer = ReadInteger(buffer);
        reading.noNumber = !integer.digits;
        reading.partlyRead = integer.digits && (wasCut || !OnlySpaceFrom(integer.end));
        long value = integer.value;
        reading.read = static_cast<double>(value);
        if (value < kMinSquares || value > kMaxSquares) {
            value = value < kMinSquares ? kMinSquares : kMaxSquares;
            reading.replaced = true;
        }
        reading.value = static_cast<double>(value);
        return reading;
    }

    char* end = nullptr;
    double value = StrtodC(buffer, &end);
    reading.read = value;
    reading.noNumber = end == buffer;
    reading.partlyRead = !reading.noNumber && (wasCut || !OnlySpaceFrom(end));
    const double lowest = RowLowerLimit(row);
    // "Not at least the limit" also catches NaN. Infinity never enters the
    // model either: it would poison every derived value and coordinate.
    if (!(value >= lowest) || std::isinf(value)) {
        value = lowest;
        reading.replaced = true;
    }
    // "-0", "-0.0" and negatives too small for a double read as -0.0, which
    // would show as -0.000; the value is zero all the same.
    if (value == 0.0)
        value = 0.0;
    reading.value = value;
    return reading;
}

std::string CommitRow(GeneralData& data, int row, std::string_view text)
{
    const bool ownDisplayText = text == RowText(data, row);
    const RowReading reading =
        ReadRowText(row, text, ownDisplayText ? CharacterCount(text) : kRowTextLimit);
    switch (row) {
    case RowHL:
        data.HL = reading.value;
        break;
    case RowNK:
        data.NK = reading.value;
        break;
    case RowXmaxL:
        data.XmaxL = reading.value;
        break;
    case RowSquares:
        data.Squares = static_cast<std::int32_t>(reading.value);
        break;
    default:
        return std::string();
    }
    return RowText(data, row);
}

} // namespace brelloc
