#include "ExportCommand.h"
#include "ExportOptions.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

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
        {{"--pictex", "a.tex", "-"}, "unexpected argument \"-\""},
        {{"--pictex", "a.tex", "--", "--hl"}, "unexpected argument \"--hl\""},
        {{"--", "--pictex", "a.tex"}, "unexpected argument \"--pictex\""},
        {{"--pictex", "--"}, "option --pictex needs a file name"},
        {{"--report", "--landscape"}, "option --report needs a file name"},
        {{"--report", "--landscape", "r.pdf"}, "option --report needs a file name"},
        {{"--svg", "--hl=0.3", "--pictex", "a.tex"}, "option --svg needs a file name"},
        {{"--png", "-h"}, "option --png needs a file name"},
        {{"--pictex", "--version"}, "option --pictex needs a file name"},
        {{"--pictex"}, "option --pictex needs a file name"},
        {{"--pictex="}, "option --pictex needs a file name"},
        {{"--pictex", "a.tex", "--hl"}, "option --hl needs a value"},
        {{"--hl", "0.3"}, "nothing to write: give an output such as --pictex FILE"},
        {{}, "nothing to write: give an output such as --pictex FILE"},
        {{"--size", "100"}, "nothing to write: give an output such as --pictex FILE"},
        {{"--report"}, "option --report needs a file name"},
        {{"--png="}, "option --png needs a file name"},
        {{"--png", "f.png", "--size"}, "option --size needs a value"},
        {{"--report", "r.pdf", "--page-size"}, "option --page-size needs a value"},
        {{"--report", "-"}, "option --report cannot write to standard output; give a file name"},
        {{"--svg=-"}, "option --svg cannot write to standard output; give a file name"},
        {{"--png", "-"}, "option --png cannot write to standard output; give a file name"},
        {{"--page-size", "B5", "--report", "r.pdf"},
         "--page-size \"B5\": give one of A4, Letter, A3, Legal, A5"},
        {{"--page-size=", "--report", "r.pdf"},
         "--page-size \"\": give one of A4, Letter, A3, Legal, A5"},
        {{"--landscape=yes", "--report", "r.pdf"}, "option --landscape takes no value"},
        {{"--mark-divide=1", "--png", "f.png"}, "option --mark-divide takes no value"},
        {{"--mark-divide", "--pictex", "a.tex"},
         "--mark-divide marks the figure of the SVG, PNG and report outputs: give one of them as well"},
        {{"--results", "-", "--mark-divide"},
         "--mark-divide marks the figure of the SVG, PNG and report outputs: give one of them as well"},
        {{"--mark-divide"}, "nothing to write: give an output such as --pictex FILE"},
        {{"--version=1"}, "option --version takes no value"},
        {{"--svg", "a", "--png", "a"}, "the file \"a\" is given to two outputs"},
        {{"--report", "x.pdf", "--pictex", "x.pdf"}, "the file \"x.pdf\" is given to two outputs"},
        {{"--report", "x.pdf", "--svg", "./x.pdf"}, "the file \"./x.pdf\" is given to two outputs"},
        {{"--png", "out/../y.png", "--svg", "y.png"}, "the file \"y.png\" is given to two outputs"},
        {{"--pictex", "-", "--pictex=-"}, "standard output is given to two outputs"},
        {{"--pictex", "-", "--pictex", "/dev/stdout"},
         "standard output is given to two outputs (\"-\" and \"/dev/stdout\")"},
        {{"--pictex", "/proc/self/fd/1", "--pictex", "-"},
         "standard output is given to two outputs (\"/proc/self/fd/1\" and \"-\")"},
        {{"--pictex", "/dev/stdout", "--pictex", "/dev/stdout"}, "standard output is given to two outputs"},
        {{"--pictex", "/dev/stderr", "--svg", "/dev/fd/2"},
         "the file \"/dev/fd/2\" is given to two outputs (also as \"/dev/stderr\")"},
    };
    for (const Case& c : cases) {
        const ParsedOptions parsed = ParseExportOptions(c.args);
        EXPECT_EQ(parsed.error, c.error);
    }
}

