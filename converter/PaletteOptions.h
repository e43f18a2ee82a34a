// The options of one conversion run that act on the picture's palette, as the
// command line gives them: drop the palette, use the palette of another
// picture file, fill in a missing palette from another picture file, map the
// picture's colours onto the palette of another picture file. The converter
// applies fill, then map, then use, then drop: use wins over fill, map over
// use (whose palette it replaces), and drop over all; a batch must not write
// over the files they name.
#pragma once

#include <initializer_list>
#include <vector>

struct PaletteOptions {
    // A palette taken from another picture file: whether the option was given,
    // and the file's name as typed (null or empty when none was).
    struct File {
        bool given = false;
        const char* name = nullptr;
    };

    bool drop = false;
    File use;
    File fill;
    File map;

    // The names of the palette files that the options given name, as typed.
    std::vector<const char*> ListFiles() const
    {
        std::vector<const char*> names;
        for (const File* file : {&use, &fill, &map}) {
            if (file->given && file->name != nullptr && *file->name != '\0')
                names.push_back(file->name);
        }
        return names;
    }
};
