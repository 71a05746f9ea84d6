#include "FileTextStream.h"
#include "InterruptCleanup.h"
#include "PicTeXWriter.h"
#include "SafeFileWriter.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <sys/mount.h>
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


// Users for the cases where the writer is not the file's owner. The writer
// runs as kUser, with kProject as a further group; kOther owns files too.
constexpr uid_t kUser = 4321;
constexpr gid_t kUserGroup = 4321;
constexpr gid_t kProject = 4444;
constexpr uid_t kOther = 4322;

using Method = SafeFileWriter::Method;

// Writes the start-up figure to path with a SafeFileWriter in a child
// process, as root or as kUser. Returns "" when written by the expected
// method, otherwise what went wrong.
std::string WriteInChild(const std::string& path, bool asUser, Method expected)
{
    int report[2];
    if (pipe(report) != 0)
        return "no pipe";
    const pid_t child = fork();
    if (child == 0) {
        close(report[0]);
        std::string problem;
        const gid_t groups[] = {kProject};
        if (asUser && (setgroups(1, groups) != 0 || setgid(kUserGroup) != 0 || setuid(kUser) != 0)) {
            problem = "cannot become the user";
        } else {
            SafeFileWriter writer(path);
            if (writer.Open()) {
                WritePicTeX(writer.Stream(), Defaults());
                writer.Commit();
            }
            if (!writer.Ok())
                problem = writer.ErrorMessage();
            else if (writer.WriteMethod() != expected)
                problem = "written by method " + std::to_string(static_cast<int>(writer.WriteMethod()));
        }
        (void)!write(report[1], problem.data(), problem.size());
        _exit(0);
    }
    close(report[1]);
    std::string problem;
    char buffer[512];
    for (ssize_t got; (got = read(report[0], buffer, sizeof buffer)) > 0;)
        problem.append(buffer, static_cast<std::size_t>(got));
    close(report[0]);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return "the child did not finish";
    return problem;
}

// A TMPDIR of the test's own, open to every user, so that a backup put
// there is seen and nothing is left in the real one.
class WriterFolders : public ::testing::Test {
protected:
    void SetUp() override
    {
        oldMask_ = umask(022);
        const char* old = std::getenv("TMPDIR");
        hadTmpdir_ = old != nullptr;
        if (hadTmpdir_)
            oldTmpdir_ = old;
        chmod(tmp_.Path().c_str(), 01777);
        setenv("TMPDIR", tmp_.Path().c_str(), 1);
    }
    void TearDown() override
    {
        if (hadTmpdir_)
            setenv("TMPDIR", oldTmpdir_.c_str(), 1);
        else
            unsetenv("TMPDIR");
        umask(oldMask_);
        SetWriteFunction(nullptr);
    }
    std::vector<std::string> TmpdirEntries() const { return FolderEntries(tmp_.Path()); }

    TempFolder folder_;
    TempFolder tmp_;

private:
    mode_t oldMask_ = 0;
    bool hadTmpdir_ = false;
    std::string oldTmpdir_;
};

struct Prepared {
    std::string path;                    // given to the writer
    std::string file;                    // where the figure must land
    std::vector<std::string> otherNames; // further links to the same file
};

struct ReplaceCase {
    const char* what;
    bool asUser;
    Prepared (*prepare)(const TempFolder& folder);
    Method method;
    bool keepsInode; // written into the old file rather than a new one
    uid_t uid;
    gid_t gid;
    mode_t mode;
    nlink_t links;
    std::vector<std::string> entries; // the folder afterwards
};

void Own(const std::string& path, uid_t uid, gid_t gid, mode_t mode)
{
    if (chown(path.c_str(), uid, gid) != 0 || chmod(path.c_str(), mode) != 0)
        throw std::runtime_error("cannot set up " + path);
}

const std::string kLongName = std::string(251, 'n') + ".tex"; // 255 bytes

void PrintTo(const ReplaceCase& c, std::ostream* out) { *out << c.what; }

class ReplaceTable : public WriterFolders, public ::testing::WithParamInterface<ReplaceCase> {};

