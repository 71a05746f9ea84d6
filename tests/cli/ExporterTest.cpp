// Runs the built brelloc-export as a user would and checks what it leaves.
#include "PicTeXWriter.h"

#include "ExpectedFigure.h"
#include "ProgramRun.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace brelloc {
namespace {

using test::ExpectedFigure;
using test::Export;
using test::ExporterForOptions;
using test::ExporterPath;
using test::FolderEntries;
using test::ProgramRun;
using test::ReadWholeFile;
using test::RunOptions;
using test::RunProgram;
using test::TempFolder;
using test::WriteWholeFile;

TEST(Exporter, WritesTheStartUpFigure)
{
    TempFolder folder;
    const ProgramRun run = Export(folder, {"--pictex", folder / "Brelloc.tex"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(ReadWholeFile(folder / "Brelloc.tex"), ExpectedFigure());
}

TEST(Exporter, DashWritesToStandardOutput)
{
    TempFolder folder;
    const ProgramRun run = Export(folder, {"--hl", "0.4", "--pictex", "-"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, ExpectedFigure("0.4"));
    EXPECT_TRUE(FolderEntries(folder.Path()).empty());
}

TEST(Exporter, WarnsAboutReplacedValuesAndStillExports)
{
    TempFolder folder;
    const ProgramRun run = Export(folder, {"--hl", "abc", "--nk", "0.35e1xyz", "--pictex", "-"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err,
              "brelloc-export: warning: --hl \"abc\": no number found; using 0.000.\n"
              "brelloc-export: warning: --nk \"0.35e1xyz\": the text after the number is "
              "ignored; using 3.500.\n");
    EXPECT_EQ(run.out, ExpectedFigure("abc", "3.5"));
    EXPECT_NE(run.out.find("$H/L=0.000, N/k=3.500$"), std::string::npos);
}

// With neither a head nor infiltration nothing flows: the figure is still
// written, and standard error says why it holds no net.
TEST(Exporter, WarnsWhereThereIsNoFlow)
{
    struct Case {
        std::vector<std::string> values;
        std::string err;
    };
    const Case cases[] = {
        {{"--hl", "0", "--nk", "0"}, "brelloc-export: warning: no flow: H/L and N/k are both 0\n"},
        {{"--hl", "-0", "--nk", "0.0"}, "brelloc-export: warning: no flow: H/L and N/k are both 0\n"},
        {{"--hl", "-2", "--nk", "0"},
         "brelloc-export: warning: --hl \"-2\": the value must be a finite number of at least 0; "
         "using 0.000.\nbrelloc-export: warning: no flow: H/L and N/k are both 0\n"},
        {{"--hl", "0"}, ""},
        {{"--nk", "0"}, ""},
        {{"--hl", "0.0001", "--nk", "0"}, ""},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        std::vector<std::string> args = c.values;
        args.insert(args.end(), {"--pictex", folder / "Brelloc.tex"});
        const ProgramRun run = Export(folder, args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err, c.err) << c.values[1];
        const std::string tex = ReadWholeFile(folder / "Brelloc.tex");
        EXPECT_NE(tex.find("\\endpicture"), std::string::npos);
        if (!c.err.empty()) // negative zero is zero: no minus sign in the caption
            EXPECT_NE(tex.find("$H/L=0.000, N/k=0.000$"), std::string::npos) << c.values[1];
    }
}

TEST(Exporter, UsageErrorsExitWithTwoAndWriteNothing)
{
    const std::vector<std::vector<std::string>> cases = {
        {"--frobnicate", "--pictex", "out.tex"},
        {"--pictex", "out.tex", "--hl"},
        {"--pictex"},
        {"--hl", "0.3"},
        {"out.tex"},
        {"--size", "15", "--png", "out.png"},
        {"--size", "800px", "--png", "out.png"},
        {"--page-size", "B5", "--report", "out.pdf"},
        {"--landscape=yes", "--report", "out.pdf"},
        {"--report", "-"},
        {"--svg", "out.svg", "--png", "out.svg"},
        {"--report", "--landscape", "out.pdf"},
        {"--pictex", "out.tex", "--", "--hl", "0.3"},
    };
    for (const std::vector<std::string>& args : cases) {
        TempFolder folder;
        std::vector<std::string> inFolder = args;
        for (std::string& arg : inFolder)
            if (arg == "out.tex")
                arg = folder / "out.tex";
        const ProgramRun run = Export(folder, inFolder);
        EXPECT_EQ(run.exitCode, 2) << args[0];
        EXPECT_NE(run.err.find("brelloc-export: "), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("Usage: brelloc-export"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(FolderEntries(folder.Path()).empty()) << args[0];
    }
}

TEST(Exporter, HelpPrintsUsage)
{
    TempFolder folder;
    const ProgramRun run = Export(folder, {"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.rfind("Usage: brelloc-export", 0), 0u);
    for (const char* option : {"--hl", "--nk", "--xmax", "--squares", "--pictex", "--report",
                               "--svg", "--png", "--page-size", "--landscape", "--size",
                               "--version"})
        EXPECT_NE(run.out.find(option), std::string::npos) << option;
    EXPECT_EQ(run.err, "");
}

// "brelloc-export MAJOR.MINOR.PATCH" and a line end.
bool IsVersionLine(const std::string& text)
{
    const std::string prefix = "brelloc-export ";
    if (text.rfind(prefix, 0) != 0 || text.empty() || text.back() != '\n')
        return false;
    int numbers = 0;
    bool inNumber = false;
    for (std::size_t i = prefix.size(); i + 1 < text.size(); ++i) {
        const char c = text[i];
        if (std::isdigit(static_cast<unsigned char>(c))) {
            numbers += !inNumber;
            inNumber = true;
        } else if (c == '.' && inNumber) {
            inNumber = false;
        } else {
            return false;
        }
    }
    return numbers == 3 && inNumber;
}

TEST(Exporter, VersionPrintsTheProgramsVersion)
{
    TempFolder folder;
    const ProgramRun run = Export(folder, {"--version"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, std::string("brelloc-export ") + BRELLOC_VERSION + "\n");
    EXPECT_TRUE(IsVersionLine(run.out)) << run.out;
    EXPECT_EQ(run.err, "");
}

// Qt aborts on a platform it does not know, so a PicTeX run that succeeds
// with one never started Qt.
TEST(Exporter, PicTeXAloneNeverStartsQt)
{
    TempFolder folder;
    RunOptions options;
    options.set = {"QT_QPA_PLATFORM=no-such-platform"};
    const ProgramRun run = Export(folder, {"--pictex", folder / "Brelloc.tex"}, options);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(ReadWholeFile(folder / "Brelloc.tex"), ExpectedFigure());
}

TEST(Exporter, MissingFolderExitsWithOne)
{
    TempFolder folder;
    const std::string path = folder / "missing/Brelloc.tex";
    const ProgramRun run = Export(folder, {"--pictex", path});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "brelloc-export: Could not write the file \"" + path +
                           "\": No such file or directory.\n");
    EXPECT_TRUE(FolderEntries(folder.Path()).empty());
}

TEST(Exporter, FullStandardOutputExitsWithOne)
{
    TempFolder folder;
    RunOptions options;
    options.stdoutPath = "/dev/full";
    const ProgramRun run = Export(folder, {"--pictex", "-"}, options);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "brelloc-export: Could not write to standard output: No space left on "
                       "device.\n");
}

// A read-only file is refused and stays as it was, although its folder would
// let the exporter replace it. Root may write any file, so as root the
// exporter runs as the unprivileged user 65534 ("nobody") on a root-owned
// read-only file in a folder that everyone may write.
TEST(Exporter, ReadOnlyFileIsLeftAsItWas)
{
    TempFolder folder;
    ASSERT_EQ(chmod(folder.Path().c_str(), 0777), 0);
    const std::string path = folder / "Brelloc.tex";
    WriteWholeFile(path, "% my own figure\n");
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);

    RunOptions options;
    const std::string program = ExporterForOptions(folder, options);
    const std::vector<std::string> before = FolderEntries(folder.Path());
    const ProgramRun run = RunProgram(folder, program, {"--pictex", path}, options);
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(run.err,
              "brelloc-export: Could not write the file \"" + path + "\": Permission denied.\n");
    EXPECT_EQ(ReadWholeFile(path), "% my own figure\n");
    EXPECT_EQ(FolderEntries(folder.Path()), before);
}

// A writable file in a folder that takes no new file is rewritten in place,
// as a plain open for writing would do.
TEST(Exporter, WritableFileInReadOnlyFolderIsRewritten)
{
    TempFolder folder;
    const std::string path = folder / "Brelloc.tex";
    WriteWholeFile(path, "% my own figure\n");
    ASSERT_EQ(chmod(path.c_str(), 0666), 0);
    ASSERT_EQ(chmod(folder.Path().c_str(), 0555), 0);

    RunOptions options;
    const std::string program = ExporterForOptions(folder, options);
    const ProgramRun run = RunProgram(folder, program, {"--pictex", path}, options);
    ASSERT_EQ(chmod(folder.Path().c_str(), 0777), 0); // let the folder be cleaned up
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadWholeFile(path), ExpectedFigure());
}

// The old file survives a failed export and is replaced by a good one.
TEST(Exporter, FailedExportKeepsTheOldFileAndALaterOneReplacesIt)
{
    TempFolder folder;
    const std::string path = folder / "Brelloc.tex";
    WriteWholeFile(path, "% previous figure\n");
    // A path that goes through the file as if it were a folder fails.
    const ProgramRun failed = Export(folder, {"--pictex", path + "/inner.tex"});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.err.find("Not a directory"), std::string::npos) << failed.err;
    EXPECT_EQ(ReadWholeFile(path), "% previous figure\n");

    const ProgramRun good = Export(folder, {"--pictex", path});
    EXPECT_EQ(good.exitCode, 0) << good.err;
    EXPECT_EQ(ReadWholeFile(path), ExpectedFigure());
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"Brelloc.tex"});
}

} // namespace
} // namespace brelloc
