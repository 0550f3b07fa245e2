#ifndef PROCESSRUNNER_H
#define PROCESSRUNNER_H

#include <string>

// Runs a Windows program to its end and collects what it wrote.
struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// `commandLine` is passed to CreateProcess as it is (quote arguments yourself). A program still running after
// `timeoutMs` is terminated and reported with exit code -2.
ProcessResult runProcess(const std::string& commandLine, unsigned timeoutMs = 60000);
// The same for a UTF-16 command line (file names outside the ANSI code page).
ProcessResult runProcess(const std::wstring& commandLine, unsigned timeoutMs = 60000);

#endif
