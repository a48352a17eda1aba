#include "tone_warning.h"

#include "classic_look.h"
#include "maximise_refusal.h"
#include "texts.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QString>

namespace tolvex {

void showToneWarning(QWidget* parent, const std::string& prompt)
{
    QString text = QString::fromStdString(prompt);
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));

    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(texts::kToneWarningTitle), text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    // Legible whatever the desktop's scheme, like the main window.
    box.setPalette(classicPalette());
    // The prompt tells the player to press "Aceptar", so the button says so.
    box.button(QMessageBox::Ok)->setText(QString::fromUtf8(texts::kToneWarningButton));
    // Its size is fixed too, and it has Qt's title bar on Wayland.
    new MaximiseRefusal(&box);
    // exec() runs a nested event loop, so the game's timers keep ticking
    // while the box is open.
    box.exec();
}

} // namespace tolvex
