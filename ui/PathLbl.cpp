#include "ui/PathLbl.h"

#include "platform/AnsiText.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "platform/PathRules.h"

#include <vector>

namespace PathLbl {

namespace {

const char kSeparator = '\\';

// Byte length of the character that starts at position pos (1-based).
int CharLengthAt(const std::string& s, int pos) {
    return static_cast<int>(plat::ansi::CharLength(s, static_cast<size_t>(pos - 1)));
}

bool EndsWithSeparator(const std::string& s) { return plat::ansi::EndsWithSeparator(s); }

// "X:\" at the front, X a drive letter.
bool IsDrivePrefixed(const std::string& s) {
    return s.size() >= 3 && s[2] == kSeparator && plat::path::RootOf(s).form == plat::path::RootForm::kDrive;
}

bool HasWildcard(const std::string& s) {
    const int n = static_cast<int>(s.size());
    for (int pos = 1; pos <= n; pos += CharLengthAt(s, pos)) {
        if (s[pos - 1] == '*' || s[pos - 1] == '?') return true;
    }
    return false;
}

// The end of the root of a network path \\server\share\...: the position of
// the separator after the share name, 0 when there is none.
int NetworkRootEnd(const std::string& s) {
    if (s.compare(0, 2, "\\\\") != 0) return 0;
    const int serverEnd = FindSeparator(s, 3);
    if (serverEnd <= 3) return 0;
    const int shareEnd = FindSeparator(s, serverEnd + 1);
    return shareEnd > serverEnd + 1 ? shareEnd : 0;
}

struct TLookup {
    const std::string& b;  // the path upper-cased, with a trailing separator
    std::string longName;
    std::string shortName;
};

// One component per pass. The search of this pass stays open while the
// passes after it run, and is closed when they are done.
bool LookupComponents(TLookup& lookup, const std::string& searchPath, int q) {
    const int n = static_cast<int>(lookup.b.size());
    if (q == n + 1) return true;
    plat::FindHandle search;
    plat::FindData found;
    if (searchPath.empty() || !search.First(searchPath, found)) return false;
    const int a = FindSeparator(lookup.b, q);
    const int b = a > 0 ? FindSeparator(lookup.b, a + 1) : 0;
    if (a == 0) return false;  // cannot happen: b ends with a separator
    const std::string next = b > 0 ? lookup.b.substr(0, b - 1) : std::string();
    lookup.longName = AddTrailingSeparator(lookup.longName) + found.name;
    lookup.shortName =
        AddTrailingSeparator(lookup.shortName) + (found.shortName.empty() ? found.name : found.shortName);
    return LookupComponents(lookup, next, a + 1);
}

std::string CutRight(const std::string& s, int max) {
    const std::string t = LeftPart(s, max, cmBytes);
    const int keep = CharKindAt(t, max - 3) == ckPairStart ? max - 4 : max - 3;
    return LeftPart(s, keep, cmBytes) + "...";
}

std::string CutLeft(const std::string& s, int max) {
    // Byte 3 of the last max bytes is classified where it stands in the whole
    // path: counted from the kept part's own first byte, a part that begins on
    // a second byte would be misread and could start with half a character.
    const int n = static_cast<int>(s.size());
    const int keep = CharKindAt(s, n - max + 3) == ckPairStart ? max - 4 : max - 3;
    return "..." + RightPart(s, keep, cmBytes);
}

std::string ShortenByComponents(const std::string& s, int max, TStretchStyle style) {
    if (FindSeparator(s, 1) == 0) return style == ssFile ? CutRight(s, max) : CutLeft(s, max);
    const bool endsWithSeparator = EndsWithSeparator(s);
    const std::string t = AddTrailingSeparator(s);

    std::vector<std::string> parts;  // each with the separator that ends it
    int i = 1;
    for (;;) {
        // \\server\ is one component.
        const int sep = (i == 1 && t.compare(0, 2, "\\\\") == 0) ? FindSeparator(t, 3) : FindSeparator(t, i);
        if (sep == 0) break;
        parts.push_back(t.substr(i - 1, sep - i + 1));
        i = sep + 1;
    }
    if (parts.empty()) return CutRight(s, max);
    // Only the separator that step 2 appended goes: the last component is no
    // root, whatever it looks like ("b:" of C:\a\b: stays "b:").
    if (!endsWithSeparator) parts.back().pop_back();

    const int count = static_cast<int>(parts.size());
    if (count == 1) return static_cast<int>(parts[0].size()) < max ? parts[0] : CutRight(s, max);
    if (count == 2) {
        const std::string both = parts[0] + parts[1];
        return static_cast<int>(both.size()) < max ? both : CutRight(s, max);
    }

    const std::string& first = parts.front();
    const std::string& last = parts.back();
    const int fixed = static_cast<int>(first.size() + last.size()) + 4;  // 4: "...\"
    // Not even first + "...\" + last fits: the cut-right form of the whole
    // path, its double-byte test made on the whole path, which is the text kept.
    if (max < fixed) return CutRight(s, max);

    std::string middle;
    if (style == ssFile) {
        for (int k = 1; k < count - 1; ++k) {
            if (static_cast<int>(middle.size() + parts[k].size()) + fixed > max) break;
            middle += parts[k];
        }
        return first + middle + "...\\" + last;
    }
    for (int k = count - 2; k >= 1; --k) {
        if (static_cast<int>(middle.size() + parts[k].size()) + fixed > max) break;
        middle = parts[k] + middle;
    }
    return first + "...\\" + middle + last;
}

}  // namespace

TCharKind CharKindAt(const std::string& s, int i) {
    const int n = static_cast<int>(s.size());
    if (i < 1 || i > n) return ckOther;
    // The lead/trail structure only shows when walked from the first byte.
    int pos = 1;
    while (pos <= n) {
        const int len = CharLengthAt(s, pos);
        const bool lead = plat::ansi::IsLead(static_cast<unsigned char>(s[pos - 1]));
        if (pos == i) return lead ? ckPairStart : ckOther;
        if (len == 2 && pos + 1 == i) return ckSecondByte;
        pos += len;
    }
    return ckOther;
}

int CharCount(const std::string& s, TCountMode mode) {
    const int n = static_cast<int>(s.size());
    if (mode == cmBytes) return n;
    int count = 0;
    for (int pos = 1; pos <= n; pos += CharLengthAt(s, pos)) ++count;
    return count;
}

std::string MidPart(const std::string& s, int start, int count, TCountMode mode) {
    const int n = static_cast<int>(s.size());
    if (s.empty() || start < 1 || count < 1) return "";
    if (mode == cmBytes) return start > n ? std::string() : s.substr(start - 1, count);
    int pos = 1;
    for (int skipped = 0; skipped < start - 1 && pos <= n; ++skipped) pos += CharLengthAt(s, pos);
    if (pos > n) return "";
    const int from = pos;
    for (int taken = 0; taken < count && pos <= n; ++taken) pos += CharLengthAt(s, pos);
    return s.substr(from - 1, pos - from);
}

std::string LeftPart(const std::string& s, int count, TCountMode mode) {
    if (count < 1) return "";
    return MidPart(s, 1, count, mode);
}

std::string RightPart(const std::string& s, int count, TCountMode mode) {
    const int n = CharCount(s, mode);
    return MidPart(s, n - count + 1, count, mode);
}

int FindSeparator(const std::string& s, int from) {
    const int n = static_cast<int>(s.size());
    if (s.empty() || from < 1) return 0;
    // Step by characters: a second byte may be 0x5C.
    for (int pos = 1; pos <= n; pos += CharLengthAt(s, pos)) {
        if (pos >= from && s[pos - 1] == kSeparator) return pos;
    }
    return 0;
}

int CountSeparators(const std::string& s) {
    int count = 0;
    for (int pos = FindSeparator(s, 1); pos > 0; pos = FindSeparator(s, pos + 1)) ++count;
    return count;
}

int RootKind(const std::string& s) {
    const int n = static_cast<int>(s.size());
    if (n == 3 && IsDrivePrefixed(s)) return 1;
    // The last byte must be a separator of its own, not the second byte of a
    // character such as "ソ" (83 5C).
    if (n >= 3 && s.compare(0, 2, "\\\\") == 0 && s[n - 1] == kSeparator &&
        CharKindAt(s, n) != ckSecondByte) {
        const int separators = CountSeparators(s);
        if (separators == 3 || separators == 4) return 2;
    }
    return 0;
}

std::string AddTrailingSeparator(const std::string& s) {
    return EndsWithSeparator(s) ? s : s + kSeparator;
}

std::string RemoveTrailingSeparator(const std::string& s) {
    if (EndsWithSeparator(s) && RootKind(s) == 0) return s.substr(0, s.size() - 1);
    return s;
}

std::string ConvertPathType(const std::string& s, TPathType type) {
    if (type == ptNone) return s;
    const int root = RootKind(s);
    if (root == 1) return ChangeCase(s, tcUpperCase);
    if (root == 2) return s;

    // Only rooted paths can be looked up. A relative path (or any other form
    // without a root) is shown as it was given: no folder to resolve it against
    // is known here. A network path below its share is looked up like a drive
    // path, the \\server\share part kept as given.
    int rootLength = 0;
    std::string start;
    if (IsDrivePrefixed(s)) {
        rootLength = 3;
        start = ChangeCase(s.substr(0, 3), tcUpperCase);
    } else if (const int shareEnd = NetworkRootEnd(s)) {
        rootLength = shareEnd;
        start = s.substr(0, shareEnd - 1);
    } else {
        return s;
    }
    // A pattern would stand for whichever entry the search met first.
    if (HasWildcard(s)) return "";

    const std::string b = ChangeCase(AddTrailingSeparator(s), tcUpperCase);
    const int firstEnd = FindSeparator(b, rootLength + 1);
    TLookup lookup{b, start, start};
    const std::string searchPath = firstEnd > 0 ? b.substr(0, firstEnd - 1) : std::string();
    if (!LookupComponents(lookup, searchPath, rootLength + 1)) return "";
    return type == ptLongName ? lookup.longName : lookup.shortName;
}

std::string ChangeCase(const std::string& s, TTextCase textCase) {
    if (textCase == tcNone) return s;
    if (!plat::IsDoubleByteCodePage()) {
        return textCase == tcUpperCase ? plat::LocaleUpperCase(s) : plat::LocaleLowerCase(s);
    }
    // File-name rules of a double-byte system: ASCII letters only, both bytes
    // of every double-byte character copied as they are.
    std::string result = s;
    const int n = static_cast<int>(s.size());
    for (int pos = 1; pos <= n;) {
        const int len = CharLengthAt(s, pos);
        if (len == 1) {
            char& c = result[pos - 1];
            if (textCase == tcUpperCase && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            if (textCase == tcLowerCase && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        }
        pos += len;
    }
    return result;
}

std::string ShortenPath(const std::string& s, int max, TStretchStyle style) {
    if (max < 1) return "";
    if (max <= 3) return LeftPart(s, max, cmBytes);
    if (static_cast<int>(s.size()) <= max) return s;
    switch (style) {
    case ssRight: return CutRight(s, max);
    case ssLeft: return CutLeft(s, max);
    case ssFile:
    case ssDrive: return ShortenByComponents(s, max, style);
    default: return s;
    }
}

}  // namespace PathLbl

namespace {

// Steps 1, 2 and 4 of the caption, with shortening (step 3) when asked.
std::string DeriveText(const std::string& path, TPathType pathType, TPathSeparator separator,
                       TTextCase textCase, int maxLength, TStretchStyle style) {
    using namespace PathLbl;
    std::string w = path;
    if (pathType == ptLongName || pathType == ptShortName) w = ConvertPathType(w, pathType);
    switch (separator) {
    case psAddSeparator:
        if (!w.empty()) w = AddTrailingSeparator(w);
        break;
    case psSubSeparator:
        w = RemoveTrailingSeparator(w);
        break;
    default:
        // Give back the stored path's own trailing-separator state. An empty
        // text (a conversion that found nothing) stays empty rather than
        // turning into a lone "\", which would look like a path.
        if (w.empty()) break;
        w = RightPart(path, 1, cmChars) == "\\" ? AddTrailingSeparator(w) : RemoveTrailingSeparator(w);
        break;
    }
    if (maxLength != 0 && style != ssNone) w = ShortenPath(w, maxLength, style);
    if (textCase == tcLowerCase || textCase == tcUpperCase) w = ChangeCase(w, textCase);
    return w;
}

}  // namespace

TPathLabel::TPathLabel(plat::Widget* parent, const std::string& name)
    : plat::Widget(plat::WidgetKind::Label, parent, name) {
    // A fixed rectangle: the caption is clipped at the control's edge, never
    // resized to the text.
    SetAutoSize(false);
}

void TPathLabel::SetAutoUpdateHint(bool value) {
    AutoUpdateHint_ = value;
    if (AutoUpdateHint_) UpdateHint();
}

void TPathLabel::SetPath(const std::string& value) {
    if (value != Path_) Path_ = value;
    UpdateCaption();
}

void TPathLabel::SetMaxLength(uint16_t value) {
    if (value != MaxLength_) MaxLength_ = value;
    UpdateCaption();
}

void TPathLabel::SetStyle(TStretchStyle value) {
    if (value != Style_) Style_ = value;
    UpdateCaption();
}

void TPathLabel::SetTextCase(TTextCase value) {
    if (value != TextCase_) TextCase_ = value;
    UpdateCaption();
}

void TPathLabel::SetPathSeparator(TPathSeparator value) {
    if (value != PathSeparator_) PathSeparator_ = value;
    UpdateCaption();
}

void TPathLabel::SetPathType(TPathType value) {
    if (value != PathType_) PathType_ = value;
    UpdateCaption();
}

void TPathLabel::UpdateCaption() {
    SetCaption(DeriveText(Path_, PathType_, PathSeparator_, TextCase_, MaxLength_, Style_));
    if (AutoUpdateHint_) UpdateHint();
}

void TPathLabel::UpdateHint() {
    SetHint(DeriveText(Path_, PathType_, PathSeparator_, TextCase_, 0, ssNone));
}
