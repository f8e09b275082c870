#pragma once
// Files that the installation copies ("Copy File" records).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// What the uninstallation does with a copied file.
enum TDeleteMode { dmDelete = 0, dmLeave = 1, dmAsk = 2 };

struct TCopyFile {
    std::string SourceFile;  // used as written, relative to the installer's folder
    std::string DestFile;    // may begin with a folder keyword
    uint8_t DeleteMode = dmDelete;  // a TDeleteMode; other values delete too
};

// Owning, ordered list of TCopyFile records; items keep their address while the
// collection lives, so a reference from Add or Items stays valid.
class TCopyFiles {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    TCopyFile& Items(int index) { return *items_.at(static_cast<size_t>(index)); }
    const TCopyFile& Items(int index) const { return *items_.at(static_cast<size_t>(index)); }
    // Appends a new item with empty texts and zero numbers.
    TCopyFile& Add() {
        items_.push_back(std::make_unique<TCopyFile>());
        return *items_.back();
    }
    void Clear() { items_.clear(); }

private:
    std::vector<std::unique_ptr<TCopyFile>> items_;
};
