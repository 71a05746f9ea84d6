#include "NumberFormat.h"

#include <array>
#include <charconv>
#include <cstring>

namespace brelloc {

std::size_t FormatFixedTo(char* out, std::size_t capacity, double value, int width,
                          int precision)
{
    // The longest fixed text of a double: 309 integer digits, sign, point and
    // the decimals.
    std::array<char, 352> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value,
                                      std::chars_format::fixed, precision);
    if (result.ec != std::errc{})
        return 0;
    const auto length = static_cast<std::size_t>(result.ptr - digits.data());
    const std::size_t pad = width > 0 && length < static_cast<std::size_t>(width)
                                ? static_cast<std::size_t>(width) - length
                                : 0;
    if (pad + length > capacity)
        return 0;
    std::memset(out, ' ', pad);
    std::memcpy(out + pad, digits.data(), length);
    return pad + length;
}

std::string FormatFixed(double value, int width, int precision)
{
    std::array<char, 400> buffer{};
    const std::size_t length =
        FormatFixedTo(buffer.data(), buffer.size(), value, width, precision);
    return std::string(buffer.data(), length);
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
