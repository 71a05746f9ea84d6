// Runs the built brelloc-export as a user would and checks what it leaves.
#include "GeneralData.h"
#include "PicTeXWriter.h"
#include "TextStream.h"

#include "ExpectedFigure.h"
#include "ProgramRun.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <csignal>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
        if (!c.err.empty()) { // negative zero is zero: no minus sign in the caption
            EXPECT_NE(tex.find("$H/L=0.000, N/k=0.000$"), std::string::npos) << c.values[1];
        }
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
        {"--pictex", "-", "--pictex", "/dev/stdout"},
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
                               "--mark-divide", "--version"})
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

// Whatever goes to standard output, a failed write is noticed.
TEST(Exporter, FullStandardOutputExitsWithOne)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--pictex", "-"}, {"--help"}, {"--version"}}) {
        TempFolder folder;
        RunOptions options;
        options.stdoutPath = "/dev/full";
        const ProgramRun run = Export(folder, args, options);
        EXPECT_EQ(run.exitCode, 1) << args[0];
        EXPECT_EQ(run.err, "brelloc-export: Could not write to standard output: No space left on "
                           "device.\n")
            << args[0];
    }
}

// A name of standard output is written as "-" is: appended where the
// caller's descriptor appends, never replaced by a new file.
TEST(Exporter, NamesOfStandardOutputAppend)
{
    for (const char* name : {"/dev/stdout", "/dev/fd/1", "/proc/self/fd/1"}) {
        TempFolder folder;
        const std::string log = folder / "log.txt";
        WriteWholeFile(log, "log line\n");
        struct stat before {};
        ASSERT_EQ(stat(log.c_str(), &before), 0);
        RunOptions options;
        options.stdoutPath = log;
        options.appendToStdout = true;
        const ProgramRun run = Export(folder, {"--pictex", name}, options);
        EXPECT_EQ(run.exitCode, 0) << name << ": " << run.err;
        EXPECT_EQ(ReadWholeFile(log), "log line\n" + ExpectedFigure()) << name;
        struct stat after {};
        ASSERT_EQ(stat(log.c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino) << name;
        EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"log.txt"}) << name;
    }
}

// Starts the exporter with args, TMPDIR set to tmp and standard error into
// errPath; returns its id.
pid_t StartExporter(const std::string& errPath, const std::string& tmp,
                    const std::vector<std::string>& args)
{
    std::vector<std::string> texts{ExporterPath()};
    texts.insert(texts.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    const std::string tmpdir = "TMPDIR=" + tmp;
    const pid_t child = fork();
    if (child == 0) {
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int none = open("/dev/null", O_WRONLY);
        if (err < 0 || none < 0 || dup2(none, 1) < 0 || dup2(err, 2) < 0 ||
            putenv(const_cast<char*>(tmpdir.c_str())) != 0)
            _exit(126);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return child;
}

// SIGTERM in the middle of a run of many outputs: every file is either a
// complete figure or its old content, the files with two names keep both,
// nothing temporary stays beside them or in TMPDIR, and the exporter ends by
// the signal (status 143 in a shell).
TEST(Exporter, TerminatedRunLeavesNothingBehind)
{
    TempFolder folder;
    TempFolder tmp;
    TempFolder logs;
    const std::string old = "% the figure of last week\n";
    // The big figure: 20 squares in a wide window, several hundred kB.
    std::vector<std::string> args{"--squares", "20", "--xmax", "40"};
    std::vector<std::string> expectedEntries;
    const int outputs = 60;
    for (int i = 0; i < outputs; ++i) {
        const std::string name = "f" + std::to_string(i) + ".tex";
        args.push_back("--pictex");
        args.push_back(folder / name);
        expectedEntries.push_back(name);
        // Every other one has a second name, so it is rewritten in place.
        if (i % 2 == 1) {
            WriteWholeFile(folder / name, old);
            ASSERT_EQ(link((folder / name).c_str(), (folder / ("link-" + name)).c_str()), 0);
            expectedEntries.push_back("link-" + name);
        }
    }
    std::sort(expectedEntries.begin(), expectedEntries.end());
    GeneralData data;
    InitDefaults(data);
    CommitRow(data, RowSquares, "20");
    CommitRow(data, RowXmaxL, "40");
    UpdateDerived(data);
    StringTextStream figure;
    WritePicTeX(figure, data);

    const std::string errPath = logs / "stderr";
    const pid_t child = StartExporter(errPath, tmp.Path(), args);
    ASSERT_GT(child, 0);
    // Stopped while a file is being written: a temporary file or a backup
    // (a hidden name) is there.
    const auto writing = [&folder] {
        for (const std::string& name : FolderEntries(folder.Path()))
            if (name[0] == '.')
                return true;
        return false;
    };
    for (int polls = 0; polls < 100000 && !writing(); ++polls)
        usleep(100);
    kill(child, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status) << ": "
                                     << ReadWholeFile(errPath);
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
    EXPECT_EQ(ReadWholeFile(errPath), "");

    std::vector<std::string> entries = FolderEntries(folder.Path());
    int written = 0;
    for (int i = 0; i < outputs; ++i) {
        const std::string name = "f" + std::to_string(i) + ".tex";
        if (i % 2 == 0 && access((folder / name).c_str(), F_OK) != 0) {
            expectedEntries.erase(std::find(expectedEntries.begin(), expectedEntries.end(), name));
            continue;
        }
        const std::string content = ReadWholeFile(folder / name);
        EXPECT_TRUE(content == figure.Text() || (i % 2 == 1 && content == old)) << name;
        written += content == figure.Text();
        if (i % 2 == 1) {
            struct stat info {};
            ASSERT_EQ(stat((folder / name).c_str(), &info), 0);
            EXPECT_EQ(info.st_nlink, 2u) << name;
        }
    }
    EXPECT_LT(written, outputs);
    EXPECT_EQ(entries, expectedEntries);
    EXPECT_TRUE(FolderEntries(tmp.Path()).empty());
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
