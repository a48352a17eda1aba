#pragma once
// How a game goes, said to a player who cannot see the pads: a hidden object
// with the notification role, which a screen reader speaks without moving the
// focus whenever it is shown anew. A later message cuts an earlier one short.

#include "board.h"

#include <QString>
#include <QWidget>

namespace tolvex {

// Q_OBJECT: the accessibility factory knows it by its class.
class Announcer : public QWidget {
    Q_OBJECT
public:
    explicit Announcer(QWidget* parent);

    // The message is the object's accessible name until the next one.
    void say(const QString& message);
};

// The game's words for an event, in Spanish ("Puntuación: 3"), with the
// chosen level's caption and the colour of the pad that was due.
QString spokenText(const GameEvent& event, const QString& level, const QString& dueColour);

} // namespace tolvex
