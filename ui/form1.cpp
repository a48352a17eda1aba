#include "form1.h"

#include "classic_fonts.h"
#include "classic_look.h"
#include "form_zandrell.h"
#include "gamepad_input.h"
#include "accessibility.h"
#include "announcer.h"
#include "help_launch.h"
#include "maximise_refusal.h"
#include "pad_keys.h"
#include "texts.h"
#include "twips.h"

#include "tone_warning.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>

namespace tolvex {

namespace {

// Label4's width, which the time bar's fill grows into.
constexpr int kTimeBarTwips = 1095;

struct PadDesign {
    QRect unlit;
    QRect lit;
    const char* colour;
};

// Each lit picture sits 20 twips nearer the board's centre than its unlit
// one: across, and down but for pad 1's.
const std::array<PadDesign, 4> kPads = {{
    {twipsRect(220, 220, 2655, 2625), twipsRect(240, 240, 2655, 2625), texts::kColourGreen},
    {twipsRect(2880, 200, 2655, 2685), twipsRect(2860, 200, 2655, 2685), texts::kColourYellow},
    {twipsRect(2880, 2850, 2655, 2625), twipsRect(2860, 2830, 2655, 2625), texts::kColourBlue},
    {twipsRect(240, 2850, 2655, 2685), twipsRect(260, 2830, 2655, 2685), texts::kColourRed},
}};

const QColor kScoreGreen(0, 255, 0);
const QColor kLightGrey(192, 192, 192);

QString arrayName(const char* control, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(control)).arg(index);
}

// An invalid colour leaves that part of the palette as it was.
void setColours(QWidget* w, const QColor& text, const QColor& background)
{
    QPalette p = w->palette();
    // Only the enabled groups: a disabled level button must still look greyed.
    if (text.isValid()) {
        for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
            p.setColor(g, QPalette::WindowText, text);
            p.setColor(g, QPalette::Text, text);
            p.setColor(g, QPalette::ButtonText, text);
        }
    }
    if (background.isValid()) {
        p.setColor(QPalette::Window, background);
        w->setAutoFillBackground(true);
    }
    w->setPalette(p);
}

QLabel* makeLabel(QWidget* parent, int n, QRect place)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QStringLiteral("Label%1").arg(n));
    label->setGeometry(place);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

// Option buttons 73 pixels wide must hold "Campanilla" beside the indicator.
class OptionStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        if (metric == PM_RadioButtonLabelSpacing) return 3;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

QColor buttonFace() { return classicPalette().color(QPalette::Active, QPalette::Button); }

struct OptionDesign {
    const char* caption;
    int top; // twips inside the frame
};

// A framed option group; its buttons go to `buttons` in index order.
template <std::size_t N>
QGroupBox* makeOptionGroup(QWidget* parent, const char* name, const char* title, QRect place,
                           const char* arrayNameOfButtons, const OptionDesign (&design)[N], QStyle* style,
                           QRadioButton** buttons)
{
    auto* frame = new QGroupBox(QString::fromUtf8(title), parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setGeometry(place);
    setColours(frame, Qt::black, buttonFace());
    for (std::size_t i = 0; i < N; ++i) {
        auto* option = new QRadioButton(QString::fromUtf8(design[i].caption), frame);
        option->setObjectName(arrayName(arrayNameOfButtons, static_cast<int>(i)));
        option->setGeometry(twipsRect(120, design[i].top, 1095, 375));
        setColours(option, Qt::black, QColor());
        option->setStyle(style);
        buttons[i] = option;
    }
    return frame;
}

} // namespace

