#include "ExportCommand.h"
#include "ExportOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brelloc {
namespace {

TEST(ParseExportOptions, ReadsValuesAndOutputsInOrder)
{
    const ParsedOptions parsed = ParseExportOptions(
        {"--hl", "0.4", "--squares=12", "--nk", "-0.5", "--pictex", "a.tex", "--xmax", "--x",
         "--pictex=-"});
    ASSERT_TRUE(parsed.Ok()) << parsed.error;
    const ExportOptions& o = parsed.options;
    ASSERT_EQ(o.values.size(), 4u);
    EXPECT_EQ(o.values[0].option, "--hl");
    EXPECT_EQ(o.values[0].row, RowHL);
    EXPECT_EQ(o.values[0].text, "0.4");
    EXPECT_EQ(o.values[1].row, RowSquares);
    EXPECT_EQ(o.values[1].text, "12");
    EXPECT_EQ(o.values[2].text, "-0.5"); // a value may start with a dash
    EXPECT_EQ(o.values[3].row, RowXmaxL);
    EXPECT_EQ(o.values[3].text, "--x");
    ASSERT_EQ(o.outputs.size(), 2u);
    EXPECT_EQ(o.outputs[0].path, "a.tex");
    EXPECT_EQ(o.outputs[1].path, "-");
    EXPECT_FALSE(o.help);
}

TEST(ParseExportOptions, RejectsWhatItDoesNotKnow)
{
    struct Case {
        std::vector<std::string> args;
        std::string error;
    };
    const Case cases[] = {
        {{"--bogus", "--pictex", "a.tex"}, "unknown option \"--bogus\""},
        {{"--pictex", "a.tex", "extra"}, "unexpected argument \"extra\""},
        {{"--pictex"}, "option --pictex needs a file name"},
        {{"--pictex="}, "option --pictex needs a file name"},
        {{"--pictex", "a.tex", "--hl"}, "option --hl needs a value"},
        {{"--hl", "0.3"}, "nothing to write: give an output such as --pictex FILE"},
        {{}, "nothing to write: give an output such as --pictex FILE"},
    };
    for (const Case& c : cases) {
        const ParsedOptions parsed = ParseExportOptions(c.args);
        EXPECT_EQ(parsed.error, c.error);
    }
}

TEST(ParseExportOptions, HelpNeedsNoOutput)
{
    const ParsedOptions parsed = ParseExportOptions({"--help"});
    ASSERT_TRUE(parsed.Ok());
    EXPECT_TRUE(parsed.options.help);
}

TEST(ApplyValueOptions, CommitsLikeTheGridAndWarnsAboutReplacements)
{
    struct Case {
        ValueOption value;
        std::string warning; // "" when none
    };
    const Case cases[] = {
        {{"--hl", RowHL, "0.4"}, ""},
        {{"--hl", RowHL, " 0.4 "}, ""},
        {{"--hl", RowHL, "abc"},
         "brelloc-export: warning: --hl \"abc\": no number found; using 0.000."},
        {{"--hl", RowHL, "0.35e1xyz"},
         "brelloc-export: warning: --hl \"0.35e1xyz\": the text after the number is ignored; "
         "using 3.500."},
        {{"--nk", RowNK, "-0.5"},
         "brelloc-export: warning: --nk \"-0.5\": the value must be a finite number of at least "
         "0; using 0.000."},
        {{"--nk", RowNK, "1e999"},
         "brelloc-export: warning: --nk \"1e999\": the value must be a finite number of at "
         "least 0; using 0.000."},
        {{"--xmax", RowXmaxL, "nan"},
         "brelloc-export: warning: --xmax \"nan\": the value must be a finite number of at "
         "least 1; using 1.000."},
        {{"--xmax", RowXmaxL, "0.5cm"},
         "brelloc-export: warning: --xmax \"0.5cm\": the text after the number is ignored; the "
         "value must be a finite number of at least 1; using 1.000."},
        {{"--squares", RowSquares, "99999999999"},
         "brelloc-export: warning: --squares \"99999999999\": the value must be a whole number "
         "from 2 to 20; using 20."},
        {{"--squares", RowSquares, "7.9"},
         "brelloc-export: warning: --squares \"7.9\": the text after the number is ignored; "
         "using 7."},
        {{"--xmax", RowXmaxL, "5" + std::string(40, ' ') + "9"},
         "brelloc-export: warning: --xmax \"5" + std::string(40, ' ') +
             "9\": only the first 40 characters are read; using 5.000."},
    };
    for (const Case& c : cases) {
        GeneralData data;
        InitDefaults(data);
        const std::vector<std::string> warnings = ApplyValueOptions(data, {c.value});
        if (c.warning.empty()) {
            EXPECT_TRUE(warnings.empty()) << c.value.text;
        } else {
            ASSERT_EQ(warnings.size(), 1u) << c.value.text;
            EXPECT_EQ(warnings[0], c.warning);
        }
    }
}

TEST(ApplyValueOptions, UpdatesTheDerivedValues)
{
    GeneralData data;
    InitDefaults(data);
    ApplyValueOptions(data, {{"--hl", RowHL, "0.3"}, {"--squares", RowSquares, "3"},
                             {"--xmax", RowXmaxL, "1.5"}});
    EXPECT_EQ(data.PotentialStep, 0.3 / 3);
    EXPECT_EQ(data.TexScale, 200.0);
}

} // namespace
} // namespace brelloc
