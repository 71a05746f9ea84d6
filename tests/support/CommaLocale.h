#pragma once

#include <cstdlib>
#include <string>

namespace brelloc::test {

// Switches the whole process (setlocale LC_ALL) to a locale whose decimal
// point is a comma, for as long as the object lives, to prove that reading
// and writing numbers never depend on it. The test run generates such a
// locale into the build tree and points LOCPATH at it (see
// tests/model/CMakeLists.txt); a bare run of a test binary may lack one.
class CommaLocale {
public:
    CommaLocale();
    ~CommaLocale();
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    bool Active() const { return !name_.empty(); }
    const std::string& Name() const { return name_; }

    // True when the test run promised a comma locale by pointing LOCPATH at
    // the generated one, so its absence is a failure.
    static bool Required();

private:
    std::string previous_;
    std::string name_;
};

} // namespace brelloc::test

// Use at the start of a test: skips it (or fails it, when a comma locale was
// promised) if none can be set.
#define BRELLOC_REQUIRE_COMMA_LOCALE(locale)                                                       \
    do {                                                                                           \
        if (!(locale).Active()) {                                                                  \
            if (::brelloc::test::CommaLocale::Required())                                          \
                FAIL() << "no locale with a decimal comma could be set (LOCPATH="                  \
                       << (std::getenv("LOCPATH") ? std::getenv("LOCPATH") : "") << ")";           \
            else                                                                                   \
                GTEST_SKIP() << "no locale with a decimal comma is installed; run through ctest, " \
                                "which generates one";                                             \
        }                                                                                          \
    } while (false)
