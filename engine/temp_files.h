// The temporary files of one installation run, removed when the run ends.
#pragma once

#include <string>
#include <vector>

struct TempFiles {
    std::wstring folder;
    std::vector<std::wstring> files;  // written temporary entries, in extraction order
};

// The running installation's list, or null outside an installation.
TempFiles* CurrentTempFiles();

// Makes a run's list current for its lifetime; at the end removes its files, then its folder
// (when empty), and clears the pointer, on every path. Removal failures are not reported.
class TempFilesScope {
public:
    explicit TempFilesScope(std::wstring folder);
    ~TempFilesScope();
    TempFilesScope(const TempFilesScope&) = delete;
    TempFilesScope& operator=(const TempFilesScope&) = delete;

private:
    TempFiles files_;
};
