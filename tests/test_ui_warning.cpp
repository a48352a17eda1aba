// The refused-tone warning, driven on the offscreen platform.

#include "application.h"
#include "texts.h"
#include "tone_warning.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>

namespace {

struct SeenBox {
    bool found = false;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    int buttonCount = 0;
    QMessageBox::StandardButtons standardButtons;
    QString okText;
    bool modal = false;
};

// Waits for the modal message box, notes what it shows and presses its OK
// button; gives up after two seconds and closes whatever is modal.
void inspectAndAccept(SeenBox* seen, const QElapsedTimer* clock)
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) {
        if (clock->elapsed() < 2000) {
            QTimer::singleShot(20, [=] { inspectAndAccept(seen, clock); });
        } else if (QWidget* other = QApplication::activeModalWidget()) {
            other->close();
        }
        return;
    }
    seen->found = true;
    seen->icon = box->icon();
    seen->title = box->windowTitle();
    seen->text = box->text();
    seen->buttonCount = static_cast<int>(box->buttons().size());
    seen->standardButtons = box->standardButtons();
    seen->modal = box->isModal();
    if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
        seen->okText = ok->text();
        ok->click();
    } else
        box->close();
}

TEST(ToneWarning, ShowsThePromptInAModalWarningBox)
{
    SeenBox seen;
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(0, [&] { inspectAndAccept(&seen, &clock); });

    tolvex::showToneWarning(nullptr, tolvex::texts::kToneWarning);

    ASSERT_TRUE(seen.found) << "no message box appeared";
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.title, QStringLiteral("Tolvex"));
    EXPECT_EQ(seen.buttonCount, 1);
    EXPECT_EQ(seen.standardButtons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_TRUE(seen.modal);
    // The prompt asks the player to press "Aceptar".
    EXPECT_EQ(seen.okText.toStdString(), "Aceptar");
    EXPECT_EQ(seen.text.toStdString(), "No puedo ejecutar el fichero .WAV!\n"
                                       "Cierra la aplicación que hayas abierto y pulsa Aceptar.");
}

TEST(ToneWarning, OnlyTheCarriageReturnBecomesALineBreak)
{
    SeenBox seen;
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(0, [&] { inspectAndAccept(&seen, &clock); });

    QWidget parent;
    parent.show();
    tolvex::showToneWarning(&parent, "uno\rdos tres\rcuatro");

    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.text, QStringLiteral("uno\ndos tres\ncuatro"));
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS(); // listing needs no display
    const std::unique_ptr<QApplication> app = tolvex::makeApplication(argc, argv);
    return RUN_ALL_TESTS();
}
