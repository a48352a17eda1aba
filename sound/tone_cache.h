#pragma once

#include "wave_decoder.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace tolvex {

// Decoded tones by file, so that a tone played again is not decoded again.
// The file is looked at on every request: one that went away or was replaced
// is noticed even when it is cached.
class ToneCache {
public:
    static constexpr std::size_t kEntries = 32;

    // The decoded file, or null when it cannot be played.
    std::shared_ptr<const DecodedWave> load(const std::string& fileName);
    std::size_t size() const { return m_entries.size(); }

private:
    struct Entry {
        std::filesystem::file_time_type modified;
        std::uintmax_t size = 0;
        std::shared_ptr<const DecodedWave> wave;
        std::uint64_t lastUse = 0;
    };

    std::map<std::string, Entry> m_entries;
    std::uint64_t m_useCounter = 0;
};

} // namespace tolvex
