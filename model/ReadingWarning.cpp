#include "ReadingWarning.h"

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

// Why the typed text did not give the value typed, or "" when it did.
std::string ReadingProblems(int row, const std::string& text, const RowReading& reading)
{
    std::string problems;
    auto add = [&problems](const std::string& problem) {
        problems += problems.empty() ? problem : "; " + problem;
    };
    if (reading.noNumber) {
        add("no number found");
    } else {
        if (reading.partlyRead)
            add(text.size() > kRowTextLimit ? "only the first 40 characters are read"
                                            : "the text after the number is ignored");
        if (reading.replaced)
            add("the value must be " + RangeOf(row));
    }
    return problems;
}

} // namespace

std::string ReadingWarning(const std::string& name, int row, const std::string& text,
                           const RowReading& reading, const std::string& shown)
{
    const std::string problems = ReadingProblems(row, text, reading);
    if (problems.empty())
        return std::string();
    return name + " \"" + text + "\": " + problems + "; using " + Trimmed(shown) + ".";
}

} // namespace brelloc