TEST_P(ReplaceTable, KeepsContentLinksOwnerGroupAndMode)
{
    const ReplaceCase& c = GetParam();
    if (geteuid() != 0 && (c.asUser || c.uid != geteuid()))
        GTEST_SKIP() << "needs root to stand in for other users";
    const Prepared prepared = c.prepare(folder_);
    struct stat before {};
    const bool existed = stat(prepared.file.c_str(), &before) == 0;
    struct stat linkBefore {};
    const bool wasLink = lstat(prepared.path.c_str(), &linkBefore) == 0 && S_ISLNK(linkBefore.st_mode);

    EXPECT_EQ(WriteInChild(prepared.path, c.asUser, c.method), "");

    const std::string expected = ExpectedText(Defaults());
    EXPECT_EQ(ReadWholeFile(prepared.file), expected);
    for (const std::string& name : prepared.otherNames)
        EXPECT_EQ(ReadWholeFile(name), expected) << name;
    struct stat after {};
    ASSERT_EQ(stat(prepared.file.c_str(), &after), 0);
    EXPECT_EQ(after.st_uid, c.uid);
    EXPECT_EQ(after.st_gid, c.gid);
    EXPECT_EQ(after.st_mode & 07777, c.mode);
    EXPECT_EQ(after.st_nlink, c.links);
    if (existed) {
        EXPECT_EQ(after.st_ino == before.st_ino, c.keepsInode);
    }
    struct stat linkAfter {};
    ASSERT_EQ(lstat(prepared.path.c_str(), &linkAfter), 0);
    EXPECT_EQ(S_ISLNK(linkAfter.st_mode), wasLink);
    EXPECT_EQ(FolderEntries(folder_.Path()), c.entries);
    EXPECT_TRUE(TmpdirEntries().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplaceTable,
    ::testing::Values(
        // Root can give the new file the old one's owner: it is renamed over.
        ReplaceCase{"another users file written by root", false,
                    [](const TempFolder& f) {
                        WriteWholeFile(f / "fig.tex", "old\n");
                        Own(f / "fig.tex", kUser, kProject, 0640);
                        return Prepared{f / "fig.tex", f / "fig.tex", {}};
                    },
                    Method::Replace, false, kUser, kProject, 0640, 1, {"fig.tex"}},
        ReplaceCase{"read-only folder", true,
                    [](const TempFolder& f) {
                        WriteWholeFile(f / "fig.tex", "old\n");
                        Own(f / "fig.tex", kUser, kUserGroup, 0644);
                        chmod(f.Path().c_str(), 0555);
                        return Prepared{f / "fig.tex", f / "fig.tex", {}};
                    },
                    Method::InPlace, true, kUser, kUserGroup, 0644, 1, {"fig.tex"}},
        ReplaceCase{"several links", false,
                    [](const TempFolder& f) {
                        WriteWholeFile(f / "fig.tex", "old\n");
                        link((f / "fig.tex").c_str(), (f / "copy.tex").c_str());
                        return Prepared{f / "fig.tex", f / "fig.tex", {f / "copy.tex"}};
                    },
                    Method::InPlace, true, 0, 0, 0644, 2, {"copy.tex", "fig.tex"}},
        // The writer cannot make a file root's: the project keeps its file.
        ReplaceCase{"project file of another owner", true,
                    [](const TempFolder& f) {
                        chmod(f.Path().c_str(), 0777);
                        WriteWholeFile(f / "fig.tex", "old\n");
                        Own(f / "fig.tex", 0, kProject, 0664);
                        return Prepared{f / "fig.tex", f / "fig.tex", {}};
                    },
                    Method::InPlace, true, 0, kProject, 0664, 1, {"fig.tex"}},
        ReplaceCase{"own file in a further group", true,
                    [](const TempFolder& f) {
                        chmod(f.Path().c_str(), 0777);
                        WriteWholeFile(f / "fig.tex", "old\n");
                        Own(f / "fig.tex", kUser, kProject, 0640);
                        return Prepared{f / "fig.tex", f / "fig.tex", {}};
                    },
                    Method::Replace, false, kUser, kProject, 0640, 1, {"fig.tex"}},
        ReplaceCase{"sticky folder", true,
                    [](const TempFolder& f) {
                        chmod(f.Path().c_str(), 01777);
                        WriteWholeFile(f / "fig.tex", "old\n");
                        Own(f / "fig.tex", kOther, kOther, 0666);
                        return Prepared{f / "fig.tex", f / "fig.tex", {}};
                    },
                    Method::InPlace, true, kOther, kOther, 0666, 1, {"fig.tex"}},
        // As a shell redirection does: the file pointed to is created.
        ReplaceCase{"dangling link", false,
                    [](const TempFolder& f) {
                        symlink("real.tex", (f / "fig.tex").c_str());
                        return Prepared{f / "fig.tex", f / "real.tex", {}};
                    },
                    Method::Replace, false, 0, 0, 0644, 1, {"fig.tex", "real.tex"}},
        ReplaceCase{"link to a file with two names", false,
                    [](const TempFolder& f) {
                        WriteWholeFile(f / "real.tex", "old\n");
                        link((f / "real.tex").c_str(), (f / "copy.tex").c_str());
                        symlink("real.tex", (f / "fig.tex").c_str());
                        return Prepared{f / "fig.tex", f / "real.tex", {f / "copy.tex"}};
                    },
                    Method::InPlace, true, 0, 0, 0644, 2, {"copy.tex", "fig.tex", "real.tex"}},
        ReplaceCase{"255-byte name", false,
                    [](const TempFolder& f) {
                        WriteWholeFile(f / kLongName, "old\n");
                        return Prepared{f / kLongName, f / kLongName, {}};
                    },
                    Method::Replace, false, 0, 0, 0644, 1, {kLongName}},
        ReplaceCase{"255-byte name with two links", false,
                    [](const TempFolder& f) {
                        WriteWholeFile(f / kLongName, "old\n");
                        link((f / kLongName).c_str(), (f / "copy.tex").c_str());
                        return Prepared{f / kLongName, f / kLongName, {f / "copy.tex"}};
                    },
                    Method::InPlace, true, 0, 0, 0644, 2, {"copy.tex", kLongName}},
        ReplaceCase{"new 255-byte name", false,
                    [](const TempFolder& f) { return Prepared{f / kLongName, f / kLongName, {}}; },
                    Method::Replace, false, 0, 0, 0644, 1, {kLongName}}),
    [](const ::testing::TestParamInfo<ReplaceCase>& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (c == ' ' || c == '-')
                c = '_';
        return name;
    });

// A name for one of the process's descriptors writes through that
// descriptor, as "-" writes to standard output: an appending descriptor
// appends, another one writes at its offset, and the file stays the same.
struct StreamCase {
    const char* what;
    int descriptor;
    bool append;
    std::string (*name)(int descriptor);
};

void PrintTo(const StreamCase& c, std::ostream* out) { *out << c.what; }

class StreamPath : public WriterFolders, public ::testing::WithParamInterface<StreamCase> {};

TEST_P(StreamPath, WritesThroughTheDescriptor)
{
    const StreamCase& c = GetParam();
    const std::string log = folder_ / "log.txt";
    WriteWholeFile(log, "log line\n");
    struct stat before {};
    ASSERT_EQ(stat(log.c_str(), &before), 0);

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int fd = open(log.c_str(), O_WRONLY | (c.append ? O_APPEND : 0));
        if (fd < 0 || lseek(fd, 0, SEEK_END) < 0 || dup2(fd, c.descriptor) < 0)
            _exit(3);
        SafeFileWriter writer(c.name(c.descriptor));
        if (writer.Open()) {
            WritePicTeX(writer.Stream(), Defaults());
            writer.Commit();
        }
        _exit(!writer.Ok() ? 1 : writer.WriteMethod() != Method::Stream ? 2 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadWholeFile(log), "log line\n" + ExpectedText(Defaults()));
    struct stat after {};
    ASSERT_EQ(stat(log.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(FolderEntries(folder_.Path()), std::vector<std::string>{"log.txt"});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StreamPath,
    ::testing::Values(
        StreamCase{"dev_stdout", 1, true, [](int) { return std::string("/dev/stdout"); }},
        StreamCase{"dev_stderr", 2, true, [](int) { return std::string("/dev/stderr"); }},
        StreamCase{"dev_fd", 5, true, [](int fd) { return "/dev/fd/" + std::to_string(fd); }},
        StreamCase{"dev_fd_at_its_offset", 5, false,
                   [](int fd) { return "/dev/fd/" + std::to_string(fd); }},
        StreamCase{"proc_self_fd", 6, true,
                   [](int fd) { return "/proc/self/fd/" + std::to_string(fd); }},
        StreamCase{"proc_pid_fd_at_its_offset", 6, false,
                   [](int fd) {
                       return "/proc/" + std::to_string(getpid()) + "/fd/" + std::to_string(fd);
                   }}),
    [](const ::testing::TestParamInfo<StreamCase>& info) { return std::string(info.param.what); });

// A character device is written as it stands (root could rename a file
// over it).
TEST(SafeFileWriter, WritesADeviceAsItStands)
{
    struct stat before {};
    ASSERT_EQ(stat("/dev/null", &before), 0);
    ASSERT_TRUE(S_ISCHR(before.st_mode));
    {
        SafeFileWriter writer("/dev/null");
        ASSERT_TRUE(writer.Open()) << writer.ErrorMessage();
        EXPECT_EQ(writer.WriteMethod(), Method::Stream);
        WritePicTeX(writer.Stream(), Defaults());
        EXPECT_TRUE(writer.Commit()) << writer.ErrorMessage();
    }
    struct stat after {};
    ASSERT_EQ(stat("/dev/null", &after), 0);
    EXPECT_TRUE(S_ISCHR(after.st_mode));
    EXPECT_EQ(after.st_rdev, before.st_rdev);
    EXPECT_EQ(after.st_ino, before.st_ino);
}

TEST(SafeFileWriter, StreamNameOfAClosedDescriptorIsReported)
{
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(7);
        SafeFileWriter writer("/dev/fd/7");
        const bool refused = !writer.Open() && writer.ErrorMessage() ==
                                                   "Could not write the file \"/dev/fd/7\": " +
                                                       std::string(std::strerror(EBADF)) + ".";
        _exit(refused ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(StreamDescriptorOf, NamesOfThisProcesssDescriptors)
{
    EXPECT_EQ(StreamDescriptorOf("/dev/stdin"), 0);
    EXPECT_EQ(StreamDescriptorOf("/dev/stdout"), 1);
    EXPECT_EQ(StreamDescriptorOf("/dev/stderr"), 2);
    EXPECT_EQ(StreamDescriptorOf("/dev/fd/12"), 12);
    EXPECT_EQ(StreamDescriptorOf("/proc/self/fd/3"), 3);
    EXPECT_EQ(StreamDescriptorOf("/proc/thread-self/fd/4"), 4);
    EXPECT_EQ(StreamDescriptorOf("/proc/" + std::to_string(getpid()) + "/fd/9"), 9);
    for (const std::string& other :
         {std::string("/dev/fd/"), std::string("/dev/fd/1x"), std::string("/dev/fd/-1"),
          std::string("/dev/null"), std::string("/dev/stdout2"), std::string("dev/stdout"),
          std::string("/proc/1/fd/1"), std::string("/proc/self/fd/99999999999"),
          std::string("/tmp/stdout")})
        EXPECT_EQ(StreamDescriptorOf(other), -1) << other;
}

// A rewrite in place that fails half-way (the file size limit, as a full
// disk would) puts the old content back and says so; nothing is left over.
TEST_F(WriterFolders, FailureInPlacePutsTheOldContentBack)
{
    const std::string path = folder_ / "fig.tex";
    const std::string old(100, 'x');
    WriteWholeFile(path, old);
    ASSERT_EQ(link(path.c_str(), (folder_ / "copy.tex").c_str()), 0);

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        const ExportResult result = WritePicTeXFile(Defaults(), path);
        const bool reported = !result.ok && result.error == "Could not write the file \"" + path + "\": " +
                                                               std::strerror(EFBIG) +
                                                               "; the old content was put back.";
        _exit(reported ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the failure was not reported as expected";
    EXPECT_EQ(ReadWholeFile(path), old);
    EXPECT_EQ(ReadWholeFile(folder_ / "copy.tex"), old);
    EXPECT_EQ(FolderEntries(folder_.Path()), (std::vector<std::string>{"copy.tex", "fig.tex"}));
    EXPECT_TRUE(TmpdirEntries().empty());
}

// Writes fail for good once the budget is used up, as on a disk that fails.
std::size_t g_writeBudget = 0;
ssize_t FailingWrite(int fd, const void* data, std::size_t size)
{
    if (g_writeBudget == 0) {
        errno = EIO;
        return -1;
    }
    const std::size_t now = std::min(size, g_writeBudget);
    const ssize_t written = write(fd, data, now);
    if (written > 0)
        g_writeBudget -= static_cast<std::size_t>(written);
    return written;
}

// When even putting the old content back fails, the backup is kept and the
// error says where.
TEST_F(WriterFolders, BackupIsKeptWhenTheOldContentCannotBePutBack)
{
    const std::string path = folder_ / "fig.tex";
    const std::string old = "% my own figure\n";
    WriteWholeFile(path, old);
    ASSERT_EQ(link(path.c_str(), (folder_ / "copy.tex").c_str()), 0);

    g_writeBudget = old.size() + 70000; // the backup, then part of the new text
    SetWriteFunction(&FailingWrite);
    std::string message, backup;
    {
        SafeFileWriter writer(path);
        ASSERT_TRUE(writer.Open());
        EXPECT_EQ(writer.WriteMethod(), Method::InPlace);
        WritePicTeX(writer.Stream(), Defaults());
        EXPECT_FALSE(writer.Commit());
        message = writer.ErrorMessage();
        backup = writer.BackupPath();
    }
    SetWriteFunction(nullptr);
    ASSERT_FALSE(backup.empty());
    EXPECT_EQ(message, "Could not write the file \"" + path + "\": " + std::strerror(EIO) +
                           "; the old content is kept in \"" + backup + "\".");
    EXPECT_EQ(ReadWholeFile(backup), old);
    EXPECT_EQ(backup.rfind(folder_.Path() + "/.fig.tex.", 0), 0u) << backup;
}

// A writer abandoned before Commit() leaves the old file as it was, also
// when it was rewriting it in place.
TEST_F(WriterFolders, AbandonedRewriteInPlacePutsTheOldContentBack)
{
    const std::string path = folder_ / "fig.tex";
    WriteWholeFile(path, "old\n");
    ASSERT_EQ(link(path.c_str(), (folder_ / "copy.tex").c_str()), 0);
    {
        SafeFileWriter writer(path);
        ASSERT_TRUE(writer.Open());
        ASSERT_EQ(writer.WriteMethod(), Method::InPlace);
        writer.Stream().Write(std::string(200000, 'p'));
        EXPECT_NE(ReadWholeFile(path), "old\n"); // being rewritten
    }
    EXPECT_EQ(ReadWholeFile(path), "old\n");
    EXPECT_EQ(FolderEntries(folder_.Path()), (std::vector<std::string>{"copy.tex", "fig.tex"}));
    EXPECT_TRUE(TmpdirEntries().empty());
}

// A file system that fills up: a small tmpfs, when this process may mount
// one. A new file beside the old one is dropped; a rewrite in place (two
// links) is undone from a backup in TMPDIR, for the full folder has no room
// for one.
TEST_F(WriterFolders, FullFileSystemKeepsTheOldContent)
{
    const std::string mountPoint = folder_ / "small";
    ASSERT_EQ(mkdir(mountPoint.c_str(), 0755), 0);
    if (mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    struct Unmount {
        std::string path;
        ~Unmount() { umount(path.c_str()); }
    } unmount{mountPoint};

    const std::string single = mountPoint + "/single.tex";
    const std::string linked = mountPoint + "/linked.tex";
    const std::string old(2000, 'o');
    WriteWholeFile(single, old);
    WriteWholeFile(linked, old);
    ASSERT_EQ(link(linked.c_str(), (mountPoint + "/copy.tex").c_str()), 0);
    // Fill what is left.
    {
        const int fd = open((mountPoint + "/filler").c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        const std::string block(4096, 'f');
        while (write(fd, block.data(), block.size()) > 0) {
        }
        close(fd);
    }
    const std::vector<std::string> before = FolderEntries(mountPoint);

    const ExportResult replaced = WritePicTeXFile(Defaults(), single);
    EXPECT_EQ(replaced.error, "Could not write the file \"" + single + "\": " + std::strerror(ENOSPC) + ".");
    const ExportResult inPlace = WritePicTeXFile(Defaults(), linked);
    EXPECT_EQ(inPlace.error, "Could not write the file \"" + linked + "\": " + std::strerror(ENOSPC) +
                                 "; the old content was put back.");
    EXPECT_EQ(ReadWholeFile(single), old);
    EXPECT_EQ(ReadWholeFile(linked), old);
    EXPECT_EQ(ReadWholeFile(mountPoint + "/copy.tex"), old);
    EXPECT_EQ(FolderEntries(mountPoint), before);
    EXPECT_TRUE(TmpdirEntries().empty());
}

TEST_F(WriterFolders, ScratchFolderGoesWithEverythingInIt)
{
    std::string path;
    {
        const ScratchFolder scratch("brelloc-test");
        ASSERT_TRUE(scratch.Ok()) << std::strerror(scratch.Error());
        path = scratch.Path();
        EXPECT_EQ(path.rfind(tmp_.Path() + "/brelloc-test-", 0), 0u) << path;
        WriteWholeFile(path + "/report.pdf", "%PDF-");
    }
    EXPECT_NE(access(path.c_str(), F_OK), 0);
    EXPECT_TRUE(TmpdirEntries().empty());
}

// An interruption while a file is being written removes what the write made
// and puts back what it was rewriting; the process then ends by the signal.
struct InterruptCase {
    const char* what;
    int links; // 1: a new file beside the old one; 2: rewritten in place
};

void PrintTo(const InterruptCase& c, std::ostream* out) { *out << c.what; }

class Interrupted : public WriterFolders, public ::testing::WithParamInterface<InterruptCase> {};

TEST_P(Interrupted, LeavesTheOldFileAndNothingElse)
{
    const std::string path = folder_ / "fig.tex";
    WriteWholeFile(path, "old\n");
    std::vector<std::string> entries{"fig.tex"};
    if (GetParam().links == 2) {
        ASSERT_EQ(link(path.c_str(), (folder_ / "copy.tex").c_str()), 0);
        entries.insert(entries.begin(), "copy.tex");
    }
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        HandleInterruptions("");
        const ScratchFolder scratch("brelloc-test");
        WriteWholeFile(scratch.Path() + "/report.pdf", "%PDF-");
        SafeFileWriter writer(path);
        if (!writer.Open())
            _exit(1);
        // More than a buffer, so part of it has reached the disk.
        writer.Stream().Write(std::string(200000, 'p'));
        writer.Stream().Write("more");
        const bool started = GetParam().links == 2 ? ReadWholeFile(path).size() >= 65536
                                                   : !writer.TemporaryPath().empty();
        if (!started)
            _exit(2);
        kill(getpid(), SIGTERM);
        for (;;)
            pause();
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
    EXPECT_EQ(ReadWholeFile(path), "old\n");
    EXPECT_EQ(FolderEntries(folder_.Path()), entries);
    EXPECT_TRUE(TmpdirEntries().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, Interrupted,
                         ::testing::Values(InterruptCase{"new_file_beside", 1},
                                           InterruptCase{"rewritten_in_place", 2}),
                         [](const ::testing::TestParamInfo<InterruptCase>& info) {
                             return std::string(info.param.what);
                         });

} // namespace
} // namespace brelloc
