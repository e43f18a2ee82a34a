// The entry names of one folder, read once and kept while the folder stays as
// it was. A batch looks up the output of every match in the same folder, and
// reading a folder of a thousand pictures for each would cost more than
// converting them.
#pragma once

#include <string>
#include <vector>

namespace Platform {

// The names in folder ("" for the current one), "." and ".." left out; empty
// when it cannot be read.
const std::vector<std::string>& NamesInFolder(const std::string& folder);
// Tells the names read that this process has just written the file at path
// (a folder's times need not show a change made within one tick of its
// clock): its name joins them, or, should it lie in another folder, what was
// read is forgotten.
void NoteWrittenFile(const std::string& path);

} // namespace Platform
