#include "OutputFile.h"

#include <windows.h>

#include <algorithm>

#include "NWidePath.h"

std::mutex OutputFile::unfinishedLock;
std::vector<OutputFile*> OutputFile::unfinished;

OutputFile::OutputFile(const std::wstring& path, const char* text)
    : target(NWidePath::systemForm(path)),
      temp(NWidePath::systemForm(path + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp")),
      handle(INVALID_HANDLE_VALUE),
      ready(text),
      done(text),
      closing(false),
      error(0),
      abandoned(false)
{
}

const char* OutputFile::getName() const { return getClassName(); }
const char* OutputFile::getClassName() const { return "OutputFile"; }

OutputFile::~OutputFile() { discard(); }

bool OutputFile::open()
{
    // A device cannot be renamed onto and holds no partial file: written directly.
    HANDLE device = CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (device != INVALID_HANDLE_VALUE && GetFileType(device) != FILE_TYPE_DISK) {
        handle = device;
        temp.clear();
    } else {
        if (device != INVALID_HANDLE_VALUE)
            CloseHandle(device);
        std::lock_guard<std::mutex> guard(unfinishedLock);
        // Deletable while open, so an interruption can remove it at once.
        handle = CreateFileW(temp.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            error = GetLastError();
            return false;
        }
        unfinished.push_back(this);
    }
    writer = std::thread([this] { writeParts(); });
    return true;
}

void OutputFile::unregister()
{
    unfinished.erase(std::remove(unfinished.begin(), unfinished.end(), this), unfinished.end());
}

void OutputFile::discardUnfinished(bool forGood)
{
    std::unique_lock<std::mutex> guard(unfinishedLock);
    for (OutputFile* file : unfinished) {
        file->abandoned = true;
        DeleteFileW(file->temp.c_str());
    }
    unfinished.clear();
    // Held until the process ends: no file is created or renamed any more.
    if (forGood)
        guard.release();
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
    if (temp.empty())
        return !error && done == end;
    // Renamed under the lock, so an interruption finds either the finished
    // target or the temporary file, never a half of both.
    std::lock_guard<std::mutex> guard(unfinishedLock);
    if (abandoned && !error)
        error = ERROR_OPERATION_ABORTED;
    if (!error && done == end &&
        !MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    unregister();
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
    if (temp.empty())
        return;
    std::lock_guard<std::mutex> guard(unfinishedLock);
    unregister();
    DeleteFileW(temp.c_str());
}
