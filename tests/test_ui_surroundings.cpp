// The window on a player's machine as it may be: tone files missing or
// broken, no audio server, the about window opened in the middle of a game.
// Every refused tone warns once, and the game plays on after each warning.
#include "test_ui_support.h"

#include "damaged_waves.h"
#include "pulse_wave_player.h"
#include "modules.h"
#include "texts.h"
#include "tone_files.h"

#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>

using namespace tolvex;
using namespace tolvex::uitest;
using tolvex::testing::DamagedWave;

namespace {

// Answers each tone warning as soon as its box is up, the way a player
// does: by clicking "Aceptar", which ends any press still held on a pad, or
// with the Enter key while the pad is held.
class WarningAnswerer : public QObject {
public:
    enum class By { Mouse, Keyboard };
    int answered = 0;
    QStringList texts;

    explicit WarningAnswerer(By by = By::Mouse)
    {
        m_poll.setInterval(1);
        connect(&m_poll, &QTimer::timeout, this, [this, by] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible()) return;
            ++answered;
            texts << box->text();
            if (by == By::Mouse)
                QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
            else
                QTest::keyClick(box, Qt::Key_Return);
        });
        m_poll.start();
    }

private:
    QTimer m_poll;
};

QString warningText() { return QString::fromUtf8(texts::kToneWarning).replace(QLatin1Char('\r'), QLatin1Char('\n')); }

// The window with the real player, run in a working directory of the
// test's choosing.
class SurroundingsTest : public UiTest {
protected:
    PulseWavePlayer realPlayer;
    QTemporaryDir scratch;
    QString previousDir = QDir::currentPath();

    WavePlayer& soundPlayer() override { return realPlayer; }

    void TearDown() override
    {
        QDir::setCurrent(previousDir);
        UiTest::TearDown();
    }

    void workIn(const QString& dir) { ASSERT_TRUE(QDir::setCurrent(dir)) << dir.toStdString(); }

    // The audio output works: a refusal below is the file's doing.
    void expectWorkingOutput()
    {
        ASSERT_NE(realPlayer.PlayWave(TOLVEX_TONE_DIR "/Beep1.wav"), 0) << "no audio output for the test";
    }

    // One round of a game whose pads are given, with every tone refused:
    // the playback and each press warn once, and the round is scored.
    void playRoundsWarningEachTone(WarningAnswerer& answerer)
    {
        const int before = answerer.answered;
        startGameAt(3);
        EXPECT_EQ(answerer.answered, before + 1) << "playback step";
        ASSERT_TRUE(form->Timer(TimerId::Timer3)->isActive());

        clock.randoms.push_back(FakeClock::forPad(0));
        clickPad(3);
        EXPECT_EQ(answerer.answered, before + 2) << "press";
        EXPECT_EQ(form->Label(6)->text(), QStringLiteral("1"));
        ASSERT_TRUE(form->Timer(TimerId::Timer1)->isActive());

        playBack(); // two steps, two warnings, then the turn
        EXPECT_EQ(answerer.answered, before + 4) << "second playback";
        clickPad(3);
        clickPad(0);
        EXPECT_EQ(answerer.answered, before + 6);
        EXPECT_EQ(form->Label(6)->text(), QStringLiteral("2"));
        for (const QString& text : answerer.texts) EXPECT_EQ(text, warningText());
    }
};

TEST_F(SurroundingsTest, WithNoToneFilesEachToneWarnsOnceAndTheGameGoesOn)
{
    expectWorkingOutput();
    workIn(scratch.path());
    WarningAnswerer answerer;

    clickPad(1); // free play
    EXPECT_EQ(answerer.answered, 1);
    EXPECT_FALSE(showsLit(1));
    playRoundsWarningEachTone(answerer);
}

// Whatever lies under a tone's name, the press lights the pad, warns once,
// and the next press is taken as usual.
class BrokenToneTest : public SurroundingsTest, public ::testing::WithParamInterface<DamagedWave> {};

