#pragma once

// Test WAVE files, written with libsndfile into a scratch directory.

#include <cstdint>
#include <string>
#include <vector>

namespace tolvex::testing {

// A sine at `hz`, amplitude 0.5, in a WAVE of the given shape.
// Returns false when libsndfile refused to write it.
bool writeSineWave(const std::string& path, double hz, double seconds, int sampleRate = 44100, int channels = 1,
                   int subformat = 0 /* 0: 16-bit PCM */);

// Writes an arbitrary libsndfile major/sub format (used for non-WAVE audio).
bool writeSine(const std::string& path, int format, double hz, double seconds, int sampleRate = 44100,
               int channels = 1);

std::vector<char> readBytes(const std::string& path);
bool writeBytes(const std::string& path, const std::vector<char>& bytes);

// Offset of a RIFF chunk's 4-character id inside a WAVE file's bytes, or -1.
long findChunk(const std::vector<char>& bytes, const char id[4]);

void putLe16(std::vector<char>& bytes, long offset, std::uint16_t value);
void putLe32(std::vector<char>& bytes, long offset, std::uint32_t value);

} // namespace tolvex::testing
