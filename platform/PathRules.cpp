#include "platform/PathRules.h"

#include "platform/AnsiText.h"

namespace plat::path {

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A separator at a character start: "\" always, "/" too unless the path is
// taken as written.
bool IsSeparatorAt(const std::string& s, size_t i, bool verbatim) {
    return ansi::IsSingleAt(s, i, '\\') || (!verbatim && ansi::IsSingleAt(s, i, '/'));
}

// The end of the name that starts at byte from (a character start).
size_t NameEnd(const std::string& s, size_t from, bool verbatim) {
    size_t i = from;
    while (i < s.size() && !IsSeparatorAt(s, i, verbatim)) i = ansi::NextChar(s, i);
    return i;
}

// The text between separators, empty names kept: a final empty one means
// the text ended in a separator.
std::vector<std::string> SplitAll(const std::string& s, bool verbatim) {
    std::vector<std::string> names;
    size_t from = 0;
    for (;;) {
        const size_t end = NameEnd(s, from, verbatim);
        names.push_back(s.substr(from, end - from));
        if (end >= s.size()) break;
        from = end + 1;
    }
    return names;
}

bool EndsInSeparator(const std::string& s, bool verbatim) {
    return !s.empty() && IsSeparatorAt(s, ansi::PrevChar(s, s.size()), verbatim);
}

// The last separator at or after from, or npos.
size_t LastSeparatorFrom(const std::string& s, size_t from, bool verbatim) {
    size_t found = std::string::npos;
    for (size_t i = from; i < s.size(); i = ansi::NextChar(s, i)) {
        if (IsSeparatorAt(s, i, verbatim)) found = i;
    }
    return found;
}

std::string Upper(char letter) { return std::string(1, static_cast<char>(letter & ~0x20)) + ":"; }

// The root that follows "\\?\" or "\\.\" (at byte 4).
Root DeviceRoot(const std::string& s, bool verbatim) {
    Root root;
    root.verbatim = verbatim;
    root.form = RootForm::kDevice;
    const size_t end = NameEnd(s, 4, verbatim);
    const std::string first = s.substr(4, end - 4);
    root.length = end;
    if (first.empty()) {
        root.valid = false;
    } else if (first.size() == 2 && IsLetter(first[0]) && first[1] == ':') {
        root.form = RootForm::kDrive;
        root.name = Upper(first[0]);
        if (end < s.size()) root.length = end + 1;
    } else if (verbatim && FoldCase(first) == "UNC") {
        const size_t serverEnd = end < s.size() ? NameEnd(s, end + 1, true) : end;
        const size_t shareEnd = serverEnd < s.size() ? NameEnd(s, serverEnd + 1, true) : serverEnd;
        root.form = RootForm::kShare;
        root.valid = serverEnd > end + 1 && shareEnd > serverEnd + 1;
        root.name = "\\\\" + s.substr(end + 1, shareEnd - end - 1);
        root.length = shareEnd;
    } else {
        root.name = s.substr(0, end);
    }
    return root;
}

}  // namespace

Root RootOf(const std::string& s) {
    Root root;
    if (s.size() >= 2 && IsSeparatorAt(s, 0, false) && IsSeparatorAt(s, 1, false)) {
        if (s.size() >= 3 && (s[2] == '?' || s[2] == '.') && (s.size() == 3 || IsSeparatorAt(s, 3, false))) {
            if (s.size() <= 4) {
                root.form = RootForm::kDevice;
                root.valid = false;
                root.length = s.size();
                return root;
            }
            return DeviceRoot(s, s.compare(0, 4, "\\\\?\\") == 0);
        }
        root.form = RootForm::kShare;
        const size_t serverEnd = NameEnd(s, 2, false);
        const size_t shareEnd = serverEnd < s.size() ? NameEnd(s, serverEnd + 1, false) : serverEnd;
        root.valid = serverEnd > 2 && shareEnd > serverEnd + 1;
        root.name = "\\\\" + s.substr(2, serverEnd - 2) + "\\" +
                    (serverEnd < s.size() ? s.substr(serverEnd + 1, shareEnd - serverEnd - 1) : std::string());
        root.length = shareEnd;
    } else if (s.size() >= 2 && IsLetter(s[0]) && s[1] == ':') {
        const bool full = s.size() >= 3 && IsSeparatorAt(s, 2, false);
        root.form = full ? RootForm::kDrive : RootForm::kDriveRelative;
        root.name = Upper(s[0]);
        root.length = full ? 3 : 2;
    } else if (!s.empty() && IsSeparatorAt(s, 0, false)) {
        root.form = RootForm::kCurrentDrive;
        root.length = 1;
    }
    return root;
}

size_t AppendNames(std::vector<std::string>& names, const std::string& text) {
    const std::vector<std::string> all = SplitAll(text, false);
    size_t climbs = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        std::string name = all[i];
        if (name.empty() || name == ".") continue;
        if (name == "..") {
            if (names.empty()) {
                ++climbs;
            } else {
                names.pop_back();
            }
            continue;
        }
        // No second byte of a character is a dot or a blank (they start at
        // 0x40), so the bytes can be taken off the end as they are.
        if (i + 1 == all.size()) {
            while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
            if (name.empty()) continue;
        } else if (name.back() == '.' && name.find_first_not_of('.') != std::string::npos) {
            name.pop_back();
        }
        names.push_back(name);
    }
    return climbs;
}

