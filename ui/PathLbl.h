#pragma once
// A label that shows a file-system path, derived through optional steps:
// long/short name conversion, trailing separator, shortening with "...",
// letter case. Double-byte characters of the ANSI code page are never cut
// except where the shortening rules say so.
#include <cstdint>
#include <string>

#include "platform/Window.h"

enum TStretchStyle { ssNone = 0, ssRight = 1, ssLeft = 2, ssFile = 3, ssDrive = 4 };
enum TTextCase { tcNone = 0, tcLowerCase = 1, tcUpperCase = 2 };
enum TPathSeparator { psNone = 0, psAddSeparator = 1, psSubSeparator = 2 };
enum TPathType { ptNone = 0, ptLongName = 1, ptShortName = 2 };

class TPathLabel : public plat::Widget {
public:
    TPathLabel(plat::Widget* parent, const std::string& name);

    bool AutoUpdateHint() const { return AutoUpdateHint_; }
    void SetAutoUpdateHint(bool value);
    const std::string& Path() const { return Path_; }
    void SetPath(const std::string& value);
    uint16_t MaxLength() const { return MaxLength_; }
    void SetMaxLength(uint16_t value);
    TStretchStyle Style() const { return Style_; }
    void SetStyle(TStretchStyle value);
    TTextCase TextCase() const { return TextCase_; }
    void SetTextCase(TTextCase value);
    TPathSeparator PathSeparator() const { return PathSeparator_; }
    void SetPathSeparator(TPathSeparator value);
    TPathType PathType() const { return PathType_; }
    void SetPathType(TPathType value);

private:
    void UpdateCaption();
    void UpdateHint();

    bool AutoUpdateHint_ = false;
    std::string Path_;
    uint16_t MaxLength_ = 0;
    TStretchStyle Style_ = ssRight;
    TTextCase TextCase_ = tcNone;
    TPathSeparator PathSeparator_ = psNone;
    TPathType PathType_ = ptNone;
};

// The path helpers the label is built on, in a namespace of their own so that
// they can be tested directly. Positions count bytes from 1.
namespace PathLbl {

enum TCharKind { ckOther = 0, ckPairStart = 1, ckSecondByte = 2 };
enum TCountMode { cmBytes = 0, cmChars = 1 };

TCharKind CharKindAt(const std::string& s, int i);
int CharCount(const std::string& s, TCountMode mode);
std::string MidPart(const std::string& s, int start, int count, TCountMode mode);
std::string LeftPart(const std::string& s, int count, TCountMode mode);
std::string RightPart(const std::string& s, int count, TCountMode mode);
int FindSeparator(const std::string& s, int from);
int CountSeparators(const std::string& s);
int RootKind(const std::string& s);
std::string AddTrailingSeparator(const std::string& s);
std::string RemoveTrailingSeparator(const std::string& s);
std::string ConvertPathType(const std::string& s, TPathType type);
std::string ChangeCase(const std::string& s, TTextCase textCase);
std::string ShortenPath(const std::string& s, int max, TStretchStyle style);

}  // namespace PathLbl
