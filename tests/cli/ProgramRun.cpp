#include "ProgramRun.h"

#include <algorithm>
#include <filesystem>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace brelloc::test {

namespace {

std::vector<std::string> Environment(const RunOptions& options)
{
    std::vector<std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string variable = *entry;
        const std::string name = variable.substr(0, variable.find('='));
        const bool dropped =
            std::find(options.unset.begin(), options.unset.end(), name) != options.unset.end() ||
            std::any_of(options.set.begin(), options.set.end(), [&name](const std::string& s) {
                return s.rfind(name + "=", 0) == 0;
            });
        if (!dropped)
            variables.push_back(variable);
    }
    variables.insert(variables.end(), options.set.begin(), options.set.end());
    return variables;
}

std::vector<char*> Pointers(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

ProgramRun RunProgram(const TempFolder& folder, const std::string& program,
                      const std::vector<std::string>& args, const RunOptions& options)
{
    const std::string outPath = options.stdoutPath.empty() ? folder / ".stdout" : options.stdoutPath;
    const std::string errPath = folder / ".stderr";
    // Everything the child needs is built before the fork.
    std::vector<std::string> argvTexts{program};
    argvTexts.insert(argvTexts.end(), args.begin(), args.end());
    std::vector<char*> argv = Pointers(argvTexts);
    std::vector<std::string> envTexts = Environment(options);
    std::vector<char*> envp = Pointers(envTexts);

    const pid_t child = fork();
    if (child == 0) {
        int out = -1;
        int pipeEnds[2];
        if (options.stdoutReaderGone) {
            if (pipe(pipeEnds) == 0) {
                close(pipeEnds[0]);
                out = pipeEnds[1];
            }
        } else {
            out = open(outPath.c_str(),
                       O_WRONLY | O_CREAT | (options.appendToStdout ? O_APPEND : O_TRUNC), 0644);
        }
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0)
            _exit(126);
        if (options.asNobody &&
            (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
            _exit(125);
        execvpe(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    ProgramRun run;
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child) {
        if (WIFEXITED(status))
            run.exitCode = WEXITSTATUS(status);
        else if (WIFSIGNALED(status))
            run.signal = WTERMSIG(status);
    }
    if (options.stdoutPath.empty() && !options.stdoutReaderGone) {
        run.out = ReadWholeFile(outPath);
        unlink(outPath.c_str());
    }
    run.err = ReadWholeFile(errPath);
    unlink(errPath.c_str());
    return run;
}

const std::string& ExporterPath()
{
    static const std::string path = BRELLOC_EXPORT_PATH;
    return path;
}

ProgramRun Export(const TempFolder& folder, const std::vector<std::string>& args,
                  const RunOptions& options)
{
    return RunProgram(folder, ExporterPath(), args, options);
}

RunOptions Headless()
{
    RunOptions options;
    options.unset = {"DISPLAY", "QT_QPA_PLATFORM", "WAYLAND_DISPLAY"};
    return options;
}

std::string ExporterForOptions(const TempFolder& folder, RunOptions& options)
{
    if (geteuid() != 0)
        return ExporterPath();
    options.asNobody = true;
    const std::string program = folder / ".brelloc-export";
    std::filesystem::copy_file(ExporterPath(), program);
    chmod(program.c_str(), 0755);
    return program;
}

} // namespace brelloc::test
