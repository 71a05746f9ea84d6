#include "GeneralData.h"
#include "NumberFormat.h"

#include "CommaLocale.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace brelloc {
namespace {

TEST(GeneralData, InitDefaultsSetsTheStartUpValues)
{
    GeneralData data;
    data.HL = data.NK = data.XmaxL = data.PotentialStep = data.TexScale = data.DepthLimit =
        data.Pi = -1.0;
    data.Squares = data.Divisions = -1;
    InitDefaults(data);
    EXPECT_EQ(data.HL, 0.2);
    EXPECT_EQ(data.NK, 0.5);
    EXPECT_EQ(data.XmaxL, 3.0);
    EXPECT_EQ(data.Squares, 10);
    EXPECT_EQ(data.PotentialStep, 0.2 / 10);
    EXPECT_EQ(data.TexScale, 100.0);
    EXPECT_EQ(data.Divisions, 100);
    EXPECT_EQ(data.DepthLimit, 1.8);
    EXPECT_EQ(data.Pi, 3.141592653589793);
    EXPECT_EQ(RowText(data, RowHL), "       0.200");
    EXPECT_EQ(RowText(data, RowNK), "       0.500");
    EXPECT_EQ(RowText(data, RowXmaxL), "       3.000");
    EXPECT_EQ(RowText(data, RowSquares), "    10");
}

struct CommitCase {
    int row;
    std::string text;
    double value;      // the field afterwards (Squares as a double)
    std::string shown; // the display text CommitRow returns
};

void PrintTo(const CommitCase& c, std::ostream* os)
{
    *os << "row " << c.row << " \"" << c.text << "\"";
}

double FieldOfRow(const GeneralData& data, int row)
{
    switch (row) {
    case RowHL: return data.HL;
    case RowNK: return data.NK;
    case RowXmaxL: return data.XmaxL;
    default: return data.Squares;
    }
}

class CommitRowTable : public ::testing::TestWithParam<CommitCase> {};

TEST_P(CommitRowTable, StoresTheValueAndReturnsItsDisplayText)
{
    const CommitCase& c = GetParam();
    GeneralData data;
    InitDefaults(data);
    const std::string shown = CommitRow(data, c.row, c.text);
    EXPECT_EQ(FieldOfRow(data, c.row), c.value);
    EXPECT_FALSE(std::signbit(FieldOfRow(data, c.row))); // no value stored is below zero
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(shown, RowText(data, c.row));
    EXPECT_TRUE(std::isfinite(data.HL) && std::isfinite(data.NK) && std::isfinite(data.XmaxL));
}

const std::string kFortySpaces(40, ' ');

INSTANTIATE_TEST_SUITE_P(
    Cases, CommitRowTable,
    ::testing::Values(
        // Rows 0 to 2: strtod's reading with the full stop, lower limits.
        CommitCase{RowHL, "abc", 0.0, "       0.000"},
        CommitCase{RowHL, "  0.35e1xyz", 3.5, "       3.500"},
        CommitCase{RowHL, "0,25", 0.0, "       0.000"},
        CommitCase{RowHL, "0.4", 0.4, "       0.400"},
        CommitCase{RowHL, kFortySpaces + "5", 0.0, "       0.000"},
        CommitCase{RowHL, "0.2004", 0.2004, "       0.200"},
        CommitCase{RowHL, "0.0005", 0.0005, "       0.001"},
        // Negative zero, typed or from a negative too small for a double,
        // is stored as zero and never shows a minus sign.
        CommitCase{RowHL, "-0", 0.0, "       0.000"},
        CommitCase{RowHL, "-0.0", 0.0, "       0.000"},
        CommitCase{RowNK, "-1e-400", 0.0, "       0.000"},
        CommitCase{RowNK, " -0.000000", 0.0, "       0.000"},
        CommitCase{RowNK, "-0.5", 0.0, "       0.000"},
        CommitCase{RowNK, "\t1.25\n", 1.25, "       1.250"},
        CommitCase{RowXmaxL, "0.5", 1.0, "       1.000"},
        CommitCase{RowXmaxL, "", 1.0, "       1.000"},
        CommitCase{RowXmaxL, "6", 6.0, "       6.000"},
        CommitCase{RowXmaxL, "123456789.5", 123456789.5, "123456789.500"},
        // Only the first 40 characters count.
        CommitCase{RowXmaxL, std::string(39, ' ') + "78", 7.0, "       7.000"},
        // NaN and infinity are replaced by the row's lower limit.
        CommitCase{RowHL, "nan", 0.0, "       0.000"},
        CommitCase{RowXmaxL, "-nan", 1.0, "       1.000"},
        CommitCase{RowHL, "inf", 0.0, "       0.000"},
        CommitCase{RowNK, "Infinity", 0.0, "       0.000"},
        CommitCase{RowXmaxL, "inf", 1.0, "       1.000"},
        CommitCase{RowXmaxL, "-inf", 1.0, "       1.000"},
        CommitCase{RowHL, "1e999", 0.0, "       0.000"},
        CommitCase{RowXmaxL, "1e999", 1.0, "       1.000"},
        CommitCase{RowNK, "-1e999", 0.0, "       0.000"},
        // Row 3: atol's reading, clamped to 2 .. 20 for digit runs of any length.
        CommitCase{RowSquares, "1", 2, "     2"},
        CommitCase{RowSquares, "21", 20, "    20"},
        CommitCase{RowSquares, "7.9", 7, "     7"},
        CommitCase{RowSquares, " 12abc", 12, "    12"},
        CommitCase{RowSquares, "+5", 5, "     5"},
        CommitCase{RowSquares, "-3", 2, "     2"},
        CommitCase{RowSquares, "abc", 2, "     2"},
        CommitCase{RowSquares, "", 2, "     2"},
        CommitCase{RowSquares, "99999999999", 20, "    20"},
        CommitCase{RowSquares, "-99999999999", 2, "     2"},
        CommitCase{RowSquares, std::string(60, '9'), 20, "    20"},
        CommitCase{RowSquares, "0000000000000000000000000000000000000019", 19, "    19"},
        CommitCase{RowSquares, "20", 20, "    20"},
        CommitCase{RowSquares, "2", 2, "     2"}));

TEST(GeneralData, CommittingTheShownTextAgainStoresTheRoundedValue)
{
    GeneralData data;
    InitDefaults(data);
    const std::string shown = CommitRow(data, RowHL, "0.2004");
    ASSERT_EQ(data.HL, 0.2004);
    CommitRow(data, RowHL, shown);
    EXPECT_EQ(data.HL, 0.2);
}

TEST(GeneralData, HugeValueGetsItsWholeDisplayText)
{
    GeneralData data;
    InitDefaults(data);
    const std::string shown = CommitRow(data, RowHL, "1e300");
    EXPECT_EQ(data.HL, 1e300);
    char reference[400];
    std::snprintf(reference, sizeof reference, "%12.3f", 1e300);
    EXPECT_EQ(shown, reference);
    EXPECT_GT(shown.size(), 300u);

    // Leaving the row unedited commits that display text again: it keeps the
    // value, although a typed text is read only up to its 40th character.
    EXPECT_EQ(CommitRow(data, RowHL, shown), shown);
    EXPECT_EQ(data.HL, 1e300);
    const std::string typed = shown + " ";
    CommitRow(data, RowHL, typed);
    EXPECT_EQ(data.HL, std::strtod(shown.substr(0, kRowTextLimit).c_str(), nullptr));
}

TEST(GeneralData, UpdateDerivedFollowsTheCommittedValues)
{
    GeneralData data;
    InitDefaults(data);
    CommitRow(data, RowHL, "abc");
    CommitRow(data, RowXmaxL, "0.5");
    UpdateDerived(data);
    EXPECT_EQ(data.PotentialStep, 0.0);
    EXPECT_EQ(data.TexScale, 300.0);

    CommitRow(data, RowHL, "0.3");
    CommitRow(data, RowSquares, "4");
    CommitRow(data, RowXmaxL, "6");
    UpdateDerived(data);
    EXPECT_EQ(data.PotentialStep, 0.3 / 4);
    EXPECT_EQ(data.TexScale, 50.0);
}

TEST(GeneralData, ReadRowTextTellsWhatWasReplacedOrPartlyRead)
{
    const RowReading plain = ReadRowText(RowHL, " 0.4 ");
    EXPECT_FALSE(plain.partlyRead || plain.noNumber || plain.replaced);

    const RowReading trailing = ReadRowText(RowHL, "0.35e1xyz");
    EXPECT_TRUE(trailing.partlyRead);
    EXPECT_FALSE(trailing.replaced);

    const RowReading letters = ReadRowText(RowNK, "abc");
    EXPECT_TRUE(letters.noNumber);
    EXPECT_EQ(letters.value, 0.0);

    const RowReading infinite = ReadRowText(RowNK, "1e999");
    EXPECT_TRUE(infinite.replaced);
    EXPECT_EQ(infinite.value, 0.0);

    const RowReading tooMany = ReadRowText(RowSquares, "99999999999");
    EXPECT_TRUE(tooMany.replaced);
    EXPECT_EQ(tooMany.value, 20.0);

    const RowReading cut = ReadRowText(RowXmaxL, "5" + std::string(45, ' ') + "x");
    EXPECT_TRUE(cut.partlyRead);
    EXPECT_EQ(cut.value, 5.0);
}

// The desktop may run with a comma as decimal point; the grid must still read
// and show the full stop, and never read the comma as one.
TEST(GeneralData, CommaLocaleChangesNeitherReadingNorDisplay)
{
    test::CommaLocale locale;
    BRELLOC_REQUIRE_COMMA_LOCALE(locale);
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 0.5);
    ASSERT_STREQ(probe, "0,5") << "locale " << locale.Name() << " is not in effect";

