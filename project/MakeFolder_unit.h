#pragma once
// Folders that the installation creates ("Make Folder" records).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct TMakeFolder {
    std::string FolderPath;       // may begin with a folder keyword
    uint8_t KeepOnUninstall = 0;  // not 0: the uninstallation leaves the folder
};

// Owning, ordered list of TMakeFolder records; items keep their address while the
// collection lives, so a reference from Add or Items stays valid.
class TMakeFolders {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    TMakeFolder& Items(int index) { return *items_.at(static_cast<size_t>(index)); }
    const TMakeFolder& Items(int index) const { return *items_.at(static_cast<size_t>(index)); }
    // Appends a new item with empty texts and zero numbers.
    TMakeFolder& Add() {
        items_.push_back(std::make_unique<TMakeFolder>());
        return *items_.back();
    }
    void Clear() { items_.clear(); }

private:
    std::vector<std::unique_ptr<TMakeFolder>> items_;
};
