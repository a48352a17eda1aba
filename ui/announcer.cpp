#include "announcer.h"

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
    QString score = QStringLiteral("Puntuación: %1").arg(e.score);
    switch (e.kind) {
    case GameEvent::Kind::Started:
        // With no level chosen (an option group always has one) the rounds alone.
        if (level.isEmpty()) return QStringLiteral("Nuevo juego: %1 rondas").arg(e.rounds);
        return QStringLiteral("Nuevo juego, nivel %1: %2 rondas").arg(level).arg(e.rounds);
    case GameEvent::Kind::RoundCompleted: return score;
    case GameEvent::Kind::Won: return QStringLiteral("¡Has ganado! ") + score;
    case GameEvent::Kind::WrongPad: return QStringLiteral("Fallaste: tocaba el %1. ").arg(dueColour) + score;
    case GameEvent::Kind::TimeUp: return QStringLiteral("Se acabó el tiempo: tocaba el %1. ").arg(dueColour) + score;
    }
    return score;
}

} // namespace tolvex
