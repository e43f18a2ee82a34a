#include "platform/posix/FolderNames.h"

#include "platform/Platform.h"

#include <algorithm>
#include <cstring>

#include <dirent.h>
#include <sys/stat.h>

namespace Platform {

namespace {

struct ReadFolder {
    bool valid = false;
    std::string folder;
    struct stat state {};
    std::vector<std::string> names;
};

ReadFolder g_read;

bool Unchanged(const struct stat& before, const struct stat& now)
{
    return before.st_dev == now.st_dev && before.st_ino == now.st_ino && before.st_mtim.tv_sec == now.st_mtim.tv_sec &&
           before.st_mtim.tv_nsec == now.st_mtim.tv_nsec && before.st_ctim.tv_sec == now.st_ctim.tv_sec &&
           before.st_ctim.tv_nsec == now.st_ctim.tv_nsec;
}

} // namespace

const std::vector<std::string>& NamesInFolder(const std::string& folder)
{
    const char* path = folder.empty() ? "." : folder.c_str();
    struct stat state;
    if (::stat(path, &state) != 0) {
        g_read = ReadFolder();
        return g_read.names;
    }
    if (g_read.valid && g_read.folder == folder && Unchanged(g_read.state, state))
        return g_read.names;
    g_read = ReadFolder();
    DIR* listing = ::opendir(path);
    if (listing == nullptr)
        return g_read.names;
    while (const dirent* entry = ::readdir(listing)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            g_read.names.emplace_back(entry->d_name);
    }
    ::closedir(listing);
    g_read.valid = true;
    g_read.folder = folder;
    g_read.state = state;
    return g_read.names;
}

void NoteWrittenFile(const std::string& path)
{
    std::string folder = FolderPart(path.c_str());
    std::string name = path.substr(folder.size());
    if (folder.empty())
        folder = ".";
    struct stat state;
    if (!g_read.valid || ::stat(folder.c_str(), &state) != 0 || state.st_dev != g_read.state.st_dev ||
        state.st_ino != g_read.state.st_ino) {
        g_read.valid = false;
        return;
    }
    if (std::find(g_read.names.begin(), g_read.names.end(), name) == g_read.names.end())
        g_read.names.push_back(name);
    g_read.state = state;
}

} // namespace Platform
