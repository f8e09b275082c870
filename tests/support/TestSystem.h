#pragma once
// What only the tests need from the system, kept out of the product's
// interfaces: a file held open by another writer, reading a saved shortcut
// back, moving the current folder, and the ANSI code page. Each backend has
// its own implementation (tests/support/win32, tests/support/sim).
#include <memory>
#include <string>

namespace support {

// Holds a file open for writing while letting others only read it, as another
// program that writes the file would (created when missing). A reader that
// denies other writers, such as plat::ReadWholeFile, cannot open the file
// meanwhile.
class FileWriteHold {
public:
    explicit FileWriteHold(const std::string& path);
    ~FileWriteHold();
    FileWriteHold(const FileWriteHold&) = delete;
    FileWriteHold& operator=(const FileWriteHold&) = delete;
    bool IsOpen() const;

private:
    std::shared_ptr<void> hold_;
};

// What a saved shortcut holds, read back through the shell's link object
// (on Wine the show command comes from the file's header).
struct ShellLinkInfo {
    std::string path, arguments, workingDirectory, description;
    int showCmd = 0;
};
bool ReadShellLink(const std::string& linkPath, ShellLinkInfo& info);

unsigned AnsiCodePage();
// True under Wine, whose file access rules are the Unix permission bits: a
// DACL written is mapped onto them, and what is read back is made from them.
bool RunningUnderWine();

}  // namespace support
