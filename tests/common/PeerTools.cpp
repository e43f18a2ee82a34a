#include "tests/common/PeerTools.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <fstream>

bool RunScript(const ScratchFolder& folder, const std::string& script)
{
    std::string scriptPath = folder / "script.sh";
    std::string logPath = folder / "script.log";
    {
        std::ofstream out(scriptPath);
        out << "set -e\ncd '" << folder.Path() << "'\n" << script;
    }
    int status = std::system(("sh '" + scriptPath + "' > '" + logPath + "' 2>&1").c_str());
    if (status != 0) {
        Bytes log;
        ReadBytes(logPath, log);
        ADD_FAILURE() << "script failed (" << status << "):\n"
                      << script << "\n--- output:\n"
                      << std::string(log.begin(), log.end());
    }
    return status == 0;
}

bool ReadPpm(const std::string& path, RgbImage& image)
{
    Bytes bytes;
    if (!ReadBytes(path, bytes) || bytes.size() < 2 || bytes[0] != 'P' || bytes[1] != '6')
        return false;
    std::size_t at = 2;
    auto number = [&](int& value) {
        while (at < bytes.size() && (std::isspace(bytes[at]) || bytes[at] == '#')) {
            if (bytes[at] == '#')
                while (at < bytes.size() && bytes[at] != '\n')
                    ++at;
            else
                ++at;
        }
        value = 0;
        bool any = false;
        while (at < bytes.size() && std::isdigit(bytes[at])) {
            value = value * 10 + (bytes[at++] - '0');
            any = true;
        }
        return any;
    };
    int maxValue = 0;
    if (!number(image.width) || !number(image.height) || !number(maxValue) || maxValue != 255)
        return false;
    ++at; // the single whitespace byte before the samples
    std::size_t size = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 3;
    if (bytes.size() - at != size)
        return false;
    image.rgb.assign(bytes.begin() + static_cast<long>(at), bytes.end());
    return true;
}

bool ConvertAllToPpm(const ScratchFolder& folder, const std::string& from, const std::string& to)
{
    return RunScript(folder, "mkdir -p '" + to + "'\nmogrify-im6.q16 -path '" + to + "' -depth 8 -format ppm '" + from +
                                 "'/*.bmp\n");
}

std::string FirstDifference(const Bytes& ours, const Bytes& theirs, int width)
{
    for (std::size_t i = 0; i < ours.size() && i < theirs.size(); ++i)
        if (ours[i] != theirs[i]) {
            std::size_t pixel = i / 3;
            return "pixel (" + std::to_string(pixel % static_cast<std::size_t>(width)) + ", " +
                   std::to_string(pixel / static_cast<std::size_t>(width)) + ")";
        }
    return ours.size() == theirs.size() ? "none" : "sizes differ";
}
