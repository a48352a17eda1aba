#include "announcer.h"

#include "texts.h"

#include <QAccessible>

namespace tolvex {

Announcer::Announcer(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Announcer"));
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void Announcer::say(const QString& message)
{
    setAccessibleName(message);
    if (!QAccessible::isActive()) return;
    // Shown anew, also when it says the same again: that is what a reader speaks.
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

QString spokenText(const GameEvent& e, const QString& level, const QString& dueColour)
{
    QString score = QString::fromUtf8(texts::kSpokenScore).arg(e.score);
    switch (e.kind) {
    case GameEvent::Kind::Started:
        // With no level chosen (an option group always has one) the rounds alone.
        if (level.isEmpty()) return QString::fromUtf8(texts::kSpokenStarted).arg(e.rounds);
        return QString::fromUtf8(texts::kSpokenStartedAtLevel).arg(level).arg(e.rounds);
    case GameEvent::Kind::RoundCompleted: return score;
    case GameEvent::Kind::Won: return QString::fromUtf8(texts::kSpokenWon) + score;
    case GameEvent::Kind::WrongPad: return QString::fromUtf8(texts::kSpokenWrongPad).arg(dueColour) + score;
    case GameEvent::Kind::TimeUp: return QString::fromUtf8(texts::kSpokenTimeUp).arg(dueColour) + score;
    }
    return score;
}

} // namespace tolvex
