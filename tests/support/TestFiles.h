#ifndef TESTFILES_H
#define TESTFILES_H

#include <cstdint>
#include <string>
#include <vector>

// A fresh folder under the temporary path, removed with everything in it when the object goes.
class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::string& path() const { return folder; }
    std::string file(const std::string& name) const { return folder + "\\" + name; }

private:
    std::string folder;
};

// Writes a 24-bit BMP of width x height pixels given row by row, top row
// first, as 0xAARRGGBB (alpha is dropped).
void writeBmp(const std::string& path, int width, int height, const std::vector<uint32_t>& argb);
void writeBytes(const std::string& path, const std::string& bytes);
std::string readBytes(const std::string& path);
bool fileExists(const std::string& path);
// The names in a folder, without "." and "..", sorted.
std::vector<std::string> listFolder(const std::string& folder);
// Removes the folder with everything in it.
void removeTree(const std::string& folder);
// The folder the running test program lies in, with a trailing backslash.
std::string programFolder();
// Initialises the resource manager on that folder (its NEK-Resourcen), once.
void useProgramResources();

#endif
