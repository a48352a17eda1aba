// Random input on the real main window: mouse presses and releases with any
// button anywhere on the board and the panel, keys, the level and sound
// buttons, "Nuevo Juego", the check box, the hidden speed settings and the
// about window, while the window's own timers tick through the event loop.
// The state's invariants hold after every input and between ticks, and once
// the input stops every game finds its way back to idle.
#include "engine_invariants.h"
#include "test_ui_support.h"
#include "url_recorder.h"

#include <QAbstractButton>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QMessageBox>

#include <algorithm>
#include <chrono>
#include <deque>
#include <iostream>
#include <optional>
#include <random>
#include <sstream>

namespace tolvex::uitest {
namespace {

using testing::BoardFacts;

// The seed of a run can be given in TOLVEX_MONKEY_SEED to look into a fault;
// real timer ticks fall a little differently every run all the same.
constexpr std::uint32_t kSeed = 20240611;
std::uint32_t seed()
{
    bool ok = false;
    const std::uint32_t s = qEnvironmentVariable("TOLVEX_MONKEY_SEED").toUInt(&ok);
    return ok ? s : kSeed;
}
constexpr int kInputs = 10'000;

// The game's clock runs with real time, so the answer allowance runs out as
// it would; a jump ahead makes a pending turn time out at its next tick.
FakeClock monkeyClock(std::uint32_t seed)
{
    FakeClock clock;
    clock.readNow(36000.0);
    clock.followRealTime();
    clock.unscripted = [rng = std::mt19937(seed)]() mutable {
        return std::uniform_real_distribution<float>(0.0f, 1.0f)(rng);
    };
    return clock;
}
void jump(FakeClock& clock, double seconds) { clock.nowMs += static_cast<std::int64_t>(seconds * 1000.0); }

// Records every tone and refuses some, so that the warning box comes up.
class RefusingPlayer : public RecordingPlayer {
public:
    explicit RefusingPlayer(std::uint32_t seed) : m_rng(seed) {}
    double refuseChance = 0.1;
    int refused = 0;
    std::int32_t PlayWave(const std::string& fileName) override
    {
        result = std::bernoulli_distribution(refuseChance)(m_rng) ? 0 : 1;
        refused += result == 0;
        return RecordingPlayer::PlayWave(fileName);
    }

private:
    std::mt19937 m_rng;
};

struct Stats {
    int inputs = 0;
    int games = 0;
    int wins = 0;
    int failures = 0;
    int longestSequence = 0;
    int tones = 0;
    int warnings = 0;
    int abouts = 0;
};

class Monkey {
public:
    explicit Monkey(std::uint32_t seed) : m_seed(seed), m_rng(seed), m_clock(monkeyClock(seed + 1)), m_player(seed + 2)
    {
    }