// "--" ends the options; a file named like an option is given with a path.
TEST(ParseExportOptions, DoubleDashEndsTheOptionsAndPathsMayLookLikeOptions)
{
    const ParsedOptions parsed =
        ParseExportOptions({"--report", "./--landscape", "--pictex=--help", "--svg", "--x.svg", "--"});
    ASSERT_TRUE(parsed.Ok()) << parsed.error;
    ASSERT_EQ(parsed.options.outputs.size(), 3u);
    EXPECT_EQ(parsed.options.outputs[0].path, "./--landscape");
    EXPECT_EQ(parsed.options.outputs[1].path, "--help");
    EXPECT_EQ(parsed.options.outputs[2].path, "--x.svg");
    EXPECT_FALSE(parsed.options.landscape);
    EXPECT_FALSE(parsed.options.help);
}

// Existing files are told apart by device and inode, so a hard link or a
// symbolic link to an earlier output is the same file; new files by their
// resolved path.
TEST(ParseExportOptions, LinksToOneFileAreOneFile)
{
    test::TempFolder folder;
    const std::string file = folder / "a.pdf";
    test::WriteWholeFile(file, "old\n");
    ASSERT_EQ(link(file.c_str(), (folder / "hard.pdf").c_str()), 0);
    ASSERT_EQ(symlink(file.c_str(), (folder / "soft.pdf").c_str()), 0);
    ASSERT_EQ(mkdir((folder / "sub").c_str(), 0755), 0);

    struct Case {
        std::string first, second;
        bool same;
    };
    const Case cases[] = {
        {file, folder / "hard.pdf", true},
        {folder / "soft.pdf", folder / "hard.pdf", true},
        {folder / "sub/../a.pdf", file, true},
        {folder / "new.pdf", folder / "sub/../new.pdf", true},
        {folder / "new.pdf", folder / "./new.pdf", true},
        {folder / "new.pdf", folder / "sub/new.pdf", false},
        {file, folder / "new.pdf", false},
    };
    for (const Case& c : cases) {
        const ParsedOptions parsed = ParseExportOptions({"--svg", c.first, "--png", c.second});
        EXPECT_EQ(parsed.error, c.same ? "the file \"" + c.second + "\" is given to two outputs"
                                       : std::string())
            << c.first << " and " << c.second;
    }
}

// Many outputs, the duplicate last, are still checked against every other.
TEST(ParseExportOptions, FindsTheOneDuplicateAmongManyOutputs)
{
    std::vector<std::string> args;
    for (int i = 0; i < 1000; ++i)
        args.insert(args.end(), {"--pictex", "out/f" + std::to_string(i) + ".tex"});
    ASSERT_TRUE(ParseExportOptions(args).Ok());
    args.insert(args.end(), {"--svg", "out/./f17.tex"});
    EXPECT_EQ(ParseExportOptions(args).error, "the file \"out/./f17.tex\" is given to two outputs");
}

TEST(ParseExportOptions, FigureSizeIsAWholeNumberOfPixelsInRange)
{
    struct Case {
        std::string text;
        int size; // 0: refused
    };
    const Case cases[] = {
        {"16", 16}, {"16384", 16384}, {"800", 800}, {"0800", 800}, {"333", 333},
        {"15", 0}, {"16385", 0}, {"0", 0}, {"-20", 0}, {"+20", 0}, {"", 0}, {"abc", 0},
        {"800px", 0}, {"8e2", 0}, {"80.5", 0}, {" 800", 0}, {"800 ", 0},
        {"99999999999999999999999", 0}, {"000000000000000000000016", 16},
    };
    for (const Case& c : cases) {
        const ParsedOptions parsed = ParseExportOptions({"--png", "f.png", "--size", c.text});
        if (c.size == 0) {
            EXPECT_EQ(parsed.error, "--size \"" + c.text +
                                        "\": give a whole number of pixels from 16 to 16384");
        } else {
            ASSERT_TRUE(parsed.Ok()) << c.text << ": " << parsed.error;
            EXPECT_EQ(parsed.options.figureSize, c.size) << c.text;
        }
    }
}