TEST_P(BrokenToneTest, WarnsOnceAndFreePlayGoesOn)
{
    expectWorkingOutput();
    workIn(scratch.path());
    for (const char* stem : kSoundStems)
        ASSERT_TRUE(
            GetParam().make(scratch.filePath(QStringLiteral("%11.wav").arg(QLatin1String(stem))).toStdString()));

    WarningAnswerer answerer(WarningAnswerer::By::Keyboard);
    bool litDuringWarning = false;
    QTimer::singleShot(0, form.get(), [&] { litDuringWarning = showsLit(0); });
    pressPad(0);
    EXPECT_EQ(answerer.answered, 1);
    EXPECT_TRUE(litDuringWarning);
    EXPECT_TRUE(showsLit(0));
    releasePad(0);
    EXPECT_FALSE(showsLit(0));

    // The window still answers: the next press is lit and warned about too.
    pressPad(0);
    EXPECT_TRUE(showsLit(0));
    releasePad(0);
    EXPECT_EQ(answerer.answered, 2);
    EXPECT_TRUE(form->Command1()->isEnabled()); // still free play
}

// A sparse file far beyond the size limit: were it read, the test would
// run out of time long before the read ended.
const DamagedWave kSparseHuge{"SparseSixtyFourGiB",
                              [](const std::string& p) {
                                  std::ofstream(p, std::ios::binary) << "RIFF";
                                  std::error_code ec;
                                  std::filesystem::resize_file(p, std::uintmax_t{64} << 30, ec);
                                  return !ec;
                              },
                              WaveRefusal::TooLarge};

std::vector<DamagedWave> brokenTones()
{
    std::vector<DamagedWave> cases = tolvex::testing::damagedWaves();
    cases.push_back(kSparseHuge);
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Files, BrokenToneTest, ::testing::ValuesIn(brokenTones()),
                         [](const auto& info) { return std::string(info.param.label); });

// Run only where the audio server is missing (CTest's
// ui_surroundings_no_audio_server): the shipped tones are all there, and
// every one of them is refused.
TEST_F(SurroundingsTest, NoAudioServerEveryToneWarnsAndTheGameGoesOn)
{
    workIn(QStringLiteral(TOLVEX_TONE_DIR));
    ASSERT_EQ(realPlayer.PlayWave("Beep1.wav"), 0);
    WarningAnswerer answerer;
    clickPad(2);
    EXPECT_EQ(answerer.answered, 1);
    playRoundsWarningEachTone(answerer);
}

// A program whose modules are missing, or come from another build of the
// game (a C++ object of theirs might not fit this one): refused, so every
// tone warns and no gamepad plays. Those of this build open.
class MissingModuleTest : public SurroundingsTest, public ::testing::WithParamInterface<const char*> {
protected:
    std::unique_ptr<WavePlayer> modulePlayer = openSoundModule(QString::fromUtf8(GetParam()));
    WavePlayer& soundPlayer() override { return *modulePlayer; }
};

TEST_P(MissingModuleTest, EveryToneWarnsAndTheGameGoesOn)
{
    EXPECT_EQ(openGamepadModule(QString::fromUtf8(GetParam())), nullptr);
    EXPECT_NE(openGamepadModule(QStringLiteral(TOLVEX_THIS_BUILD_DIR)), nullptr);
    WarningAnswerer answerer;
    playRoundsWarningEachTone(answerer);
}

INSTANTIATE_TEST_SUITE_P(Modules, MissingModuleTest, ::testing::Values(TOLVEX_NO_MODULE_DIR, TOLVEX_OTHER_BUILD_DIR),
                         [](const auto& info) { return info.index == 0 ? "Missing" : "FromAnotherBuild"; });

// The about window opened while the pads are being played: the playback
// runs on behind it, and the turn is there when it closes.
TEST_F(UiTest, ThePlaybackRunsOnBehindTheAboutWindow)
{
    newGameAt(2);
    ASSERT_TRUE(form->Timer(TimerId::Timer1)->isActive());
    bool turnCameWhileOpen = false;
    inAboutWindow([&](FormZandrell& about) {
        turnCameWhileOpen =
            QTest::qWaitFor([&] { return form->Timer(TimerId::Timer3)->isActive(); }, 5000) && about.isVisible();
    });
    EXPECT_TRUE(turnCameWhileOpen);
    ASSERT_EQ(player.files.size(), 1u);
    EXPECT_FALSE(showsLit(2));
    clickPad(2);
    EXPECT_EQ(form->Label(6)->text(), QStringLiteral("1"));
}

// Opened and closed during the answer clock, the about window costs the
// player nothing: the press that follows counts.
TEST_F(UiTest, APressAfterTheAboutWindowClosesCounts)
{
    startGameAt(1);
    tolvex::testing::onAbout(closeAtOnce);
    form->MnuInfo()->trigger();
    EXPECT_TRUE(form->Timer(TimerId::Timer3)->isActive());
    clickPad(1);
    EXPECT_EQ(form->Label(6)->text(), QStringLiteral("1"));
}

} // namespace
