#include "form_zandrell.h"

#include "accessibility.h"
#include "classic_fonts.h"
#include "classic_look.h"
#include "scaled_pixmap.h"
#include "texts.h"
#include "twips.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <QUrl>

#include <xcb/xcb.h>

#include <cstdlib>

namespace tolvex {

const QString FormZandrell::kCredit = QString::fromUtf8(texts::kAboutCredit);
const QString FormZandrell::kMail = QString::fromUtf8(texts::kAboutMail);
const QString FormZandrell::kWeb = QString::fromUtf8(texts::kAboutWeb);
const QString FormZandrell::kTerms = QString::fromUtf8(texts::kAboutTerms);

namespace {

// The frame drawn along the edges of the window; it takes no clicks.
class OutlineShape : public QWidget {
public:
    explicit OutlineShape(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_TransparentForMouseEvents); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(QColor(255, 255, 255));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

void paintText(QWidget* w, const QColor& colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    w->setPalette(p);
}

template <typename Label>
Label* addLabel(QWidget* parent, const char* name, QRect place, const QString& text, const QColor& colour,
                const QFont& font)
{
    auto* label = new Label(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(place);
    label->setFont(font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    paintText(label, colour);
    return label;
}

// Until the window is on the screen, for a moment at most; the player's
// input waits for the window's own loop. Qt draws it once it is shown, and
// on X11 one round trip then sees the server carry the picture out: the
// loading that follows the first showing would otherwise keep the server
// from the cores while it draws.
void waitDrawn(const QPointer<QWidget>& window)
{
    const QDeadlineTimer deadline(200);
    QTimer wake; // the wait below sleeps no longer than this
    wake.start(5);
    while (window && window->windowHandle() != nullptr && !window->windowHandle()->isExposed() &&
           !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) return;
    xcb_connection_t* c = x11->connection();
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

} // namespace

FormZandrell::FormZandrell(const QString& caption, const QIcon& icon)
    : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint)
{
    installAccessibility();
    setObjectName(QStringLiteral("FormZandrell"));
    setWindowTitle(QString());
    setFixedSize(twipsToPixels(4260), twipsToPixels(6300));
    setAutoFillBackground(true);
    QPalette p = classicPalette();
    p.setColor(QPalette::Window, Qt::black);
    setPalette(p);
    setFont(dialogFont());
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAccessibleName(QString::fromUtf8(texts::kAboutName));

    const QFont plain = dialogFont();
    const QColor white(255, 255, 255), silver(192, 192, 192), link(51, 153, 255);

    // Created in the design's order; later controls lie over earlier ones.
    m_lblClick = addLabel<QLabel>(this, "lblClick", twipsRect(2805, 5955, 1320, 210),
                                  QString::fromUtf8(texts::kAboutClose), QColor(255, 255, 192), plain);
    m_lblClick->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    auto* shpMarco = new OutlineShape(this);
    shpMarco->setObjectName(QStringLiteral("shpMarco"));
    shpMarco->setGeometry(rect());

    m_imgLogo = new QLabel(this);
    m_imgLogo->setObjectName(QStringLiteral("imgLogo"));
    m_imgLogo->setGeometry(twipsRect(405, 810, 3450, 3435));
    m_imgLogo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_imgLogo->setPixmap(scaledPixmap(QStringLiteral(":/pictures/logo.jpg"), devicePixelRatioF()));
    m_imgLogo->setAccessibleName(QString::fromUtf8(texts::kAboutLogoName));

    m_lblCreadoPor = addLabel<QLabel>(this, "lblCreadoPor", twipsRect(956, 480, 2295, 255), kCredit, white, plain);

    m_imgIcono = new QLabel(this);
    m_imgIcono->setObjectName(QStringLiteral("imgIcono"));
    m_imgIcono->setGeometry(twipsRect(349, 180, 480, 480));
    m_imgIcono->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_imgIcono->setAccessibleName(QString::fromUtf8(texts::kAboutIconName));
    m_imgIcono->setPixmap(icon.pixmap(m_imgIcono->size()));
    setWindowIcon(icon);

    const QFont arial = classicFont(QStringLiteral("Arial"), 9.75);
    // Its pixel ratio keeps a high-density hand 32 pixels wide, hot spot still at the fingertip.
    const QCursor hand(scaledPixmap(QStringLiteral(":/pictures/hand.png"), devicePixelRatioF()), 0, 0);
    m_lblURL = addLabel<LinkLabel>(this, "lblURL", twipsRect(1635, 4605, 1485, 240), kWeb, link, arial);
    m_lblMail = addLabel<LinkLabel>(this, "lblMail", twipsRect(1605, 4350, 1575, 240), kMail, link, arial);
    for (LinkLabel* l : {m_lblURL, m_lblMail}) l->setCursor(hand);
    m_lblURL->setAccessibleName(QString::fromUtf8(texts::kAboutWebName) + kWeb);
    m_lblMail->setAccessibleName(QString::fromUtf8(texts::kAboutMailName) + kMail);

    m_lblTitulo = addLabel<QLabel>(this, "lblTitulo", twipsRect(956, 180, 2955, 375), caption, white,
                                   classicFont(QStringLiteral("Arial Black"), 12.0));
    m_lblTexWeb = addLabel<QLabel>(this, "lblTexWeb", twipsRect(1095, 4635, 615, 255),
                                   QString::fromUtf8(texts::kAboutWebCaption), silver, plain);
    m_lblTexEmail = addLabel<QLabel>(this, "lblTexEmail", twipsRect(1080, 4365, 735, 255),
                                     QString::fromUtf8(texts::kAboutMailCaption), silver, plain);
    m_lblTexto = addLabel<QLabel>(this, "lblTexto", twipsRect(240, 4980, 4185, 1005), kTerms, silver,
                                  classicFont(QStringLiteral("Arial"), 9.0));
    m_lblTexto->setWordWrap(true);
    // "Email: " and "Web:" reach into their links' boxes; the links lie on
    // top, so that the whole address is clickable and hovers.
    m_lblMail->raise();
    m_lblURL->raise();
    // The box runs past the window's right edge; wrap short of it so no word
    // is cut off or crossed by the outline.
    m_lblTexto->setContentsMargins(0, 0, m_lblTexto->geometry().right() - width() + 1 + 4, 0);

    connect(m_lblMail, &LinkLabel::hovered, this, [this] {
        m_lblMail->setUnderlined(true);
        m_lblURL->setUnderlined(false);
    });
    connect(m_lblURL, &LinkLabel::hovered, this, [this] {
        m_lblURL->setUnderlined(true);
        m_lblMail->setUnderlined(false);
    });
    // The result of the request is not looked at; the window stays open.
    connect(m_lblMail, &LinkLabel::clicked, this,
            [this] { QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + m_lblMail->text())); });
    connect(m_lblURL, &LinkLabel::clicked, this,
            [this] { QDesktopServices::openUrl(QUrl(QStringLiteral("http://") + m_lblURL->text())); });
}

// The links outlive this object's own destructor: Qt deletes them from
// ~QWidget, and a link that finds the pointer over it then says so.
FormZandrell::~FormZandrell()
{
    disconnect(m_lblMail, nullptr, this, nullptr);
    disconnect(m_lblURL, nullptr, this, nullptr);
}

void FormZandrell::fShow()
{
    if (!isVisible()) place();
    exec();
}

FormZandrell* FormZandrell::make(const QString& caption, const QIcon& icon)
{
    auto* about = new FormZandrell(caption, icon);
    about->setAttribute(Qt::WA_DeleteOnClose);
    return about;
}

void FormZandrell::present()
{
    place();
    show();
    waitDrawn(this); // nothing of this window is touched after it: it may be gone
}

// Before the window shows: modality set later has no effect.
void FormZandrell::place()
{
    setWindowModality(Qt::ApplicationModal);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void FormZandrell::hoverBackground()
{
    m_lblMail->setUnderlined(false);
    m_lblURL->setUnderlined(false);
}

// The pointer came back from a control onto the window itself.
void FormZandrell::enterEvent(QEnterEvent* event)
{
    QDialog::enterEvent(event);
    hoverBackground();
}

// Moves over other controls propagate here too; only the bare window counts.
void FormZandrell::mouseMoveEvent(QMouseEvent* event)
{
    if (!childAt(event->position().toPoint())) hoverBackground();
    event->accept();
}

void FormZandrell::mousePressEvent(QMouseEvent* event) { event->accept(); }

// Clicks on the window and on every control but the links land here.
void FormZandrell::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (rect().contains(event->position().toPoint())) close();
}

void FormZandrell::keyPressEvent(QKeyEvent* event)
{
    if (!event->text().isEmpty()) {
        close();
        return;
    }
    event->accept();
}

} // namespace tolvex