    ::testing::AssertionResult run()
    {
        m_form = std::make_unique<Form1>(m_clock, m_player);
        tolvex::testing::onAbout([this](FormZandrell& about) { aboutOpened(about); });
        PadInput* input = Form1::Testing::padInput(*m_form);
        QObject::connect(input, &PadInput::pressed, [this](int i) { note("pad " + std::to_string(i) + " pressed"); });
        QObject::connect(input, &PadInput::released, [this](int i) { note("pad " + std::to_string(i) + " released"); });
        QObject::connect(m_form->Command1(), &QPushButton::clicked, [this] {
            // Connected after the window's own handler: a game began if it disabled the button.
            if (m_form->Command1()->isEnabled()) return;
            ++m_stats.games;
            m_careful = chance(0.5);
        });
        struct ModalNotes : QObject {
            Monkey* monkey = nullptr;
            bool eventFilter(QObject*, QEvent* e) override
            {
                if (e->type() == QEvent::WindowBlocked) monkey->note("window blocked");
                if (e->type() == QEvent::WindowUnblocked) monkey->note("window unblocked");
                return false;
            }
        } modalNotes;
        modalNotes.monkey = this;
        m_form->installEventFilter(&modalNotes);
        QTimer watcher;
        watcher.setTimerType(Qt::PreciseTimer);
        QObject::connect(&watcher, &QTimer::timeout, [this] { watch(); });
        watcher.start(1);

        m_form->load();
        m_form->showCentred();
        if (!QTest::qWaitForWindowExposed(m_form.get())) return ::testing::AssertionFailure() << "not exposed";
        m_form->activateWindow();
        (void)QTest::qWaitForWindowActive(m_form.get());
        check("start-up");

        for (int i = 0; i < kInputs && m_fault.empty(); ++i) {
            m_input = i;
            oneInput();
            note(m_last);
            ++m_stats.inputs;
            check(m_last);
            runFor(pickWait());
            check("ticks after " + m_last);
        }
        if (!m_fault.empty()) return failure();

        // Let go of everything and let every game run out: a pending turn
        // times out as the clock is pushed past its allowance, the shows
        // run on the real timers.
        m_last = "the end";
        for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
            if (m_held.testFlag(b)) releaseAt(b, randomPoint());
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
        const GameState& s = Form1::Testing::state(*m_form);
        const bool settled = spin(
            [&] {
                if (s.TimeLimitOn == kTrue) jump(m_clock, s.TimeLimitSecs + 1.0);
                return m_fault.empty() && testing::idle(s, facts());
            },
            60'000);
        // The first fault found wins: one found while settling is kept.
        if (m_fault.empty() && !settled) m_fault = "not idle 60 s after the last input";
        for (int pad = 0; pad < 4 && m_fault.empty(); ++pad)
            if (showsLit(pad)) m_fault = "pad " + std::to_string(pad) + " left lit in idle";
        if (m_fault.empty() && QGuiApplication::mouseButtons() != Qt::NoButton) m_fault = "a mouse button left down";
        return m_fault.empty() ? ::testing::AssertionSuccess() : failure();
    }

    Stats stats() const
    {
        Stats s = m_stats;
        s.tones = static_cast<int>(m_player.files.size());
        return s;
    }
    void release() { m_form.reset(); }

private:
    // --- Randomness
    bool chance(double p) { return std::bernoulli_distribution(p)(m_rng); }
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
    template <typename T, std::size_t N> T pickOf(const T (&items)[N]) { return items[pick(0, N - 1)]; }

    // Mostly no time or a millisecond or two between inputs, so that many
    // fall into every phase of a game; now and then a pause of a few ticks.
    int pickWait()
    {
        const int r = pick(0, 999);
        if (r < 500) return 0;
        if (r < 940) return pick(1, 2);
        if (r < 995) return pick(3, 10);
        return pick(50, 300);
    }

    // --- The event loop

    // Runs the event loop, the window's timers included, until `done` holds
    // or `limitMs` have passed; returns whether `done` held.
    template <typename Done> bool spin(Done done, int limitMs)
    {
        const QDeadlineTimer deadline(limitMs, Qt::PreciseTimer);
        for (;;) {
            if (done()) return true;
            if (deadline.hasExpired()) return false;
            // The watcher's 1 ms timer wakes this wait.
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
    void runFor(int ms)
    {
        if (ms == 0) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return;
        }
        spin([] { return false; }, ms);
    }

    // --- What the window shows

    BoardFacts facts() const
    {
        BoardFacts f;
        for (int t = 0; t < kTimerCount; ++t) f.running[t] = m_form->Timer(static_cast<TimerId>(t + 1))->isActive();
        f.newGameEnabled = m_form->Command1()->isEnabled();
        for (int i = 0; i < 4; ++i) f.levelEnabled[i] = m_form->Option1(i)->isEnabled();
        return f;
    }
    bool showsLit(int pad) const { return litOnBoard(*m_form, pad); }

    void check(const std::string& after)
    {
        if (!m_fault.empty() || Form1::Testing::handlerRunning(*m_form)) return;
        const GameState& s = Form1::Testing::state(*m_form);
        const std::string broken = testing::brokenInvariant(s, facts());
        if (!broken.empty()) m_fault = broken + ", after " + after;
        m_stats.longestSequence = std::max(m_stats.longestSequence, static_cast<int>(s.Sequence.size()));
        const bool win = m_form->Timer(TimerId::Timer4)->isActive();
        const bool fail = m_form->Timer(TimerId::Timer5)->isActive();
        m_stats.wins += win && !m_winShow;
        m_stats.failures += fail && !m_failShow;
        m_winShow = win;
        m_failShow = fail;
    }

    ::testing::AssertionResult failure() const
    {
        const GameState& s = Form1::Testing::state(*m_form);
        const BoardFacts f = facts();
        std::ostringstream out;
        out << "seed " << m_seed << ", input " << m_input << ": " << m_fault << "\n  " << ::testing::PrintToString(s)
            << "\n  timers";
        for (int t = 0; t < kTimerCount; ++t) out << ' ' << f.running[t];
        out << " Command1 " << f.newGameEnabled << " levels";
        for (bool l : f.levelEnabled) out << ' ' << l;
        out << "\n  the last events, oldest first:";
        for (const std::string& e : m_trail) out << "\n    " << e;
        return ::testing::AssertionFailure() << out.str();
    }

    // --- Modal windows: the about window and the tone warning

    // Runs every millisecond in every event loop, the modal ones included:
    // checks the state between ticks and closes a warning box in its time.
    void watch()
    {
        check("a tick");
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box != m_box) {
            m_box = box;
            note(box ? "tone warning up" : "tone warning gone");
            if (box) {
                ++m_stats.warnings;
                m_boxDue.setRemainingTime(pick(0, 30), Qt::PreciseTimer);
                m_boxGiveUp.setRemainingTime(5000);
            }
        }
        if (!box) return;
        if (m_boxGiveUp.hasExpired()) {
            if (m_fault.empty()) m_fault = "a tone warning that does not close";
            box->close();
            return;
        }
        // The player may let go of the pad while the box is up; the box takes it.
        if (m_held != Qt::NoButton && chance(0.05)) {
            for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
                if (m_held.testFlag(b)) releaseAt(b, randomPoint());
            note("released in the box");
        }
        if (!m_boxDue.hasExpired()) return;
        m_boxDue.setRemainingTime(pick(0, 30), Qt::PreciseTimer);
        switch (pick(0, 3)) {
        case 0: box->close(); break;
        case 1:
            if (QAbstractButton* ok = box->button(QMessageBox::Ok); ok && !m_held.testFlag(Qt::LeftButton))
                QTest::mouseClick(ok, Qt::LeftButton);
            break;
        case 2: QTest::keyClick(box, pickOf({Qt::Key_Return, Qt::Key_Escape, Qt::Key_Space, Qt::Key_Enter})); break;
        default: QTest::keyClick(box, Qt::Key_Tab); break; // does not close it
        }
    }

    void aboutOpened(FormZandrell& about)
    {
        // The one at start-up goes at once.
        if (++m_stats.abouts == 1) return closeAtOnce(about);
        note("about window up");
        QTimer::singleShot(pick(0, 30), &about, [this, &about] { pokeAbout(about); });
    }

    // A click, a key or a close; a click on a link or a key without text
    // leaves the window open, and it is poked again a little later.
    void pokeAbout(FormZandrell& about)
    {
        if (!about.isVisible()) return;
        QWindow* w = about.windowHandle();
        switch (pick(0, 3)) {
        case 0: about.close(); break;
        case 1:
            if (m_held == Qt::NoButton && w) {
                const QPoint p(pick(0, about.width() - 1), pick(0, about.height() - 1));
                QTest::mouseClick(w, Qt::LeftButton, {}, p);
            }
            break;
        case 2:
            if (w) QTest::keyClick(w, pickOf({Qt::Key_A, Qt::Key_Space, Qt::Key_Shift, Qt::Key_Escape, Qt::Key_F1}));
            break;
        default: // the main window takes no input meanwhile; a pad held may be let go
            if (const std::optional<Qt::MouseButton> b = heldButton())
                releaseAt(*b, randomPoint());
            else
                clickAt(pickButton(), randomPoint());
            break;
        }
        QPointer<FormZandrell> alive(&about);
        if (alive && about.isVisible()) QTimer::singleShot(pick(0, 20), &about, [this, &about] { pokeAbout(about); });
    }

    // --- Places on the window, in the client area's coordinates

    QWidget* client() const { return m_form->centralWidget(); }
    QPoint in(QWidget* w, QPoint local) const { return w->mapTo(client(), local); }
    QPoint inside(QWidget* w) { return in(w, QPoint(pick(0, w->width() - 1), pick(0, w->height() - 1))); }

    // Some controls reach past the client area's edge; a press there would
    // miss the window.
    QPoint randomPoint()
    {
        const QPoint p = anyPoint();
        return QPoint(std::clamp(p.x(), 0, client()->width() - 1), std::clamp(p.y(), 0, client()->height() - 1));
    }
    QPoint anyPoint()
    {
        switch (pick(0, 9)) {
        case 0:
        case 1:
        case 2: return inside(m_form->Image1(pick(0, 3)));
        case 3: { // a corner of a pad's picture, black or not
            PadPicture* p = m_form->Image1(pick(0, 3));
            return in(p, QPoint(chance(0.5) ? pick(0, 3) : p->width() - 1 - pick(0, 3),
                                chance(0.5) ? pick(0, 3) : p->height() - 1 - pick(0, 3)));
        }
        case 4: return inside(m_form->Label(5)); // the panel
        case 5: {                                // a gap: the board's black ground or the panel between controls
            for (int tries = 0; tries < 50; ++tries) {
                const QPoint p(pick(0, client()->width() - 1), pick(0, client()->height() - 1));
                QWidget* at = client()->childAt(p);
                if (!at || at == m_form->Label(5)) return p;
            }
            return QPoint(pick(370, 391), pick(0, client()->height() - 1));
        }
        case 6: return inside(chance(0.5) ? m_form->Option1(pick(0, 3)) : m_form->Option2(pick(0, 4)));
        case 7:
            return inside(pickOf<QWidget*>({m_form->Command1(), m_form->Check1(), m_form->Label(6), m_form->Label(4),
                                            m_form->Frame1(), m_form->Frame2()}));
        default: return QPoint(pick(0, client()->width() - 1), pick(0, client()->height() - 1));
        }
    }

    // --- Inputs. Mouse events go through the window, as real ones do: a
    // modal window blocks them and the release reaches the pressed widget.

    QWindow* window() const { return m_form->windowHandle(); }
    QPoint toWindow(QPoint p) const { return client()->mapTo(m_form.get(), p); }

    void pressAt(Qt::MouseButton b, QPoint p)
    {
        m_held |= b;
        QTest::mousePress(window(), b, {}, toWindow(p));
    }
    void releaseAt(Qt::MouseButton b, QPoint p)
    {
        m_held &= ~Qt::MouseButtons(b);
        QTest::mouseRelease(window(), b, {}, toWindow(p));
    }
    void clickAt(Qt::MouseButton b, QPoint p)
    {
        pressAt(b, p);
        releaseAt(b, p);
    }
    Qt::MouseButton pickButton()
    {
        const int r = pick(0, 9);
        return r < 6 ? Qt::LeftButton : r < 8 ? Qt::RightButton : Qt::MiddleButton;
    }
    std::optional<Qt::MouseButton> heldButton()
    {
        for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
            if (m_held.testFlag(b)) return b;
        return std::nullopt;
    }

    // The pad the sequence wants next, while the player may answer.
    std::optional<int> padDue() const
    {
        const GameState& s = Form1::Testing::state(*m_form);
        if (s.PlayerTurn != kTrue || s.GameOver != kFalse || s.InputBlocked != kFalse) return std::nullopt;
        if (s.PlayerInput.size() >= s.Sequence.size()) return std::nullopt;
        return s.Sequence[s.PlayerInput.size()] - '0';
    }

    void oneInput()
    {
        // In the player's turn the player often answers right, so that games
        // go on for several rounds; in some games the player does nothing
        // else in a turn for the rounds that Fácil asks, and may win.
        const std::optional<int> due = padDue();
        const bool careful = m_careful && Form1::Testing::state(*m_form).Sequence.size() <= 10;
        if (due && m_held == Qt::NoButton && (careful || chance(0.5))) {
            PadPicture* pad = m_form->Image1(*due);
            const Qt::MouseButton b = pickButton();
            m_last = "a right press on pad " + std::to_string(*due);
            pressAt(b, inside(pad));
            if (careful || chance(0.8)) releaseAt(b, careful || chance(0.8) ? inside(pad) : randomPoint());
            return;
        }
        // Idle: start a game soon, so that many are played.
        if (m_form->Command1()->isEnabled() && chance(0.02)) {
            m_last = "a click on Command1";
            clickAt(Qt::LeftButton, inside(m_form->Command1()));
            return;
        }
        const int r = pick(0, 999);
        if (r < 300) {
            const Qt::MouseButton b = pickButton();
            const QPoint p = randomPoint();
            const bool down = m_held.testFlag(b);
            m_last = std::string(down ? "a release" : "a press") + " of button " + std::to_string(b) + " at " +
                     std::to_string(p.x()) + "," + std::to_string(p.y());
            if (down)
                releaseAt(b, p);
            else
                pressAt(b, p);
        } else if (r < 500) {
            const QPoint p = randomPoint();
            if (const std::optional<Qt::MouseButton> b = heldButton()) {
                m_last = "a release of button " + std::to_string(*b);
                releaseAt(*b, p);
            } else {
                m_last = "a mouse move";
                QTest::mouseMove(window(), toWindow(p));
            }
        } else if (r < 620) {
            const QPoint p = randomPoint();
            const Qt::MouseButton b = pickButton();
            if (m_held.testFlag(b)) return oneInput(); // that button is down: something else
            m_last = "a click at " + std::to_string(p.x()) + "," + std::to_string(p.y());
            if (chance(0.1) && m_held == Qt::NoButton) {
                QTest::mouseDClick(window(), b, {}, toWindow(p));
            } else {
                clickAt(b, p);
            }
        } else if (r < 750) {
            static constexpr Qt::Key kKeys[] = {
                Qt::Key_Tab,    Qt::Key_Tab,      Qt::Key_Tab,   Qt::Key_Backtab, Qt::Key_Space, Qt::Key_Return,
                Qt::Key_Enter,  Qt::Key_Escape,   Qt::Key_Left,  Qt::Key_Right,   Qt::Key_Up,    Qt::Key_Down,
                Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home,  Qt::Key_End,     Qt::Key_A,     Qt::Key_F1,
                Qt::Key_Alt,    Qt::Key_F10,      Qt::Key_Minus, Qt::Key_Plus};
            const Qt::Key key = pickOf(kKeys);
            const Qt::KeyboardModifiers mods = chance(0.1) ? Qt::ShiftModifier : Qt::NoModifier;
            m_last = "key " + std::to_string(key);
            QTest::keyClick(window(), key, mods);
        } else if (r < 830) {
            QRadioButton* o = chance(0.5) ? m_form->Option1(pick(0, 3)) : m_form->Option2(pick(0, 4));
            m_last = "a click on " + o->objectName().toStdString();
            if (!m_held.testFlag(Qt::LeftButton)) clickAt(Qt::LeftButton, inside(o));
        } else if (r < 860) {
            m_last = "a click on Command1";
            if (!m_held.testFlag(Qt::LeftButton)) clickAt(Qt::LeftButton, inside(m_form->Command1()));
        } else if (r < 880) {
            m_last = "a click on Check1";
            if (!m_held.testFlag(Qt::LeftButton)) clickAt(Qt::LeftButton, inside(m_form->Check1()));
        } else if (r < 960) {
            QScrollBar* bar = chance(0.5) ? m_form->HScroll1() : m_form->HScroll2();
            // Mostly short, so that playbacks do not drag on.
            const int k = pick(0, 9);
            const int v = k < 3 ? 0 : k < 6 ? pick(1, 5) : k < 9 ? pick(6, 100) : pick(101, 1000);
            m_last = bar->objectName().toStdString() + " to " + std::to_string(v);
            bar->setValue(v);
        } else if (r < 990) {
            m_last = "the clock ahead";
            jump(m_clock, pick(1, 40) / 10.0);
        } else if (r < 992) {
            m_last = "Acerca de...";
            m_form->MnuInfo()->trigger();
        } else {
            m_last = "Como Jugar";
            m_form->MnuHelp()->trigger();
        }
    }

    // The last inputs and what came of them, for the report of a fault.
    void note(const std::string& what)
    {
        const GameState& s = Form1::Testing::state(*m_form);
        std::ostringstream line;
        line << m_input << ": " << what << "  [seq " << s.Sequence << " in " << s.PlayerInput << " turn "
             << s.PlayerTurn << " over " << s.GameOver << " blocked " << s.InputBlocked << " lit";
        for (int pad = 0; pad < 4; ++pad)
            if (showsLit(pad)) line << ' ' << pad;
        line << "] buttons " << m_held.toInt();
        m_trail.push_back(line.str());
        if (m_trail.size() > 150) m_trail.pop_front();
    }

    std::deque<std::string> m_trail;
    std::uint32_t m_seed;
    std::mt19937 m_rng;
    FakeClock m_clock;
    RefusingPlayer m_player;
    testing::UrlRecorder m_urls; // "Como Jugar" and the links open nothing
    std::unique_ptr<Form1> m_form;
    Stats m_stats;
    std::string m_fault;
    std::string m_last = "start-up";
    int m_input = -1;
    Qt::MouseButtons m_held;
    bool m_careful = false;
    bool m_winShow = false;
    bool m_failShow = false;
    QPointer<QMessageBox> m_box; // each box is new, though it may reuse the last one's address
    QDeadlineTimer m_boxDue;
    QDeadlineTimer m_boxGiveUp;
};

TEST(Monkey, RandomInputKeepsTheInvariantsAndEveryGameEndsInIdle)
{
    const auto start = std::chrono::steady_clock::now();
    Monkey monkey(seed());
    const ::testing::AssertionResult result = monkey.run();
    const Stats s = monkey.stats();
    const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "monkey: seed " << seed() << ", " << s.inputs << " inputs, " << s.games << " games, " << s.wins
              << " wins, " << s.failures << " failure shows, longest sequence " << s.longestSequence << ", " << s.tones
              << " tones, " << s.warnings << " tone warnings, " << s.abouts << " about windows, " << secs << " s\n";
    monkey.release();
    ASSERT_TRUE(result);
    EXPECT_EQ(s.inputs, kInputs);
    EXPECT_GT(s.games, 0);
    EXPECT_GT(s.warnings, 0);
    EXPECT_GT(s.abouts, 1);
}

} // namespace
} // namespace tolvex::uitest