Form1::Form1(Platform& platform, WavePlayer& player, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      m_engine(*this, platform, player)
{
    // Before any control exists: a control's first accessibility event fixes
    // the interface it keeps.
    installAccessibility();
    setObjectName(QStringLiteral("Form1"));
    // The panel keeps its light grey and black captions under any desktop
    // scheme; the menu's pop-up is a window of its own and takes it too.
    setPalette(classicPalette());
    setAttribute(Qt::WA_WindowPropagation);
    setWindowTitle(QString::fromUtf8(kCaption)); // the icon is the application's
    m_closeFilter = std::make_unique<CloseRequestFilter>(this);
    new MaximiseRefusal(this);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(twipsToPixels(7560), twipsToPixels(5850));
    setColours(client, QColor(), Qt::black);
    client->setFont(dialogFont());
    setCentralWidget(client);

    buildBoard(client);
    buildPanel(client);
    buildHiddenSettings(client);
    buildMenu();
    buildTimers();
    setTabOrder();
    connectPadInput();
    connectChoices();

    // Client area of fixed size under the menu bar; no resizing, no maximising.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

Form1::~Form1() = default;

void Form1::buildBoard(QWidget* client)
{
    // Behind the pads, unseen and deaf to the mouse: it holds the keyboard
    // focus while a game runs, so that no key reaches the panel's controls.
    m_boardArea = new QWidget(client);
    m_boardArea->setObjectName(QStringLiteral("Board"));
    m_boardArea->setGeometry(twipsRect(0, 0, 5880, 5850));
    m_boardArea->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_boardArea->setFocusPolicy(Qt::ClickFocus);
    m_boardArea->setAccessibleName(QString::fromUtf8(texts::kBoardName));
    m_boardArea->lower();
    m_announcer = new Announcer(this);

    for (int pad = 0; pad < 4; ++pad) {
        const PadDesign& d = kPads[pad];
        const QString colour = QString::fromUtf8(d.colour);
        auto* unlit =
            new PadPicture(pad, PadPicture::Kind::Unlit, QStringLiteral(":/pictures/pad%1-unlit.gif").arg(pad), client);
        unlit->setObjectName(arrayName("Image1", pad));
        unlit->setGeometry(d.unlit);
        unlit->setAccessibleName(QString::fromUtf8(texts::kPadName).arg(colour).arg(QLatin1Char(padKeyDigit(pad))));
        auto* lit =
            new PadPicture(pad, PadPicture::Kind::Lit, QStringLiteral(":/pictures/pad%1-lit.gif").arg(pad), client);
        lit->setObjectName(arrayName("Image2", pad));
        lit->setGeometry(d.lit);
        lit->setAccessibleName(QString::fromUtf8(texts::kLitPadName).arg(colour));
        m_image1[pad] = unlit;
        m_image2[pad] = lit;
    }
}

// The engine keeps what the player chose: it is told the choices the window
// starts with, and every change.
void Form1::connectChoices()
{
    const auto tell = [this](const auto& buttons, void (Engine::*choose)(std::int16_t, bool)) {
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            const auto index = static_cast<std::int16_t>(i);
            (m_engine.*choose)(index, buttons[i]->isChecked());
            connect(buttons[i], &QRadioButton::toggled, this,
                    [this, index, choose](bool on) { dispatch([&](Engine&) { (m_engine.*choose)(index, on); }); });
        }
    };
    tell(m_option1, &Engine::OnLevelChoice);
    tell(m_option2, &Engine::OnSoundSetChoice);
    m_engine.OnTimeBarSpan(static_cast<float>(kTimeBarTwips));
}

void Form1::connectPadInput()
{
    m_padInput = new PadInput(this, m_image1, [this] { return m_engine.HandlerRunning(); });
    connect(m_padInput, &PadInput::pressed, this,
            [this](int p) { dispatch([p](Engine& e) { e.OnPadDown(static_cast<std::int16_t>(p)); }); });
    connect(m_padInput, &PadInput::released, this,
            [this](int p) { dispatch([p](Engine& e) { e.OnPadUp(static_cast<std::int16_t>(p)); }); });
}

void Form1::addGamepads(std::unique_ptr<Gamepads> gamepads)
{
    if (gamepads) new GamepadInput(std::move(gamepads), m_padInput, m_command1, this);
}

void Form1::buildPanel(QWidget* client)
{
    QLabel* label5 = makeLabel(client, 5, twipsRect(5880, 0, 1695, 5895));
    setColours(label5, Qt::black, buttonFace());
    label5->setAccessibleName(QString::fromUtf8(texts::kPanelName));

    QLabel* label4 = makeLabel(client, 4, twipsRect(6360, 5400, kTimeBarTwips, 255));
    setColours(label4, Qt::black, Qt::black);
    label4->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label4->setLineWidth(1);
    label4->setAccessibleName(QString::fromUtf8(texts::kTimeBarName));

    QLabel* label3 = makeLabel(client, 3, twipsRect(6390, 5430, 15, 195));
    setColours(label3, kScoreGreen, kScoreGreen);
    label3->setAccessibleName(QString::fromUtf8(texts::kTimeSpentName));

    QLabel* label6 = makeLabel(client, 6, twipsRect(6840, 4920, 615, 375));
    label6->setText(QStringLiteral("999"));
    setColours(label6, kScoreGreen, Qt::black);
    label6->setAlignment(Qt::AlignRight | Qt::AlignTop);
    label6->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label6->setLineWidth(1);
    label6->setFont(classicFont(QStringLiteral("MS Sans Serif"), 12.0, true));
    label6->setAccessibleName(QString::fromUtf8(texts::kScoreName));
    m_labels[3] = label3;
    m_labels[4] = label4;
    m_labels[5] = label5;
    m_labels[6] = label6;

    // The standard group box, radio buttons and push button of the style; the
    // frames keep the style's own thin etched border.
    auto* optionStyle = new OptionStyle;
    optionStyle->setParent(this);

    const OptionDesign levels[] = {
        {texts::kLevelEasy, 240}, {texts::kLevelMedium, 600}, {texts::kLevelHard, 960}, {texts::kLevelBuff, 1320}};
    m_frame1 = makeOptionGroup(client, "Frame1", texts::kLevelTitle, twipsRect(6120, 120, 1335, 1815), "Option1",
                               levels, optionStyle, m_option1.data());
    m_option1[0]->setChecked(true);

    // Top to bottom the indices run 0, 1, 3, 2, 4.
    const OptionDesign sounds[] = {{texts::kSoundNone, 240},
                                   {texts::kSoundBeep, 600},
                                   {texts::kSoundBell, 1320},
                                   {texts::kSoundHammond, 960},
                                   {texts::kSoundDrums, 1680}};
    m_frame2 = makeOptionGroup(client, "Frame2", texts::kSoundTitle, twipsRect(6120, 2040, 1335, 2175), "Option2",
                               sounds, optionStyle, m_option2.data());
    m_option2[1]->setChecked(true);

    m_command1 = new QPushButton(QString::fromUtf8(texts::kNewGame), client);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setGeometry(twipsRect(6120, 4440, 1335, 375));
    m_command1->setAutoDefault(false);
    connect(m_command1, &QPushButton::clicked, this, [this] { dispatch([](Engine& e) { e.OnNewGameClick(); }); });

    m_check1 = new QCheckBox(client);
    m_check1->setObjectName(QStringLiteral("Check1"));
    m_check1->setGeometry(twipsRect(6000, 5400, 255, 255));
    setColours(m_check1, Qt::black, kLightGrey);
    m_check1->setChecked(true);
    m_check1->setAccessibleName(QString::fromUtf8(texts::kShowTimeBarName));
    // The fill keeps its width while hidden; showing it again shows that width.
    connect(m_check1, &QCheckBox::stateChanged, this,
            [this](int state) { m_labels[3]->setVisible(state == Qt::Checked); });
}

void Form1::buildHiddenSettings(QWidget* client)
{
    // Just beyond the right edge of the client area: never seen, but in the
    // tab order, and the arrow keys move them.
    auto makeBar = [client](const char* name, QRect place, int initial, const QString& speech) {
        auto* bar = new QScrollBar(Qt::Horizontal, client);
        bar->setObjectName(QString::fromLatin1(name));
        bar->setGeometry(place);
        bar->setRange(0, 1000);
        // Arrow keys and arrows step by 1 ms, page keys and the track by 10 ms.
        bar->setSingleStep(1);
        bar->setPageStep(10);
        // Right arrow and Page Up move towards the maximum, as the labels grow.
        bar->setInvertedControls(false);
        // Set before any handler is connected: the start-up value moves nothing.
        bar->setValue(initial);
        bar->setFocusPolicy(Qt::StrongFocus);
        bar->setAccessibleName(speech);
        return bar;
    };
    m_hscroll1 = makeBar("HScroll1", twipsRect(7560, 360, 975, 255), 300, QString::fromUtf8(texts::kGapBarName));
    m_labels[1] = makeLabel(client, 1, twipsRect(7560, 600, 975, 255));
    m_labels[1]->setText(QStringLiteral("Label1"));
    m_labels[1]->setAccessibleName(QString::fromUtf8(texts::kGapLabelName));
    m_hscroll2 = makeBar("HScroll2", twipsRect(7560, 840, 975, 255), 200, QString::fromUtf8(texts::kLitBarName));
    m_labels[2] = makeLabel(client, 2, twipsRect(7560, 1080, 975, 255));
    m_labels[2]->setText(QStringLiteral("Label2"));
    m_labels[2]->setAccessibleName(QString::fromUtf8(texts::kLitLabelName));
    for (int n : {1, 2}) setColours(m_labels[n], Qt::white, QColor());

    // A setting moved to 0 mid-game is passed on as it is; the engine waits
    // at least 1 ms, so the playback goes on at full speed rather than stall.
    connect(m_hscroll1, &QScrollBar::valueChanged, this,
            [this](int v) { dispatch([v](Engine& e) { e.OnGapSetting(v); }); });
    connect(m_hscroll2, &QScrollBar::valueChanged, this,
            [this](int v) { dispatch([v](Engine& e) { e.OnLitSetting(v); }); });

    // Front to back: Label6, Label2, Label1, Label3, Label4, Label5, Image1(0),
    // Image1(1), Image1(3), Image1(2), Image2(0) .. Image2(3); every other
    // control lies over all of them.
    const QList<QWidget*> backToFront = {m_image2[3], m_image2[2], m_image2[1], m_image2[0], m_image1[2],
                                         m_image1[3], m_image1[1], m_image1[0], m_labels[5], m_labels[4],
                                         m_labels[3], m_labels[1], m_labels[2], m_labels[6], m_frame1,
                                         m_frame2,    m_command1,  m_check1,    m_hscroll1,  m_hscroll2};
    for (QWidget* w : backToFront) w->raise();
}

void Form1::buildMenu()
{
    // In the window, as the application has every menu bar: the client area
    // stays under it.
    QMenu* mnuHelpp = menuBar()->addMenu(QString::fromUtf8(texts::kMenuHelp));
    mnuHelpp->setObjectName(QStringLiteral("MnuHelpp"));
    m_mnuHelp = mnuHelpp->addAction(QString::fromUtf8(texts::kMenuHowToPlay));
    m_mnuHelp->setObjectName(QStringLiteral("MnuHelp"));
    m_mnuInfo = mnuHelpp->addAction(QString::fromUtf8(texts::kMenuAbout));
    m_mnuInfo->setObjectName(QStringLiteral("MnuInfo"));
    connect(m_mnuHelp, &QAction::triggered, this, [this] { openHelpDocument(helpDirectory()); });
    // Not an engine handler: the game's timers go on while the window is open.
    connect(m_mnuInfo, &QAction::triggered, this, [this] { dispatch([this](Engine&) { ShowAbout(); }); });
}

void Form1::buildTimers()
{
    for (int i = 0; i < kTimerCount; ++i) {
        const auto id = static_cast<TimerId>(i + 1);
        auto* timer = new BoardTimer(TimerPolicy::spinLead(id), this);
        timer->setObjectName(QStringLiteral("Timer%1").arg(i + 1));
        connect(timer, &BoardTimer::timeout, this,
                [this, id](TimerPolicy::Clock::time_point due) { timerTick(id, due); });
        m_timers[i] = timer;
    }
}

void Form1::setTabOrder()
{
    QList<QWidget*> order = {m_command1};
    for (QRadioButton* o : m_option1) order << o;
    for (QRadioButton* o : m_option2) order << o;
    order << m_hscroll1 << m_hscroll2 << m_check1;
    for (int i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

template <typename Call> void Form1::dispatch(Call&& call, std::optional<TimerPolicy::Clock::time_point> tickDue)
{
    {
        const TimerPolicy::Scope scope(m_timerPolicy, tickDue);
        call(m_engine);
    }
    if (!m_engine.HandlerRunning()) m_padInput->settle();
}

void Form1::timerTick(TimerId timer, TimerPolicy::Clock::time_point due)
{
    // A tick already on its way when the timer was stopped is dropped.
    if (m_closing || !m_timers[timerIndex(timer)]->isActive()) return;
    m_timerPolicy.countTick(timer);
    dispatch([timer](Engine& e) { e.OnTimer(timer); }, due);
}

void Form1::load(FormZandrell* shown)
{
    m_shownAbout = shown;
    dispatch([](Engine& e) { e.OnLoad(); });
    if (m_shownAbout) m_shownAbout->close();
}

void Form1::showCentred()
{
    adjustSize(); // the fixed size is only known once the layout has run
    if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
    // Decoded now rather than by the first press, which paints at once.
    for (int pad = 0; pad < 4; ++pad) {
        m_image1[pad]->picture();
        m_image2[pad]->picture();
    }
    show();
}

QString Form1::helpDirectory() const
{
    return m_helpDir.isEmpty() ? QCoreApplication::applicationDirPath() : m_helpDir;
}

void Form1::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (m_closing) return;
    m_closing = true;
    m_padInput->stop();
    for (BoardTimer* t : m_timers) t->stop();
    // The program ends at once, also from inside a modal box: every window
    // goes and every event loop, nested ones included, returns.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w != this && w->isVisible()) w->hide();
    }
    QCoreApplication::exit(0);
}

// ---------------------------------------------------------------------------
// Board

// The pads never overlap the panel's controls, so raising to the very front
// is the same as raising over the other pictures. Painted at once: the
// engine asks for the pad's tone next, and a slow sound server must hold
// back neither the light under the player's finger nor a playback step's.
void Form1::ShowLit(std::int16_t pad)
{
    m_image2[pad]->raise();
    m_image1[pad]->setShownLit(true);
    m_image2[pad]->repaint();
}

void Form1::ShowUnlit(std::int16_t pad)
{
    m_image1[pad]->raise();
    m_image1[pad]->setShownLit(false);
}

void Form1::SetTimeBar(float twips)
{
    QLabel* fill = m_labels[3];
    const int width = twipsToPixels(twips);
    if (width == fill->width()) return;
    // Unannounced: a reader hears the game's messages, not a percentage.
    fill->resize(width, fill->height());
}

void Form1::SetScoreText(const std::string& text)
{
    const QString score = QString::fromStdString(text);
    m_labels[6]->setText(score);
    // The name carries the value: a screen reader reads a label by its name.
    m_labels[6]->setAccessibleName(QString::fromUtf8(texts::kScoreValueName).arg(score));
}

void Form1::SetGapText(const std::string& text) { m_labels[1]->setText(QString::fromStdString(text)); }

void Form1::SetLitText(const std::string& text) { m_labels[2]->setText(QString::fromStdString(text)); }

// Both are disabled when a game starts and enabled when it ends.
void Form1::EnableNewGame(bool on)
{
    if (!on) playOnTheBoard();
    m_command1->setEnabled(on);
    if (!on) return;
    for (QRadioButton* o : m_option2) o->setFocusPolicy(Qt::StrongFocus);
    // Space starts the next game, unless the player has gone elsewhere.
    if (focusWidget() == m_boardArea) m_command1->setFocus(Qt::OtherFocusReason);
}

void Form1::EnableLevels(bool on)
{
    if (!on) playOnTheBoard();
    for (QRadioButton* o : m_option1) o->setEnabled(on);
}

// The focus moves before a focused control is disabled, which would hand it
// down the Tab chain to a sound set that the arrow keys would then change.
// The sound sets stay out of the chain until the game ends; the mouse still
// changes them.
void Form1::playOnTheBoard()
{
    m_boardArea->setFocus(Qt::OtherFocusReason);
    for (QRadioButton* o : m_option2) o->setFocusPolicy(Qt::NoFocus);
}

void Form1::SetTimer(TimerId timer, std::int32_t ms)
{
    BoardTimer* t = m_timers[timerIndex(timer)];
    if (ms <= 0 || m_closing) {
        t->stop();
        return;
    }
    t->start(ms, m_timerPolicy.anchor(TimerPolicy::Clock::now()));
}

void Form1::ShowAbout()
{
    if (m_closing) return;
    m_timerPolicy.modalWait();
    FormZandrell* about = m_shownAbout ? m_shownAbout.data() : makeAbout(this);
    m_shownAbout = nullptr;
    about->fShow();
}

FormZandrell* Form1::makeAbout(const Form1* board)
{
    if (board != nullptr) return FormZandrell::make(board->windowTitle(), board->windowIcon());
    return FormZandrell::make(QString::fromUtf8(kCaption), QApplication::windowIcon());
}

void Form1::Announce(const GameEvent& event)
{
    const bool chosen = event.level >= 0 && event.level < static_cast<int>(m_option1.size());
    const QString level = chosen ? m_option1[event.level]->text() : QString();
    const QString colour = QString::fromUtf8(kPads.at(event.duePad).colour);
    m_announcer->say(spokenText(event, level, colour));
}

void Form1::ShowToneWarning(const std::string& prompt)
{
    if (m_closing) return;
    m_timerPolicy.modalWait();
    showToneWarning(this, prompt);
}

} // namespace tolvex
