#include "OutputFile.h"

#include <windows.h>

#include "NWidePath.h"

OutputFile::OutputFile(const std::wstring& path, const char* text)
    : target(NWidePath::systemForm(path)),
      temp(NWidePath::systemForm(path + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp")),
      handle(INVALID_HANDLE_VALUE),
      ready(text),
      done(text),
      closing(false),
      error(0)
{
}

const char* OutputFile::getName() const { return getClassName(); }
const char* OutputFile::getClassName() const { return "OutputFile"; }

OutputFile::~OutputFile() { discard(); }

bool OutputFile::open()
{
    handle = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return false;
    }
    writer = std::thread([this] { writeParts(); });
    return true;
}

void OutputFile::written(const char* end)
{
    std::lock_guard<std::mutex> guard(lock);
    ready = end;
    changed.notify_one();
}

void OutputFile::writeParts()
{
    std::unique_lock<std::mutex> guard(lock);
    for (;;) {
        changed.wait(guard, [this] { return ready > done || closing; });
        if (ready <= done || error)
            return;
        const char* from = done;
        const char* to = ready;
        guard.unlock();
        DWORD failure = 0;
        while (from < to && !failure) {
            DWORD count = 0;
            const DWORD piece = static_cast<DWORD>(std::min<size_t>(static_cast<size_t>(to - from), 1u << 30));
            if (!WriteFile(handle, from, piece, &count, nullptr) || count == 0)
                failure = GetLastError();
            from += count;
        }
        guard.lock();
        done = from;
        if (failure)
            error = failure;
    }
}

bool OutputFile::finish(const char* end)
{
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    {
        std::lock_guard<std::mutex> guard(lock);
        ready = end;
        closing = true;
        changed.notify_one();
    }
    writer.join();
    if (!CloseHandle(handle) && !error)
        error = GetLastError();
    handle = INVALID_HANDLE_VALUE;
    if (!error && done == end &&
        !MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (error || done != end) {
        DeleteFileW(temp.c_str());
        return false;
    }
    temp.clear();
    return true;
}

void OutputFile::discard()
{
    if (writer.joinable()) {
        {
            std::lock_guard<std::mutex> guard(lock);
            closing = true;
            ready = done;
            changed.notify_one();
        }
        writer.join();
    }
    if (handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
    handle = INVALID_HANDLE_VALUE;
    if (!temp.empty())
        DeleteFileW(temp.c_str());
}
