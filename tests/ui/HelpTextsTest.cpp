#include "HelpTexts.h"
#include "MessageBoxes.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QStringList>

#include <string>

namespace brelloc {
namespace {

// The general-data message as the user reads it, written out whole.
const std::string kGeneralData =
    "General data.\n"
    "\n"
    "- H/L : The ratio of the level difference to the distance of the two drains.\n"
    "- N/k : Ratio of infiltration rate to permeability.\n"
    "- Xmax/L : Ratio of the size of the figures to the distance of the two drains.\n"
    "- Number of squares : Number of potential line intervals between the two drains.\n"
    "\n";

std::string Repeat(char c, int n)
{
    return std::string(static_cast<std::size_t>(n), c);
}

// The program message with the notice line left out, its sketch built from
// the counts of its characters.
std::string ProgramMessageAround(const std::string& notice)
{
    std::string text = "Brelloc\n\nA Korvanne University Geotechnics Program.\n" + notice + "\n\n";
    text += Repeat(' ', 46) + Repeat('_', 8) + " \n";
    text += Repeat(' ', 44) + "/" + Repeat(' ', 17) + "\\ \n";
    text += Repeat('_', 21) + "/" + Repeat(' ', 21) + "\\ \n";
    text += Repeat(' ', 66) + "\\ \n";
    text += Repeat(' ', 68) + "\\" + Repeat('_', 22) + " \n";
    text += Repeat(' ', 10) + Repeat('\n', 6);
    text +=
        "This is a program for the analysis of steady groundwater flow in a\n"
        "vertical plane, with groundwater flowing under a water divide.\n"
        "\n"
        "The upper surface of the soil consists of two horizontal draining \n"
        "boundaries, with the boundary at the left being a height H higher \n"
        "than the boundary at the right. The horizontal distance between the \n"
        "two drains is L. In the part between the two drains a free groundwater \n"
        "table is created by uniform infiltration at a rate N. The permeability \n"
        "of the soil is k.\n"
        "\n"
        "This program generates the potential lines and stream lines in the \n"
        "plane of flow. Output can be shown on the screen and on a printer, and \n"
        "a TeX file (in PicTeX format) can be created.\n"
        "\n";
    return text;
}

TEST(HelpTexts, GeneralDataMessageIsExact)
{
    EXPECT_EQ(GeneralDataMessage(), kGeneralData);
    EXPECT_EQ(GeneralDataMessage().size(), 305u);
}

TEST(HelpTexts, ProgramMessageIsExactAroundOurNotice)
{
    const std::string notice = kHelpNotice;
    ASSERT_FALSE(notice.empty());
    EXPECT_EQ(notice.find('\n'), std::string::npos);
    // With its two line feeds the notice fits the 1200 characters of the
    // message together with the terminating NUL.
    EXPECT_LE(notice.size() + 2, 118u);

    const std::string message = ProgramMessage();
    EXPECT_EQ(message, ProgramMessageAround(notice));
    EXPECT_EQ(message.size(), 1081u + notice.size() + 2);
    EXPECT_LT(message.size(), 1200u);
}

TEST(HelpTexts, ProgramMessageStartsAndEndsAsItShould)
{
    const std::string message = ProgramMessage();
    EXPECT_EQ(message.rfind("Brelloc\n\n", 0), 0u);
    const std::string ending = "a TeX file (in PicTeX format) can be created.\n\n";
    ASSERT_GE(message.size(), ending.size());
    EXPECT_EQ(message.substr(message.size() - ending.size()), ending);
    // Ten spaces after the sketch, then five empty lines.
    EXPECT_NE(message.find(" \n          \n\n\n\n\n\nThis is a program"), std::string::npos);
}

// Where the sketch's characters stand when each underscore takes two columns:
// the left ground ends where the slope starts, the top lies between the two
// slopes and the right ground starts after the last backslash.
TEST(HelpTexts, FixedPitchSketchKeepsTheProfile)
{
    const QStringList lines = FixedPitchText(QString::fromStdString(ProgramMessage())).split('\n');
    const int first = static_cast<int>(lines.indexOf(QRegularExpression("^ +_+ $")));
    ASSERT_GE(first, 0);
    const QString top = lines[first];
    const QString upper = lines[first + 1];
    const QString left = lines[first + 2];
    const QString right = lines[first + 4];

    EXPECT_EQ(top.indexOf('_'), 46);
    EXPECT_EQ(top.lastIndexOf('_'), 61);           // 8 underscores, 16 columns
    EXPECT_EQ(upper.indexOf('/'), 44);              // rising slope just left of the top
    EXPECT_EQ(upper.indexOf('\\'), 62);             // falling slope just right of it
    EXPECT_EQ(left.indexOf('/'), 42);               // the left ground meets the slope
    EXPECT_EQ(left.lastIndexOf('_'), 41);
    EXPECT_EQ(right.indexOf('\\'), 68);
    EXPECT_EQ(right.count('_'), 44);
    // Nothing but the underscores changes.
    EXPECT_EQ(FixedPitchText(QString::fromStdString(GeneralDataMessage())),
              QString::fromStdString(GeneralDataMessage()));
}

} // namespace
} // namespace brelloc
