// Splits a Windows file name into drive, directory, name and extension and
// gives back any selection of them. The converter finds extensions with it,
// strips them to derive output names, and asks through it whether a file exists.
#pragma once

#include "converter/support/CharString.h"

class PathParts {
public:
    // Selection flags of GetParts; parts come back in the order drive,
    // directory, name, dot, extension whatever the order of the bits.
    static constexpr int DRIVE = 1;
    static constexpr int DIRECTORY = 2;
    static constexpr int NAME = 4;
    static constexpr int EXTENSION = 8;   // without the dot
    static constexpr int DOT = 16;        // only when an extension is present
    static constexpr int WHOLE_PATH = 31; // the stored path, unchanged

    PathParts() = default;
    explicit PathParts(const char* newPath);
    virtual ~PathParts() = default;

    void Split(const char* newPath);
    CharString GetParts(int flags) const;
    // True for an existing file or folder, and whenever the system cannot tell
    // for a reason other than a missing file or folder.
    bool Exists() const;

    // Only the backslash separates folders; a forward slash is an ordinary
    // character. A part that is not present has start and length 0.
    CharString path;
    int driveStart = 0;
    int driveLength = 0;
    int dirStart = 0;
    int dirLength = 0;
    int nameStart = 0;
    int nameLength = 0;
    int extStart = 0;
    int extLength = 0;
    bool hasDrive = false;
    bool hasDir = false;
    bool hasName = false;
    bool hasExt = false;

private:
    void FindDrive();
    void FindNameAndExtension();
    void FindFolder();
};

// Splits path and returns the parts that flags select, in one call.
CharString GetPathParts(const char* path, int flags);
