#include "engine.h"

#include "texts.h"

#include <algorithm>
#include <cmath>

namespace tolvex {

namespace {

constexpr float kSecondsPerDay = 86400.0f;
constexpr int kPadCount = 4;
constexpr double kPercentDivisor = 100.0;

struct LevelRow {
    std::int16_t roundsToWin;
    std::int16_t speedUpPercent;
};
constexpr LevelRow kLevels[] = {{10, 5}, {15, 10}, {20, 15}, {30, 25}};

char digitOf(std::int16_t pad) { return static_cast<char>('0' + pad); }
std::int16_t padAt(const std::string& digits, std::size_t oneBased)
{
    return static_cast<std::int16_t>(digits.at(oneBased - 1) - '0');
}

} // namespace

Engine::Engine(Board& board, Platform& platform, WavePlayer& player)
    : m_board(board), m_platform(platform), m_player(player)
{
}

// ---------------------------------------------------------------------------
// Entry points

template <typename F> void Engine::runHandler(F&& f)
{
    struct Scope {
        bool& flag;
        explicit Scope(bool& f) : flag(f) { flag = true; }
        ~Scope() { flag = false; }
    } scope(m_inHandler);
    f();
}

void Engine::OnLoad()
{
    runHandler([&] { StartUp(); });
}

void Engine::OnNewGameClick()
{
    // A modal box holds the window's input while a handler waits in it.
    if (m_inHandler) return;
    runHandler([&] { NewGame(); });
}

void Engine::OnTimer(TimerId timer)
{
    // A tick inside a modal box's loop would run a show step or judge the
    // clock in the middle of another handler; drop it, it comes round again.
    if (m_inHandler) return;
    runHandler([&] {
        switch (timer) {
        case TimerId::Timer1: StepTick(); break;
        case TimerId::Timer2: LitTick(); break;
        case TimerId::Timer3: AnswerTick(); break;
        case TimerId::Timer4: WinShowTick(); break;
        case TimerId::Timer5: FailShowTick(); break;
        }
    });
}

void Engine::OnPadDown(std::int16_t pad)
{
    if (m_inHandler) return;
    runHandler([&] { PadDown(pad); });
}

void Engine::OnPadUp(std::int16_t pad)
{
    if (m_inHandler) return;
    runHandler([&] { PadUp(pad); });
}

void Engine::OnGapSetting(std::int32_t value)
{
    if (m_inHandler) return;
    runHandler([&] {
        m_state.GapTime = value;
        m_board.SetGapText(std::to_string(m_state.GapTime));
    });
}

void Engine::OnLitSetting(std::int32_t value)
{
    if (m_inHandler) return;
    runHandler([&] {
        m_state.LitTime = value;
        m_board.SetLitText(std::to_string(m_state.LitTime));
    });
}

void Engine::OnLevelChoice(std::int16_t index, bool chosen) { m_levelChosen.at(index) = chosen; }

void Engine::OnSoundSetChoice(std::int16_t index, bool chosen) { m_soundSetChosen.at(index) = chosen; }

void Engine::OnTimeBarSpan(float twips) { m_timeBarSpan = twips; }

// ---------------------------------------------------------------------------
// Start-up, new game, idle

void Engine::StartUp()
{
    m_naming = shippedNaming();
    m_platform.SeedRandom();
    m_board.SetGapText(std::to_string(m_state.GapTime));
    m_board.SetLitText(std::to_string(m_state.LitTime));
    m_state.TimeLimitSecs = kTimeLimitSecs;
    m_state.InputBlocked = kFalse;
    EnterIdle();
    m_board.ShowAbout();
}

void Engine::NewGame()
{
    m_board.EnableLevels(false);
    m_state.Sequence = std::string(1, digitOf(drawPad()));
    m_state.Round = 1;
    m_state.PlayPos = 0;
    m_state.PlayerTurn = kFalse;
    m_state.TimeLimitOn = kFalse;
    m_state.GameOver = kFalse;

    std::int16_t level = -1;
    for (std::int16_t i = 0; i < static_cast<std::int16_t>(m_levelChosen.size()); ++i) {
        if (m_levelChosen[i]) level = i; // the last chosen index wins
    }
    if (level >= 0) {
        m_state.RoundsToWin = kLevels[level].roundsToWin;
        m_state.SpeedUpPercent = kLevels[level].speedUpPercent;
    }

    m_board.SetTimeBar(0.0f);
    m_board.EnableNewGame(false);
    m_state.LitTime = 200;
    m_state.GapTime = 300;
    m_state.InputBlocked = kFalse;
    m_turnEndingPad = -1;
    m_board.SetTimer(TimerId::Timer3, 0);
    m_board.SetTimer(TimerId::Timer1, kLeadInMs);
    m_board.Announce({.kind = GameEvent::Kind::Started, .level = level, .rounds = m_state.RoundsToWin});
}

void Engine::EnterIdle()
{
    m_board.SetTimer(TimerId::Timer3, 0);
    m_state.TimeLimitOn = kFalse;
    m_state.GameOver = kTrue;
    m_board.SetTimeBar(0.0f);
    m_state.PlayerTurn = kTrue;
    m_board.SetScoreText("0");
    m_board.EnableNewGame(true);
    m_state.Won = kFalse;
    m_state.Missed = kFalse;
    m_board.EnableLevels(true);
}

// ---------------------------------------------------------------------------
// Playback

void Engine::armPlayback(TimerId timer, std::int32_t ms)
{
    // A speed setting may be moved to 0; interval 0 would stop the timer and
    // stall the playback with the buttons disabled, so wait at least 1 ms.
    m_board.SetTimer(timer, std::max<std::int32_t>(ms, 1));
}

void Engine::StepTick()
{
    // A step after the last pad would light past the end; only stop.
    if (m_state.PlayPos >= static_cast<std::int16_t>(m_state.Sequence.size())) {
        m_board.SetTimer(TimerId::Timer1, 0);
        return;
    }
    m_state.PlayPos = static_cast<std::int16_t>(m_state.PlayPos + 1);
    m_board.SetTimer(TimerId::Timer1, 0);
    const std::int16_t pad = padAt(m_state.Sequence, static_cast<std::size_t>(m_state.PlayPos));
    m_board.ShowLit(pad);
    m_state.CurrentPad = pad;
    PlayPadTone();
    armPlayback(TimerId::Timer2, m_state.LitTime);
}

void Engine::LitTick()
{
    m_board.ShowUnlit(m_state.CurrentPad);
    m_board.SetTimer(TimerId::Timer2, 0);
    if (m_state.PlayPos == static_cast<std::int16_t>(m_state.Sequence.size())) {
        m_state.TimeLimitOn = kTrue;
        m_board.SetTimer(TimerId::Timer3, kAnswerTickMs);
        m_state.PlayerTurn = kTrue;
        m_state.PlayerInput.clear();
        m_state.TurnStart = m_platform.Clock();
    } else {
        armPlayback(TimerId::Timer1, m_state.GapTime);
    }
}

// ---------------------------------------------------------------------------
// Presses, judging, answer clock

void Engine::PadDown(std::int16_t pad)
{
    if (m_state.InputBlocked) return;
    if (m_state.PlayerTurn) {
        m_board.ShowLit(pad);
        m_state.CurrentPad = pad;
        PlayPadTone();
    }
    if (!m_state.PlayerTurn || m_state.GameOver) return;
    judge(pad);
    m_board.SetTimeBar(0.0f);
    m_state.TurnStart = m_platform.Clock();
}

void Engine::judge(std::int16_t pad)
{
    m_state.PlayerInput.push_back(digitOf(pad));
    bool mismatch = false;
    for (std::size_t i = 0; i < m_state.PlayerInput.size(); ++i) {
        if (i >= m_state.Sequence.size() || m_state.PlayerInput[i] != m_state.Sequence[i]) mismatch = true;
    }
    if (mismatch) {
        m_state.PlayerTurn = kFalse;
        m_state.TimeLimitOn = kFalse;
        m_board.SetTimer(TimerId::Timer1, 0);
        m_state.Missed = kTrue;
        m_turnEndingPad = pad;
    } else if (m_state.PlayerInput.size() == m_state.Sequence.size()) {
        completeRound();
        m_turnEndingPad = pad;
    }
}

std::int32_t Engine::SpeedUp(std::int32_t x, std::int16_t percent)
{
    const double value = x;
    const double shortened = value - value / kPercentDivisor * percent;
    // Ties go to the even neighbour under the default rounding mode.
    return static_cast<std::int32_t>(std::nearbyint(shortened));
}

void Engine::completeRound()
{
    if (m_state.Round == m_state.RoundsToWin) {
        m_board.SetTimer(TimerId::Timer1, 0);
        m_state.Won = kTrue;
    }
    m_state.Sequence.push_back(digitOf(drawPad()));
    m_state.Round = static_cast<std::int16_t>(m_state.Round + 1);
    m_state.PlayPos = 0;
    m_state.PlayerTurn = kFalse;
    m_state.TimeLimitOn = kFalse;
    m_board.SetTimer(TimerId::Timer3, 0);
    m_state.GapTime = SpeedUp(m_state.GapTime, m_state.SpeedUpPercent);
    m_state.LitTime = SpeedUp(m_state.LitTime, m_state.SpeedUpPercent);
}

void Engine::PadUp(std::int16_t pad)
{
    if (m_state.InputBlocked) return;
    m_board.ShowUnlit(pad);
    // Only the release of the press that ended the turn ends it: a release
    // during playback or the win show just shows its pad unlit.
    if (pad != m_turnEndingPad) return;
    m_turnEndingPad = -1;
    endTurn();
}

void Engine::endTurn()
{
    if (!m_state.Missed && !m_state.Won) m_board.SetTimer(TimerId::Timer1, kLeadInMs);
    const auto score = static_cast<std::int16_t>(m_state.Round - 1);
    m_board.SetScoreText(std::to_string(score));
    m_board.SetTimeBar(0.0f);
    if (m_state.Missed) {
        m_state.Missed = kFalse;
        // The wrong press is already in PlayerInput, in the due pad's place.
        const std::int16_t due = padAt(m_state.Sequence, m_state.PlayerInput.size());
        startFailureShow(due);
        m_board.Announce({.kind = GameEvent::Kind::WrongPad, .score = score, .duePad = due});
    } else if (m_state.Won) {
        m_state.GameOver = kTrue;
        m_board.SetTimer(TimerId::Timer3, 0);
        m_state.Round = 0;
        m_state.ShowPad = 0;
        m_state.BlinkCount = kWinBlinks;
        m_board.SetTimer(TimerId::Timer4, kShowTickMs);
        m_board.Announce({.kind = GameEvent::Kind::Won, .score = score});
    } else {
        m_board.Announce({.kind = GameEvent::Kind::RoundCompleted, .score = score});
    }
}

float Engine::elapsedSince(float start)
{
    float e = m_platform.Clock() - start;
    // The clock restarts at midnight; an allowance spanning it is a day short.
    if (e < 0.0f) e += kSecondsPerDay;
    return e;
}

void Engine::AnswerTick()
{
    // One instant for the bar and the limit alike.
    const float e = elapsedSince(m_state.TurnStart);
    const double span = static_cast<double>(m_timeBarSpan) - kBarMarginTwips;
    const double width = span / m_state.TimeLimitSecs * e;
    m_board.SetTimeBar(static_cast<float>(width));
    if (m_state.GameOver) m_board.SetTimeBar(0.0f);
    if (e > static_cast<float>(m_state.TimeLimitSecs) && m_state.TimeLimitOn) {
        // The score shown is still that of the rounds before this turn.
        const auto score = static_cast<std::int16_t>(m_state.Round - 1);
        // The pad that was due is the one after the last answered.
        const std::int16_t due = padAt(m_state.Sequence, m_state.PlayerInput.size() + 1);
        startFailureShow(due);
        m_board.Announce({.kind = GameEvent::Kind::TimeUp, .score = score, .duePad = due});
    }
}

// The pad that was due blinks; the turn's input and clock stop.
void Engine::startFailureShow(std::int16_t duePad)
{
    m_state.InputBlocked = kTrue;
    m_state.TimeLimitOn = kFalse;
    m_board.SetTimer(TimerId::Timer3, 0);
    m_state.Round = duePad;
    m_state.BlinkCount = kFailBlinks;
    m_board.SetTimer(TimerId::Timer5, kShowTickMs);
}

// ---------------------------------------------------------------------------
// End-of-game shows

void Engine::WinShowTick()
{
    if (m_state.BlinkCount == 0) return;
    if (m_state.BlinkCount % 2 == 0) {
        m_board.ShowLit(m_state.ShowPad);
        PlayTone(m_state.ShowPad);
    } else {
        m_board.ShowUnlit(m_state.ShowPad);
        m_state.ShowPad = static_cast<std::int16_t>((m_state.ShowPad + 1) % kPadCount);
    }
    m_state.BlinkCount = static_cast<std::int16_t>(m_state.BlinkCount - 1);
    if (m_state.BlinkCount == 0) {
        m_board.SetTimer(TimerId::Timer4, 0);
        EnterIdle();
    }
}

void Engine::FailShowTick()
{
    if (m_state.BlinkCount == kFailBlinks) m_board.ShowUnlit(m_state.CurrentPad);
    if (m_state.BlinkCount == 0) return;
    if (m_state.BlinkCount % 2 == 0) {
        m_board.ShowLit(m_state.Round);
        PlayTone(m_state.Round);
    } else {
        m_board.ShowUnlit(m_state.Round);
    }
    m_state.BlinkCount = static_cast<std::int16_t>(m_state.BlinkCount - 1);
    if (m_state.BlinkCount == 0) {
        m_board.SetTimer(TimerId::Timer5, 0);
        EnterIdle();
        m_state.InputBlocked = kFalse;
    }
}

// ---------------------------------------------------------------------------
// Tones

void Engine::PlayPadTone() { PlayTone(m_state.CurrentPad); }

void Engine::PlayTone(std::int16_t pad)
{
    if (m_soundSetChosen[0]) return;
    int soundSet = 0;
    for (std::int16_t s = 1; s < static_cast<std::int16_t>(m_soundSetChosen.size()) && soundSet == 0; ++s) {
        if (m_soundSetChosen[s]) soundSet = s;
    }
    // The window always has one set chosen; with none, stay silent rather
    // than ask for a file that cannot exist.
    if (soundSet == 0) return;
    m_state.ToneResult = m_player.PlayWave(toneFileName(m_naming, soundSet, pad));
    if (m_state.ToneResult == 0) m_board.ShowToneWarning(texts::kToneWarning);
}

// ---------------------------------------------------------------------------

void Engine::Testing::setSequence(Engine& e, const std::string& pads)
{
    e.m_state.Sequence = pads;
    e.m_state.Round = static_cast<std::int16_t>(pads.size());
}

void Engine::Testing::setRoundsToWin(Engine& e, std::int16_t rounds) { e.m_state.RoundsToWin = rounds; }

void Engine::Testing::setTurnStart(Engine& e, float seconds) { e.m_state.TurnStart = seconds; }

void Engine::Testing::setInputBlocked(Engine& e, bool blocked) { e.m_state.InputBlocked = vb(blocked); }

// ---------------------------------------------------------------------------

std::int16_t Engine::drawPad()
{
    auto pad = static_cast<std::int16_t>(std::floor(m_platform.Random() * kPadCount));
    // A generator that ever returned 1.0 must not produce a fifth pad.
    return std::clamp<std::int16_t>(pad, 0, kPadCount - 1);
}

} // namespace tolvex