ResolvedPath Resolve(const std::string& path, const std::string& currentFolder) {
    ResolvedPath r;
    const Root root = RootOf(path);
    if (path.empty() || !root.valid) return r;
    std::vector<std::string> names;
    if (root.form == RootForm::kRelative || root.form == RootForm::kCurrentDrive ||
        root.form == RootForm::kDriveRelative) {
        if (currentFolder.empty()) return r;
        const ResolvedPath current = Resolve(currentFolder);
        if (root.form == RootForm::kDriveRelative) {
            r.root = root.name;
            if (current.valid && FoldCase(current.root) == FoldCase(root.name)) names = current.parts;
        } else {
            if (!current.valid) return r;
            r.root = current.root;
            if (root.form == RootForm::kRelative) names = current.parts;
        }
    } else {
        r.root = root.name;
    }
    const std::string rest = path.substr(root.length);
    if (root.verbatim) {
        // Only the separator after the root goes.
        names = SplitAll(ansi::IsSingleAt(rest, 0, '\\') ? rest.substr(1) : rest, true);
        if (names.back().empty()) names.pop_back();
    } else {
        AppendNames(names, rest);
    }
    r.parts = names;
    r.trailingSeparator = !r.parts.empty() && EndsInSeparator(rest, root.verbatim);
    r.valid = true;
    return r;
}

std::string ResolvedPath::Text() const {
    std::string text = root;
    if (parts.empty()) return text + "\\";
    for (const std::string& part : parts) text += "\\" + part;
    return text;
}

std::string ResolvedPath::Key() const { return FoldCase(Text()); }

ResolvedPath ResolvedPath::Parent() const {
    ResolvedPath parent = *this;
    if (!parent.parts.empty()) parent.parts.pop_back();
    parent.trailingSeparator = false;
    return parent;
}

ResolvedPath ResolvedPath::Child(const std::string& name) const {
    ResolvedPath child = *this;
    child.parts.push_back(name);
    child.trailingSeparator = false;
    return child;
}

bool ResolvedPath::Contains(const ResolvedPath& other) const {
    if (!valid || !other.valid || other.parts.size() < parts.size()) return false;
    if (FoldCase(root) != FoldCase(other.root)) return false;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (FoldCase(parts[i]) != FoldCase(other.parts[i])) return false;
    }
    return true;
}

std::vector<std::string> SplitNames(const std::string& text) {
    std::vector<std::string> names;
    for (std::string& name : SplitAll(text, false)) {
        if (!name.empty()) names.push_back(std::move(name));
    }
    return names;
}

std::string KeyOf(const std::string& path) {
    if (IsFull(path)) {
        const ResolvedPath full = Resolve(path);
        return full.valid ? full.Key() : FoldCase(path);
    }
    const Root root = RootOf(path);
    std::vector<std::string> names;
    const size_t climbs = AppendNames(names, path.substr(root.length));
    names.insert(names.begin(), climbs, "..");
    std::string key;
    for (const std::string& name : names) key += (key.empty() ? "" : "\\") + name;
    // "\a" and "X:a" keep what makes them differ from "a".
    return FoldCase((root.form == RootForm::kCurrentDrive ? "\\" : root.name) + key);
}

std::string FoldCase(const std::string& text) {
    std::string out = text;
    for (size_t i = 0; i < out.size(); i = ansi::NextChar(out, i)) {
        const unsigned char c = static_cast<unsigned char>(out[i]);
        if (ansi::CharLength(out, i) == 1) {
            if (c >= 'a' && c <= 'z') out[i] = static_cast<char>(c - 0x20);
            continue;
        }
        const unsigned char t = static_cast<unsigned char>(out[i + 1]);
        unsigned char upper = t;
        if (c == 0x82 && t >= 0x81 && t <= 0x9A) upper = t - 0x21;       // ａ-ｚ
        else if (c == 0x83 && t >= 0xBF && t <= 0xD6) upper = t - 0x20;  // α-ω
        else if (c == 0x84 && t >= 0x70 && t <= 0x7E) upper = t - 0x30;  // а-н
        else if (c == 0x84 && t >= 0x80 && t <= 0x91) upper = t - 0x31;  // о-я (84 7F is no character)
        out[i + 1] = static_cast<char>(upper);
    }
    return out;
}

bool IsFull(const std::string& path) {
    const RootForm form = RootOf(path).form;
    return form == RootForm::kDrive || form == RootForm::kShare || form == RootForm::kDevice;
}

std::string FileName(const std::string& path) {
    const Root root = RootOf(path);
    const size_t at = LastSeparatorFrom(path, root.length, root.verbatim);
    return at == std::string::npos ? path.substr(root.length) : path.substr(at + 1);
}

std::string FolderOf(const std::string& path) {
    const Root root = RootOf(path);
    const size_t at = LastSeparatorFrom(path, root.length, root.verbatim);
    return path.substr(0, at == std::string::npos ? root.length : at);
}

bool EndsInLoneLeadByte(const std::string& text) {
    return !text.empty() && ansi::IsLead(static_cast<unsigned char>(text.back())) &&
           ansi::PrevChar(text, text.size()) == text.size() - 1;
}

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (EndsInSeparator(folder, false)) return folder + name;
    return folder + (EndsInLoneLeadByte(folder) ? "\\\\" : "\\") + name;
}

}  // namespace plat::path
