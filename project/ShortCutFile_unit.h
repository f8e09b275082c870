#pragma once
// Shortcuts that the installation creates ("ShortCut File" records).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct TShortCutFile {
    std::string LinkFile;       // shortcut path without ".lnk"; may begin with a keyword
    std::string TargetFile;     // what the shortcut starts
    std::string WorkDirectory;  // its working folder
    uint8_t ShowMode = 0;       // 1 minimized, 2 maximized, otherwise normal
    std::string Description;
    std::string ExtraFile;      // carried from Load to Save unchanged
    int32_t ExtraNumber = 0;    // carried from Load to Save unchanged
};

// Owning, ordered list of TShortCutFile records; items keep their address while the
// collection lives, so a reference from Add or Items stays valid.
class TShortCutFiles {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    TShortCutFile& Items(int index) { return *items_.at(static_cast<size_t>(index)); }
    const TShortCutFile& Items(int index) const { return *items_.at(static_cast<size_t>(index)); }
    // Appends a new item with empty texts and zero numbers.
    TShortCutFile& Add() {
        items_.push_back(std::make_unique<TShortCutFile>());
        return *items_.back();
    }
    void Clear() { items_.clear(); }

private:
    std::vector<std::unique_ptr<TShortCutFile>> items_;
};
