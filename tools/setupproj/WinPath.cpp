#include "tools/setupproj/WinPath.h"

#include "engine/RunPath_unit.h"
#include "platform/AnsiText.h"
#include "platform/Locale.h"

namespace setupproj {

namespace {

bool IsSlash(char c) { return c == '\\' || c == '/'; }
bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::string Fold(const std::string& text) { return plat::LocaleUpperCase(text); }

}  // namespace

std::vector<std::string> SplitRelative(const std::string& path) {
    std::vector<std::string> parts;
    std::string current;
    for (size_t i = 0; i < path.size();) {
        size_t length = plat::ansi::CharLength(path, i);
        if (length == 1 && IsSlash(path[i])) {
            if (!current.empty()) parts.push_back(current);
            current.clear();
        } else {
            current.append(path, i, length);
        }
        i += length;
    }
    if (!current.empty()) parts.push_back(current);
    return parts;
}

WinPath ParseFullPath(const std::string& path) {
    WinPath result;
    if (!RunPath::IsAbsolutePath(path)) return result;
    std::vector<std::string> parts;
    if (IsDriveLetter(path[0]) && path[1] == ':') {
        result.root = std::string(1, static_cast<char>(path[0] & ~0x20)) + ":";
        parts = SplitRelative(path.substr(2));
    } else {
        parts = SplitRelative(path.substr(2));
        if (parts.size() < 2) return result;
        result.root = "\\\\" + parts[0] + "\\" + parts[1];
        parts.erase(parts.begin(), parts.begin() + 2);
    }
    for (const std::string& part : parts) {
        if (part == ".") continue;
        if (part == "..") {
            if (!result.parts.empty()) result.parts.pop_back();
            continue;
        }
        result.parts.push_back(part);
    }
    result.valid = true;
    return result;
}

std::string WinPath::Text() const {
    std::string text = root;
    if (parts.empty()) return text + "\\";
    for (const std::string& part : parts) text += "\\" + part;
    return text;
}

std::string WinPath::Key() const { return Fold(Text()); }

WinPath WinPath::Parent() const {
    WinPath parent = *this;
    if (!parent.parts.empty()) parent.parts.pop_back();
    return parent;
}

WinPath WinPath::Child(const std::string& name) const {
    WinPath child = *this;
    child.parts.push_back(name);
    return child;
}

bool WinPath::Contains(const WinPath& other) const {
    if (!valid || !other.valid || other.parts.size() < parts.size()) return false;
    if (Fold(root) != Fold(other.root)) return false;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (Fold(parts[i]) != Fold(other.parts[i])) return false;
    }
    return true;
}

}  // namespace setupproj