    GeneralData data;
    InitDefaults(data);
    EXPECT_EQ(CommitRow(data, RowHL, "0.35"), "       0.350");
    EXPECT_EQ(data.HL, 0.35);
    EXPECT_EQ(CommitRow(data, RowNK, "0,25"), "       0.000");
    EXPECT_EQ(data.NK, 0.0);
    EXPECT_EQ(CommitRow(data, RowXmaxL, "2.5e0"), "       2.500");
    EXPECT_EQ(data.XmaxL, 2.5);
    EXPECT_EQ(FormatFixed(-12.25, 8, 1), "   -12.2");
}

// FormatFixed must agree with printf in the C locale, rounding included.
TEST(NumberFormat, FormatFixedMatchesPrintf)
{
    struct Case {
        double value;
        int width;
        int precision;
    };
    const Case cases[] = {{0.2, 12, 3},    {0.0005, 12, 3}, {0.125, 6, 2},   {-0.04, 6, 1},
                          {-0.0, 6, 1},    {300.0, 6, 1},   {-299.95, 6, 1}, {2.675, 5, 3},
                          {1e300, 12, 3},  {-1e300, 6, 1},  {1e-300, 5, 3},  {99.95, 6, 1},
                          {0.0, 1, 0},     {123.456, 2, 1}};
    for (const Case& c : cases) {
        char reference[512];
        std::snprintf(reference, sizeof reference, "%*.*f", c.width, c.precision, c.value);
        EXPECT_EQ(FormatFixed(c.value, c.width, c.precision), reference)
            << c.value << " %" << c.width << "." << c.precision << "f";
    }
}

TEST(NumberFormat, FormatFixedToRefusesABufferTooSmall)
{
    char buffer[6];
    EXPECT_EQ(FormatFixedTo(buffer, sizeof buffer, 100.0, 6, 1), 6u);
    EXPECT_EQ(std::string(buffer, 6), " 100.0");
    EXPECT_EQ(FormatFixedTo(buffer, sizeof buffer, 1000.25, 6, 2), 0u);
    EXPECT_EQ(FormatInt(10, 6), "    10");
    EXPECT_EQ(FormatInt(-2147483648L, 6), "-2147483648");
}

} // namespace
} // namespace brelloc
