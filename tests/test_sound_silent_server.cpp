// The player against a server that takes connections and never answers, as
// a PipeWire without its session manager does with streams: starting the
// player and requesting tones must not wait on it.

#include "pulse_wave_player.h"
#include "wave_files.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A listening unix socket: the kernel completes the connections, nothing is
// ever read from them or written to them.
class SilentServer {
public:
    explicit SilentServer(const std::string& path)
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (path.size() >= sizeof address.sun_path) return;
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (m_fd < 0) return;
        if (::bind(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || ::listen(m_fd, 16) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~SilentServer()
    {
        for (int fd : m_accepted) ::close(fd);
        if (m_fd >= 0) ::close(m_fd);
    }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    bool ok() const { return m_fd >= 0; }
    // Takes in the connections made so far and says how many there were.
    int connections()
    {
        for (int fd; (fd = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) m_accepted.push_back(fd);
        return static_cast<int>(m_accepted.size());
    }

private:
    int m_fd = -1;
    std::vector<int> m_accepted;
};

TEST(SoundWithSilentServer, NeitherStartNorToneWaits)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string socketPath = dir.filePath("native").toStdString();
    SilentServer server(socketPath);
    ASSERT_TRUE(server.ok()) << socketPath;
    ASSERT_EQ(::setenv("PULSE_SERVER", ("unix:" + socketPath).c_str(), 1), 0);
    const std::string tone = dir.filePath("Beep1.wav").toStdString();
    ASSERT_TRUE(tolvex::testing::writeSineWave(tone, 415.0, 0.3));

    QElapsedTimer clock;
    clock.start();
    tolvex::PulseWavePlayer player;
    EXPECT_LT(clock.elapsed(), 500) << "making the player"; // bounded, not hung; latency is make bench's

    for (int attempt = 0; attempt < 3; ++attempt) {
        clock.restart();
        EXPECT_EQ(player.PlayWave(tone), 0) << "attempt " << attempt;
        EXPECT_LT(clock.elapsed(), 500) << "attempt " << attempt;
    }
    // The refusals came from this server, not from a missing one.
    EXPECT_GE(server.connections(), 1);
}

} // namespace
