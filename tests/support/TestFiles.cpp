#include "TestFiles.h"

#include <algorithm>

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "NResources.h"

TestFolder::TestFolder()
{
    char temp[MAX_PATH + 1];
    GetTempPathA(sizeof temp, temp);
    static int counter = 0;
    char name[MAX_PATH + 64];
    snprintf(name, sizeof name, "%snektest-%lu-%lu-%d", temp, GetCurrentProcessId(), GetTickCount(), ++counter);
    folder = name;
    CreateDirectoryA(folder.c_str(), nullptr);
}

TestFolder::~TestFolder() { removeTree(folder); }

void removeTree(const std::string& folder)
{
    for (const std::string& name : listFolder(folder)) {
        std::string path = folder + "\\" + name;
        DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            removeTree(path);
        } else {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
    }
    RemoveDirectoryA(folder.c_str());
}

void writeBmp(const std::string& path, int width, int height, const std::vector<uint32_t>& argb)
{
    const unsigned row = (unsigned(width) * 3 + 3) & ~3u, size = row * unsigned(height);
    // File and info header, little-endian: planes 1 and 24 bits share a field.
    const uint32_t fields[] = {54 + size, 0, 54, 40, unsigned(width), unsigned(height), 1 | 24u << 16, 0, size, 2835, 2835, 0, 0};
    std::string out = "BM" + std::string(reinterpret_cast<const char*>(fields), sizeof fields);
    // Bottom-up rows, blue green red.
    for (int y = height - 1; y >= 0; --y) {
        const size_t start = out.size();
        for (int x = 0; x < width; ++x) {
            const uint32_t c = argb[size_t(y) * width + x];
            out += {char(c), char(c >> 8), char(c >> 16)};
        }
        out.resize(start + row, '\0');
    }
    writeBytes(path, out);
}

void writeBytes(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string readBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool fileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::string> listFolder(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(h, &found));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

std::string programFolder()
{
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path).substr(0, std::string(path).find_last_of("\\/") + 1);
}

void useProgramResources()
{
    if (!globalResources.isInitialised()) {
        globalResources.setProgramFolder(programFolder().c_str());
        globalResources.init();
    }
}
