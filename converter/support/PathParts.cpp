#include "converter/support/PathParts.h"

#include "platform/Platform.h"

PathParts::PathParts(const char* newPath)
{
    Split(newPath);
}

void PathParts::Split(const char* newPath)
{
    path = newPath;
    driveStart = driveLength = dirStart = dirLength = 0;
    nameStart = nameLength = extStart = extLength = 0;
    hasDrive = hasDir = hasName = hasExt = false;
    if (path.Length() < 1)
        return;
    FindDrive();
    FindNameAndExtension();
    FindFolder();
}

// "C:" or the "\\server" of a UNC name.
void PathParts::FindDrive()
{
    int length = path.Length();
    if (length <= 1)
        return;
    if (path.CharAt(1) == ':') {
        driveLength = 2;
        hasDrive = true;
    } else if (path.CharAt(0) == '\\' && path.CharAt(1) == '\\') {
        int end = path.FindFrom('\\', 2);
        driveLength = end < 0 ? length : end;
        hasDrive = true;
    }
}

// The name follows the last backslash (or the drive); the extension follows
// the name's last dot, so a dot in a folder name is no extension.
void PathParts::FindNameAndExtension()
{
    int length = path.Length();
    int driveEnd = hasDrive ? driveStart + driveLength : 0;
    int slash = path.ReverseFind('\\');
    if (slash < 0) {
        nameStart = driveEnd;
    } else if (!hasDrive || slash >= driveEnd) {
        nameStart = slash + 1;
    } else {
        return; // the last backslash belongs to a UNC drive: "\\server" names no file
    }
    nameLength = length - nameStart;
    hasName = true;

    int dot = path.ReverseFind('.');
    if (dot >= nameStart) {
        nameLength = dot - nameStart;
        extStart = dot + 1;
        extLength = length - extStart;
        hasExt = true;
    }
}

void PathParts::FindFolder()
{
    int start = hasDrive ? driveStart + driveLength : 0;
    int end = hasName ? nameStart : path.Length();
    if (end - start > 0) {
        dirStart = start;
        dirLength = end - start;
        hasDir = true;
    }
}

CharString PathParts::GetParts(int flags) const
{
    if (flags == WHOLE_PATH)
        return path;
    CharString result;
    if ((flags & DRIVE) != 0 && hasDrive)
        result += path.Mid(driveStart, driveLength);
    if ((flags & DIRECTORY) != 0 && hasDir)
        result += path.Mid(dirStart, dirLength);
    if ((flags & NAME) != 0 && hasName)
        result += path.Mid(nameStart, nameLength);
    if ((flags & DOT) != 0 && hasExt)
        result += '.';
    if ((flags & EXTENSION) != 0 && hasExt)
        result += path.Mid(extStart, extLength);
    return result;
}

bool PathParts::Exists() const
{
    return Platform::PathExists(path.Text());
}

CharString GetPathParts(const char* path, int flags)
{
    return PathParts(path).GetParts(flags);
}
