#include "ProcessRunner.h"

#include <windows.h>

#include <thread>
#include <vector>

namespace {

void drain(HANDLE pipe, std::string* into)
{
    char block[65536];
    DWORD n = 0;
    while (ReadFile(pipe, block, sizeof block, &n, nullptr) && n > 0) into->append(block, n);
}

}  // namespace

ProcessResult runProcess(const std::string& commandLine, unsigned timeoutMs)
{
    std::wstring wide(commandLine.size(), L'\0');
    const int size = static_cast<int>(commandLine.size());
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, commandLine.data(), size, &wide[0], size)));
    return runProcess(wide, timeoutMs);
}

ProcessResult runProcess(const std::wstring& commandLine, unsigned timeoutMs)
{
    ProcessResult result;
    // Under Wine the first program that needs the desktop starts the desktop
    // process, which inherits that program's handles and outlives it. Started
    // from here, before the pipes exist, it never holds a child's output open.
    GetDesktopWindow();
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE outRead, outWrite, errRead, errWrite;
    if (!CreatePipe(&outRead, &outWrite, &inherit, 0) || !CreatePipe(&errRead, &errWrite, &inherit, 0))
        return result;
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION process = {};
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                  &startup, &process);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (started) {
        // Both pipes are read at once, so a chatty program never blocks on a full pipe.
        std::thread outReader(drain, outRead, &result.out);
        std::thread errReader(drain, errRead, &result.err);
        if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_TIMEOUT) {
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, INFINITE);
            result.exitCode = -2;
        } else {
            DWORD code = 0;
            GetExitCodeProcess(process.hProcess, &code);
            result.exitCode = static_cast<int>(code);
        }
        outReader.join();
        errReader.join();
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(outRead);
    CloseHandle(errRead);
    return result;
}
