#include "tone_cache.h"

#include <algorithm>
#include <system_error>

namespace tolvex {

std::shared_ptr<const DecodedWave> ToneCache::load(const std::string& fileName)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path path = fs::absolute(fs::path(fileName), ec);
    if (ec) return nullptr;
    const fs::file_status status = fs::status(path, ec);
    if (ec || !fs::is_regular_file(status)) return nullptr;
    const std::uintmax_t bytes = fs::file_size(path, ec);
    if (ec) return nullptr;
    const fs::file_time_type modified = fs::last_write_time(path, ec);
    if (ec) return nullptr;

    const std::string key = path.string();
    auto it = m_entries.find(key);
    if (it != m_entries.end() && it->second.size == bytes && it->second.modified == modified) {
        it->second.lastUse = ++m_useCounter;
        return it->second.wave;
    }
    if (it != m_entries.end()) m_entries.erase(it);

    auto wave = decodeWaveFile(key);
    if (!wave) return nullptr;
    if (m_entries.size() >= kEntries) {
        auto oldest = std::min_element(m_entries.begin(), m_entries.end(), [](const auto& a, const auto& b) {
            return a.second.lastUse < b.second.lastUse;
        });
        m_entries.erase(oldest);
    }
    auto shared = std::make_shared<const DecodedWave>(std::move(*wave));
    m_entries[key] = Entry{modified, bytes, shared, ++m_useCounter};
    return shared;
}

} // namespace tolvex
