// Keeps a wildcard batch from converting over its own inputs. The matches are
// all known before anything is written; a match whose output would be another
// match, an output the batch has already written, or a palette file the batch
// reads from, must not be converted. Names are compared as the file system
// compares them, after the case resolution the converter applies to names.
#pragma once

#include "converter/PaletteOptions.h"

#include <string>
#include <utility>
#include <vector>

class BatchGuard {
public:
    enum Conflict { NONE, OTHER_INPUT, WRITTEN, PALETTE_FILE };

    // palettes: the run's palette options, whose files the batch reads.
    BatchGuard(std::vector<std::string> inputs, const PaletteOptions& palettes);

    // What writing output from input would run into. For WRITTEN, from is the
    // input whose conversion wrote that output.
    Conflict Check(const std::string& input, const char* output, std::string& from) const;
    // Records that output was written from input.
    void NoteWritten(const std::string& input, const char* output);

private:
    std::vector<std::string> m_inputs;
    std::vector<std::string> m_paletteFiles;
    std::vector<std::pair<std::string, std::string>> m_written; // output, input
};
