#pragma once

#include <string>

namespace brelloc {

// printf("%*.*f") and printf("%*d") without the process locale: the decimal
// point is always a full stop, and the text is as long as the value needs.
std::string FormatFixed(double value, int width, int precision);
std::string FormatInt(long value, int width);

// The shortest text that reads back as the same double, as std::to_chars
// writes it without a format: fixed or scientific, whichever is shorter
// (fixed on a tie). Not for NaN or infinity.
std::string FormatShortest(double value);

// The same text found with snprintf and strtod alone (in the C locale), for a
// standard library without floating-point to_chars; FormatShortest uses it
// there.
std::string FormatShortestByPrintf(double value);

// Appends the same text as FormatFixed to a caller's buffer; returns the number
// of characters written, or 0 if the buffer is too small.
std::size_t FormatFixedTo(char* out, std::size_t capacity, double value, int width,
                          int precision);

} // namespace brelloc