TEST(ParseExportOptions, ReadsTheReportAndFigureSettings)
{
    struct Case {
        std::vector<std::string> args;
        PaperSize paper;
        bool landscape;
        int size;
    };
    const Case cases[] = {
        {{"--report", "r.pdf"}, PaperSize::A4, false, 800},
        {{"--page-size", "Letter", "--report", "r.pdf"}, PaperSize::Letter, false, 800},
        {{"--page-size=A3", "--landscape", "--report", "r.pdf"}, PaperSize::A3, true, 800},
        {{"--report=r.pdf", "--page-size", "LEGAL"}, PaperSize::Legal, false, 800},
        {{"--page-size", "a5", "--report", "r.pdf"}, PaperSize::A5, false, 800},
        {{"--page-size", "A3", "--page-size", "a4", "--report", "r.pdf"}, PaperSize::A4, false,
         800},
        {{"--svg", "f.svg", "--size=64", "--size", "200"}, PaperSize::A4, false, 200},
    };
    for (const Case& c : cases) {
        const ParsedOptions parsed = ParseExportOptions(c.args);
        ASSERT_TRUE(parsed.Ok()) << c.args[0] << ": " << parsed.error;
        EXPECT_EQ(parsed.options.paper, c.paper) << c.args[0] << " " << c.args[1];
        EXPECT_EQ(parsed.options.landscape, c.landscape) << c.args[0];
        EXPECT_EQ(parsed.options.figureSize, c.size) << c.args[0];
    }
}

TEST(ParseExportOptions, MarkDivideIsAFlagForTheRenderedOutputs)
{
    struct Case {
        std::vector<std::string> args;
        bool marks;
    };
    const Case cases[] = {
        {{"--png", "f.png"}, false},
        {{"--mark-divide", "--png", "f.png"}, true},
        {{"--svg", "f.svg", "--mark-divide"}, true},
        {{"--report", "r.pdf", "--mark-divide", "--mark-divide"}, true},
        // With the PicTeX figure beside a rendered output: the PicTeX file
        // stays as it is, the others are marked.
        {{"--pictex", "a.tex", "--mark-divide", "--report", "r.pdf"}, true},
        {{"--mark-divide", "--help"}, true},
    };
    for (const Case& c : cases) {
        const ParsedOptions parsed = ParseExportOptions(c.args);
        ASSERT_TRUE(parsed.Ok()) << c.args[0] << ": " << parsed.error;
        EXPECT_EQ(parsed.options.markDivide, c.marks) << c.args[0];
    }
}

TEST(ParseExportOptions, KeepsEveryOutputInOrderAndTellsWhichNeedRendering)
{
    const ParsedOptions parsed = ParseExportOptions(
        {"--png", "f.png", "--pictex", "-", "--report", "r.pdf", "--svg=f.svg", "--pictex", "a.tex"});
    ASSERT_TRUE(parsed.Ok()) << parsed.error;
    const std::vector<OutputRequest>& outputs = parsed.options.outputs;
    ASSERT_EQ(outputs.size(), 5u);
    const OutputKind kinds[] = {OutputKind::FigurePng, OutputKind::PicTeX, OutputKind::ReportPdf,
                                OutputKind::FigureSvg, OutputKind::PicTeX};
    const char* paths[] = {"f.png", "-", "r.pdf", "f.svg", "a.tex"};
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        EXPECT_EQ(outputs[i].kind, kinds[i]) << i;
        EXPECT_EQ(outputs[i].path, paths[i]) << i;
    }
    EXPECT_TRUE(parsed.options.NeedsRendering());

    const ParsedOptions pictexOnly = ParseExportOptions({"--pictex", "a.tex", "--pictex", "-"});
    ASSERT_TRUE(pictexOnly.Ok());
    EXPECT_FALSE(pictexOnly.options.NeedsRendering());
}

