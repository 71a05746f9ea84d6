#pragma once

#include "TempFolder.h"

#include <string>
#include <vector>

namespace brelloc::test {

// What a finished program left: its exit code (-1 when it did not exit
// normally) and what it wrote to standard output and error.
struct ProgramRun {
    int exitCode = -1;
    int signal = 0; // the signal that ended it, if one did
    std::string out;
    std::string err;
};

struct RunOptions {
    std::string stdoutPath;          // where standard output goes; empty: collected
    bool appendToStdout = false;     // stdoutPath opened for appending, as ">>" does
    bool stdoutReaderGone = false;   // standard output a pipe nobody reads any more
    bool asNobody = false;           // drop root's privileges to user and group 65534
    std::vector<std::string> unset;  // variables taken out of the environment
    std::vector<std::string> set;    // "NAME=value" put into it
};

// Runs program (found on PATH when it has no slash) with args; standard
// output and error are collected in files of folder, which are removed again.
ProgramRun RunProgram(const TempFolder& folder, const std::string& program,
                      const std::vector<std::string>& args, const RunOptions& options = {});

// The built brelloc-export.
const std::string& ExporterPath();

ProgramRun Export(const TempFolder& folder, const std::vector<std::string>& args,
                  const RunOptions& options = {});

// As a machine without a display runs it: no DISPLAY, no QT_QPA_PLATFORM.
RunOptions Headless();

// Runs the exporter as the unprivileged user "nobody" when the tests run as
// root (root may write any file), from a copy in folder that nobody can surely
// reach; otherwise as the user running the tests. Returns the program to run.
std::string ExporterForOptions(const TempFolder& folder, RunOptions& options);

} // namespace brelloc::test
