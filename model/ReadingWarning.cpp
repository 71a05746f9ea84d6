#include "ReadingWarning.h"

#include <cctype>
#include <cmath>

namespace brelloc {

namespace {

std::string Trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::string RangeOf(int row)
{
    switch (row) {
    case RowSquares: return "a whole number from 2 to 20";
    case RowXmaxL: return "a finite number of at least 1";
    default: return "a finite number of at least 0";
    }
}

// Whether a real row's number is written in hexadecimal ("0x10" reads as 16,
// as the reading rule has it), which no engineer types on purpose.
bool WrittenInHex(int row, const std::string& text)
{
    if (row == RowSquares)
        return false; // read as a decimal integer: "0x10" is 0 and the rest ignored
    std::size_t at = text.find_first_not_of(" \t\n\v\f\r");
    if (at == std::string::npos)
        return false;
    if (text[at] == '+' || text[at] == '-')
        ++at;
    if (text.compare(at, 2, "0x") != 0 && text.compare(at, 2, "0X") != 0)
        return false;
    // "0x" alone is the number 0 followed by an ignored "x".
    auto hexDigit = [&text](std::size_t i) {
        return i < text.size() && std::isxdigit(static_cast<unsigned char>(text[i]));
    };
    at += 2;
    return hexDigit(at) || (at < text.size() && text[at] == '.' && hexDigit(at + 1));
}

bool SameNumber(const RowReading& a, const RowReading& b)
{
    if (a.noNumber || b.noNumber)
        return a.noNumber == b.noNumber;
    return a.read == b.read || (std::isnan(a.read) && std::isnan(b.read));
}

// Why the typed text did not give the value typed, or "" when it did.
// `reading` is what was committed; `limit` the characters it read. The cut
// at 40 characters is named only where it changed the number read: a number
// that ends before it is reported as if the whole text had been read.
std::string ReadingProblems(int row, const std::string& text, const RowReading& reading,
                            std::size_t limit)
{
    std::string problems;
    auto add = [&problems](const std::string& problem) {
        problems += problems.empty() ? problem : "; " + problem;
    };
    const std::size_t characters = CharacterCount(text);
    RowReading reported = reading;
    if (characters > limit) {
        const RowReading whole = ReadRowText(row, text, characters);
        if (!SameNumber(reading, whole)) {
            add(reading.noNumber ? "the number lies beyond the first 40 characters, the only "
                                   "ones read"
                                 : "only the first 40 characters are read");
            if (!reading.noNumber && reading.replaced)
                add("the value must be " + RangeOf(row));
            return problems;
        }
        reported = whole;
    }
    if (reported.noNumber) {
        add("no number found");
    } else {
        if (WrittenInHex(row, text))
            add("read as a hexadecimal number");
        if (reported.partlyRead)
            add("the text after the number is ignored");
        if (reported.replaced)
            add("the value must be " + RangeOf(row));
    }
    return problems;
}

} // namespace

std::string ReadingWarning(const std::string& name, int row, const std::string& text,
                           const RowReading& reading, std::size_t limit, const std::string& shown)
{
    const std::string problems = ReadingProblems(row, text, reading, limit);
    if (problems.empty())
        return std::string();
    return name + " \"" + text + "\": " + problems + "; using " + Trimmed(shown) + ".";
}

} // namespace brelloc
