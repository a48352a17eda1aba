#pragma once
// The main window: the board of four pads, the side panel, the hidden speed
// settings, the menu and the five timers. It carries out the engine's Board
// operations and hands every window event to the engine.

#include "board_timer.h"
#include "close_request_filter.h"
#include "pad_input.h"
#include "pad_picture.h"
#include "timer_policy.h"

#include "board.h"
#include "engine.h"
#include "platform.h"
#include "wave_player.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace tolvex {

class Announcer;
class FormZandrell;
class Gamepads;

class Form1 : public QMainWindow, public Board {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Tolvex 1.1";

    Form1(Platform& platform, WavePlayer& player, QWidget* parent = nullptr);
    // An about window for one showing, with the main window's caption and
    // icon: `board`'s as they are now, or, at start-up before the main window
    // is built, those it will have.
    static FormZandrell* makeAbout(const Form1* board = nullptr);
    ~Form1() override;

    // The window's load: start-up, ending with the about window. Call once,
    // before the window is first shown. `shown` is an about window already put
    // up (FormZandrell::present) while this one was built: the start-up's
    // showing is that one, and it is closed if the start-up ends before it.
    void load(FormZandrell* shown = nullptr);
    // The gamepads play from now on; none when null.
    void addGamepads(std::unique_ptr<Gamepads> gamepads);
    // Shows the window centred on the screen.
    void showCentred();
    // True once the window has been closed: the program is ending.
    bool closing() const { return m_closing; }

    // --- Board
    void ShowLit(std::int16_t pad) override;
    void ShowUnlit(std::int16_t pad) override;
    void SetTimeBar(float twips) override;
    void SetScoreText(const std::string& text) override;
    void SetGapText(const std::string& text) override;
    void SetLitText(const std::string& text) override;
    void EnableNewGame(bool on) override;
    void EnableLevels(bool on) override;
    void SetTimer(TimerId timer, std::int32_t ms) override;
    void ShowAbout() override;
    void ShowToneWarning(const std::string& prompt) override;
    void Announce(const GameEvent& event) override;

    // --- Controls, under their design names.
    PadPicture* Image1(int pad) const { return m_image1[pad]; }
    PadPicture* Image2(int pad) const { return m_image2[pad]; }
    QRadioButton* Option1(int index) const { return m_option1[index]; }
    QRadioButton* Option2(int index) const { return m_option2[index]; }
    QGroupBox* Frame1() const { return m_frame1; }
    QGroupBox* Frame2() const { return m_frame2; }
    QPushButton* Command1() const { return m_command1; }
    QCheckBox* Check1() const { return m_check1; }
    QScrollBar* HScroll1() const { return m_hscroll1; }
    QScrollBar* HScroll2() const { return m_hscroll2; }
    QLabel* Label(int n) const { return m_labels[n]; } // Label1 .. Label6
    BoardTimer* Timer(TimerId timer) const { return m_timers[timerIndex(timer)]; }
    // Where a game is played from the keyboard; out of the Tab order.
    QWidget* BoardArea() const { return m_boardArea; }
    QAction* MnuHelp() const { return m_mnuHelp; }
    QAction* MnuInfo() const { return m_mnuInfo; }

    // What tests and benches reach besides the window's own controls.
    struct Testing {
        // What the engine holds, to read; and the one thing a bench sets.
        static const GameState& state(const Form1& f) { return f.m_engine.State(); }
        static bool handlerRunning(const Form1& f) { return f.m_engine.HandlerRunning(); }
        static void setSequence(Form1& f, const std::string& pads) { Engine::Testing::setSequence(f.m_engine, pads); }
        static int ticksDelivered(const Form1& f, TimerId timer) { return f.m_timerPolicy.ticksDelivered(timer); }
        // One tick of `timer` now, by the path its timeout takes, and dropped
        // as that one is when the timer is stopped: tests keep time.
        static void fireTimer(Form1& f, TimerId timer) { f.timerTick(timer, TimerPolicy::Clock::now()); }
        static Announcer* announcer(const Form1& f) { return f.m_announcer; }
        static PadInput* padInput(const Form1& f) { return f.m_padInput; }
        // Where "Como Jugar" looks for the instructions, instead of the program's folder.
        static void setHelpDirectory(Form1& f, const QString& dir) { f.m_helpDir = dir; }
        static QString helpDirectory(const Form1& f) { return f.helpDirectory(); }
    };

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildBoard(QWidget* client);
    void buildPanel(QWidget* client);
    void buildHiddenSettings(QWidget* client);
    void buildMenu();
    void buildTimers();
    void setTabOrder();
    void playOnTheBoard();
    // Where "Como Jugar" looks for the instructions: the program's folder.
    QString helpDirectory() const;
    void connectPadInput();
    void connectChoices();
    // Every window event reaches the engine through here: `call` runs in the
    // event's timer context (a tick's deadline, or none), and presses whose
    // release went to a modal box meanwhile are settled afterwards.
    template <typename Call>
    void dispatch(Call&& call, std::optional<TimerPolicy::Clock::time_point> tickDue = std::nullopt);
    void timerTick(TimerId timer, TimerPolicy::Clock::time_point due);

    Engine m_engine;
    QWidget* m_boardArea = nullptr;
    Announcer* m_announcer = nullptr;
    std::array<PadPicture*, 4> m_image1{};
    std::array<PadPicture*, 4> m_image2{};
    std::array<QRadioButton*, 4> m_option1{};
    std::array<QRadioButton*, 5> m_option2{};
    std::array<QLabel*, 7> m_labels{}; // [0] unused
    QGroupBox* m_frame1 = nullptr;
    QGroupBox* m_frame2 = nullptr;
    QPushButton* m_command1 = nullptr;
    QCheckBox* m_check1 = nullptr;
    QScrollBar* m_hscroll1 = nullptr;
    QScrollBar* m_hscroll2 = nullptr;
    std::array<BoardTimer*, kTimerCount> m_timers{};
    TimerPolicy m_timerPolicy;
    QAction* m_mnuHelp = nullptr;
    QAction* m_mnuInfo = nullptr;
    bool m_closing = false;
    PadInput* m_padInput = nullptr;
    QString m_helpDir;
    QPointer<FormZandrell> m_shownAbout; // put up before load, not yet run
    std::unique_ptr<CloseRequestFilter> m_closeFilter;
};

} // namespace tolvex