// Standard output and standard error are two outputs, however named.
TEST(ParseExportOptions, DifferentDescriptorsAreDifferentOutputs)
{
    const ParsedOptions parsed =
        ParseExportOptions({"--pictex", "-", "--pictex", "/dev/stderr", "--svg", "/dev/fd/3"});
    ASSERT_TRUE(parsed.Ok()) << parsed.error;
    EXPECT_EQ(parsed.options.outputs.size(), 3u);
}

TEST(ParseExportOptions, ResultsGoToAFileOrStandardOutputWithTheirProbes)
{
    const ParsedOptions parsed = ParseExportOptions(
        {"--probe", "0.5,-1", "--results", "-", "--probe=-2.5e-1,+3", "--probe", "1e2,0"});
    ASSERT_TRUE(parsed.Ok()) << parsed.error;
    const ExportOptions& o = parsed.options;
    ASSERT_EQ(o.outputs.size(), 1u);
    EXPECT_EQ(o.outputs[0].kind, OutputKind::ResultsJson);
    EXPECT_EQ(o.outputs[0].path, "-");
    EXPECT_FALSE(o.NeedsRendering());
    EXPECT_TRUE(o.probing);
    ASSERT_EQ(o.probes.size(), 3u);
    EXPECT_EQ(o.probes[0], (ModelPoint{0.5, -1}));
    EXPECT_EQ(o.probes[1], (ModelPoint{-0.25, 3}));
    EXPECT_EQ(o.probes[2], (ModelPoint{100, 0}));

    const ParsedOptions plain = ParseExportOptions({"--results", "r.json", "--pictex", "a.tex"});
    ASSERT_TRUE(plain.Ok()) << plain.error;
    EXPECT_FALSE(plain.options.probing);
    EXPECT_EQ(plain.options.outputs[0].path, "r.json");

    struct Case {
        std::vector<std::string> args;
        std::string error;
    };
    const std::string shape = "\": give the point as X,Y, two numbers in units of L, such as 0.5,-1";
    const Case cases[] = {
        {{"--results", "-", "--probe", "1"}, "--probe \"1" + shape},
        {{"--results", "-", "--probe", "1,"}, "--probe \"1," + shape},
        {{"--results", "-", "--probe", "1,2,3"}, "--probe \"1,2,3" + shape},
        {{"--results", "-", "--probe", "1;2"}, "--probe \"1;2" + shape},
        {{"--results", "-", "--probe", " 1,2"}, "--probe \" 1,2" + shape},
        {{"--results", "-", "--probe", "1,2x"}, "--probe \"1,2x" + shape},
        {{"--results", "-", "--probe", "0,5,1"}, "--probe \"0,5,1" + shape},
        {{"--results", "-", "--probe", "1e999,0"}, "--probe \"1e999,0" + shape},
        {{"--results", "-", "--probe", "nan,0"}, "--probe \"nan,0" + shape},
        {{"--results", "-", "--probe", "inf,0"}, "--probe \"inf,0" + shape},
        {{"--results", "-", "--probe"}, "option --probe needs a value"},
        {{"--pictex", "-", "--probe", "1,2"}, "--probe adds to the results: give --results FILE as well"},
        {{"--probe", "1,2"}, "nothing to write: give an output such as --pictex FILE"},
        {{"--results", "-", "--pictex", "-"}, "standard output is given to two outputs"},
        {{"--results", "a", "--svg", "a"}, "the file \"a\" is given to two outputs"},
        {{"--results="}, "option --results needs a file name"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseExportOptions(c.args).error, c.error) << c.args.back();
}

TEST(ParseExportOptions, HelpAndVersionNeedNoOutput)
{
    const ParsedOptions help = ParseExportOptions({"--help"});
    ASSERT_TRUE(help.Ok());
    EXPECT_TRUE(help.options.help);
    EXPECT_FALSE(help.options.version);

    const ParsedOptions version = ParseExportOptions({"--version"});
    ASSERT_TRUE(version.Ok()) << version.error;
    EXPECT_TRUE(version.options.version);
    EXPECT_FALSE(version.options.help);
}

// "é" twenty times: 20 characters in 40 bytes of UTF-8.
const std::string kTwentyAccents = [] {
    std::string text;
    for (int i = 0; i < 20; ++i)
        text += "\xC3\xA9";
    return text;
}();

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
        {{"--squares", RowSquares, "200"},
         "brelloc-export: warning: --squares \"200\": the value must be a whole number from 2 "
         "to 20; using 20."},
        // The cut at 40 characters is named only where it changed the number.
        {{"--xmax", RowXmaxL, "5" + std::string(40, ' ') + "9"},
         "brelloc-export: warning: --xmax \"5" + std::string(40, ' ') +
             "9\": the text after the number is ignored; using 5.000."},
        {{"--xmax", RowXmaxL, std::string(39, ' ') + "78"},
         "brelloc-export: warning: --xmax \"" + std::string(39, ' ') +
             "78\": only the first 40 characters are read; using 7.000."},
        {{"--xmax", RowXmaxL, std::string(38, ' ') + "78"}, ""}, // exactly 40 characters
        {{"--xmax", RowXmaxL, "2.5" + std::string(37, 'x')},
         "brelloc-export: warning: --xmax \"2.5" + std::string(37, 'x') +
             "\": the text after the number is ignored; using 2.500."},
        {{"--squares", RowSquares, std::string(38, ' ') + "123"},
         "brelloc-export: warning: --squares \"" + std::string(38, ' ') +
             "123\": only the first 40 characters are read; using 12."},
        {{"--hl", RowHL, std::string(40, ' ') + "0.3"},
         "brelloc-export: warning: --hl \"" + std::string(40, ' ') +
             "0.3\": the number lies beyond the first 40 characters, the only ones read; using "
             "0.000."},
        // Digits beyond the 40th that do not change the double read.
        {{"--hl", RowHL, "0." + std::string(45, '3')}, ""},
        {{"--hl", RowHL, std::string(30, ' ') + "1234567890123"},
         "brelloc-export: warning: --hl \"" + std::string(30, ' ') +
             "1234567890123\": only the first 40 characters are read; using 1234567890.000."},
        // Characters, not bytes: 23 characters in 43 bytes are not cut.
        {{"--nk", RowNK, "0.5" + kTwentyAccents},
         "brelloc-export: warning: --nk \"0.5" + kTwentyAccents +
             "\": the text after the number is ignored; using 0.500."},
        {{"--nk", RowNK, "0.5" + kTwentyAccents + kTwentyAccents},
         "brelloc-export: warning: --nk \"0.5" + kTwentyAccents + kTwentyAccents +
             "\": the text after the number is ignored; using 0.500."},
        // Hexadecimal is read as the reading rule has it, and said so.
        {{"--hl", RowHL, "0x10"},
         "brelloc-export: warning: --hl \"0x10\": read as a hexadecimal number; using 16.000."},
        {{"--nk", RowNK, " -0X1p-1"},
         "brelloc-export: warning: --nk \" -0X1p-1\": read as a hexadecimal number; the value "
         "must be a finite number of at least 0; using 0.000."},
        {{"--squares", RowSquares, "0x10"},
         "brelloc-export: warning: --squares \"0x10\": the text after the number is ignored; the "
         "value must be a whole number from 2 to 20; using 2."},
        {{"--hl", RowHL, "0x"},
         "brelloc-export: warning: --hl \"0x\": the text after the number is ignored; using "
         "0.000."},
        {{"--hl", RowHL, "10x"},
         "brelloc-export: warning: --hl \"10x\": the text after the number is ignored; using "
         "10.000."},
        {{"--hl", RowHL, "-0"}, ""},
        {{"--nk", RowNK, "-1e-400"}, ""},
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
