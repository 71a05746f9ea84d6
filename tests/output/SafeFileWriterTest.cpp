#include "FileTextStream.h"
#include "PicTeXWriter.h"
#include "SafeFileWriter.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace brelloc {
namespace {

using test::FolderEntries;
using test::ReadWholeFile;
using test::TempFolder;
using test::WriteWholeFile;

GeneralData Defaults()
{
    GeneralData data;
    InitDefaults(data);
    return data;
}

std::string ExpectedText(const GeneralData& data)
{
    StringTextStream out;
    WritePicTeX(out, data);
    return out.Text();
}

TEST(WritePicTeXFile, WritesTheWholeFileAndReplacesAnOldOne)
{
    TempFolder folder;
    const std::string path = folder / "Brelloc.tex";
    WriteWholeFile(path, "old text that is much shorter\n");
    chmod(path.c_str(), 0640);

    const GeneralData data = Defaults();
    const ExportResult result = WritePicTeXFile(data, path);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_TRUE(result.error.empty());
    EXPECT_EQ(ReadWholeFile(path), ExpectedText(data));
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"Brelloc.tex"});
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u) << "the replacement keeps the old permissions";
}

TEST(WritePicTeXFile, WritesThroughASymbolicLink)
{
    TempFolder folder;
    const std::string real = folder / "real.tex";
    const std::string link = folder / "link.tex";
    WriteWholeFile(real, "old\n");
    ASSERT_EQ(symlink("real.tex", link.c_str()), 0);
    const GeneralData data = Defaults();
    ASSERT_TRUE(WritePicTeXFile(data, link).ok);
    struct stat info {};
    ASSERT_EQ(lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(ReadWholeFile(real), ExpectedText(data));
}

struct BadPath {
    const char* what;
    std::string (*make)(const TempFolder& folder); // returns the target path
    const char* reason;                            // strerror text expected
};

// Paths that cannot be written even by root: the error names the path and
// the reason, and nothing in the folder changes.
class UnwritablePath : public ::testing::TestWithParam<BadPath> {};

TEST_P(UnwritablePath, IsReportedAndChangesNothing)
{
    TempFolder folder;
    WriteWholeFile(folder / "keep.tex", "keep me\n");
    const std::string path = GetParam().make(folder);
    const std::vector<std::string> before = FolderEntries(folder.Path());

    const ExportResult result = WritePicTeXFile(Defaults(), path);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "Could not write the file \"" + path + "\": " + GetParam().reason + ".");
    EXPECT_EQ(FolderEntries(folder.Path()), before);
    EXPECT_EQ(ReadWholeFile(folder / "keep.tex"), "keep me\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnwritablePath,
    ::testing::Values(
        BadPath{"missing folder",
                [](const TempFolder& f) { return f / "no such folder/Brelloc.tex"; },
                "No such file or directory"},
        BadPath{"folder given as the file",
                [](const TempFolder& f) {
                    mkdir((f / "sub").c_str(), 0755);
                    return f / "sub";
                },
                "Is a directory"},
        BadPath{"file given as a folder",
                [](const TempFolder& f) { return f / "keep.tex/Brelloc.tex"; },
                "Not a directory"},
        BadPath{"empty path", [](const TempFolder&) { return std::string(); },
                "No such file or directory"}),
    [](const ::testing::TestParamInfo<BadPath>& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (c == ' ')
                c = '_';
        return name;
    });

// A write that fails halfway (here: the file size limit, as a full disk
// would) leaves the old file exactly as it was and no temporary behind.
TEST(WritePicTeXFile, FailureHalfwayKeepsTheOldFile)
{
    TempFolder folder;
    const std::string path = folder / "Brelloc.tex";
    const std::string old(100, 'x');
    WriteWholeFile(path, old);

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        const ExportResult result = WritePicTeXFile(Defaults(), path);
        const bool reported =
            !result.ok && result.error == "Could not write the file \"" + path +
                                              "\": " + std::strerror(EFBIG) + ".";
        _exit(reported ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the failure was not reported as expected";
    EXPECT_EQ(ReadWholeFile(path), old);
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"Brelloc.tex"});
}

TEST(FileTextStream, KeepsTheFirstErrorAndStops)
{
    char memory[64];
    std::FILE* file = fmemopen(memory, sizeof memory, "w");
    ASSERT_NE(file, nullptr);
    setvbuf(file, nullptr, _IONBF, 0);
    FileTextStream stream(file);
    stream.Write(std::string(40, 'a'));
    EXPECT_FALSE(stream.Failed());
    stream.Write(std::string(40, 'b'));
    EXPECT_TRUE(stream.Failed());
    const int error = stream.Error();
    EXPECT_NE(error, 0);
    stream.Write("more");
    EXPECT_EQ(stream.Error(), error);
    EXPECT_FALSE(stream.Flush());
    std::fclose(file);
}

TEST(SafeFileWriter, NothingAppearsBeforeCommit)
{
    TempFolder folder;
    const std::string path = folder / "late.tex";
    {
        SafeFileWriter writer(path);
        ASSERT_TRUE(writer.Open());
        writer.Stream().Write("partial");
        EXPECT_EQ(access(path.c_str(), F_OK), -1);
        EXPECT_EQ(FolderEntries(folder.Path()).size(), 1u); // the temporary
    }
    // Abandoned without Commit(): the temporary is gone, no file appeared.
    EXPECT_TRUE(FolderEntries(folder.Path()).empty());
}

// A pipe (or a device such as /dev/stdout) cannot be replaced by a file: it
// is written in place and stays what it was.
TEST(SafeFileWriter, WritesAPipeInPlace)
{
    TempFolder folder;
    const std::string path = folder / "pipe";
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    const int reader = open(path.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    {
        SafeFileWriter writer(path);
        ASSERT_TRUE(writer.Open()) << writer.ErrorMessage();
        writer.Stream().Write("through the pipe\n");
        EXPECT_TRUE(writer.Commit()) << writer.ErrorMessage();
    }
    char buffer[64] = {};
    EXPECT_EQ(read(reader, buffer, sizeof buffer - 1), 17);
    EXPECT_STREQ(buffer, "through the pipe\n");
    close(reader);
    struct stat info {};
    ASSERT_EQ(lstat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"pipe"});
}

} // namespace
} // namespace brelloc
