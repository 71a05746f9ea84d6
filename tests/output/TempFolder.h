#pragma once

#include <string>
#include <vector>

namespace brelloc::test {

// A fresh folder under $TMPDIR (or /tmp), removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& text);
// The names in a folder, sorted, without "." and "..".
std::vector<std::string> FolderEntries(const std::string& path);

} // namespace brelloc::test
