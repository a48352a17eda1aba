// The windows as a screen reader is told of them, through Qt's accessibility
// interfaces: one button per pad, the score's value, the time bar's fill.
#include "test_ui_support.h"

#include <QAccessible>

namespace tolvex::uitest {
namespace {

class AccessibilityTest : public UiTest {
protected:
    static QAccessibleInterface* of(QWidget* w) { return QAccessible::queryAccessibleInterface(w); }
    QAccessibleInterface* pad(int p) { return of(form->Image1(p)); }

    // The objects under the client area, as a tool walks them.
    QList<QObject*> clientChildren()
    {
        QList<QObject*> list;
        QAccessibleInterface* client = of(form->centralWidget());
        for (int i = 0; i < client->childCount(); ++i) list << client->child(i)->object();
        return list;
    }
    int timeBarValue() { return of(form->Label(4))->valueInterface()->currentValue().toInt(); }
};

// Four pads, each one button named with its colour and key; the lit pictures
// and the bar's fill are no objects of their own.
TEST_F(AccessibilityTest, EachPadIsOneButtonWithItsKey)
{
    const char* const names[] = {"Pulsador verde, tecla 1", "Pulsador amarillo, tecla 2", "Pulsador azul, tecla 3",
                                 "Pulsador rojo, tecla 4"};
    const QList<QObject*> children = clientChildren();
    for (int p = 0; p < 4; ++p) {
        QAccessibleInterface* iface = pad(p);
        ASSERT_NE(iface, nullptr);
        EXPECT_EQ(iface->role(), QAccessible::Button);
        EXPECT_EQ(iface->text(QAccessible::Name), QString::fromUtf8(names[p]));
        ASSERT_NE(iface->actionInterface(), nullptr);
        EXPECT_TRUE(iface->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        EXPECT_TRUE(children.contains(form->Image1(p)));
        EXPECT_FALSE(children.contains(form->Image2(p)));
        EXPECT_EQ(QAccessible::queryAccessibleInterface(form->Image2(p))->role(), QAccessible::Client)
            << "a lit picture must not present itself as a control";
    }
    EXPECT_FALSE(children.contains(form->Label(3)));
    EXPECT_TRUE(children.contains(form->Label(4)));
    // Parents and indices agree with the children, as tools check.
    QAccessibleInterface* client = of(form->centralWidget());
    for (int i = 0; i < client->childCount(); ++i) EXPECT_EQ(client->indexOfChild(client->child(i)), i);
}

// Idle, lit while pressed, dark again: the pad's pressed and checked states
// follow what it shows. (The events that announce the change reach only an
// active bridge; the end-to-end test on the accessibility bus hears the
// checked change, the one Qt's bridge passes on.)
TEST_F(AccessibilityTest, PadStateFollowsItsLight)
{
    for (int p = 0; p < 4; ++p) {
        EXPECT_FALSE(pad(p)->state().pressed);
        EXPECT_FALSE(pad(p)->state().checked);
        EXPECT_TRUE(pad(p)->state().checkable);
    }
    pressPad(2);
    EXPECT_TRUE(pad(2)->state().pressed);
    EXPECT_TRUE(pad(2)->state().checked);
    EXPECT_FALSE(pad(1)->state().pressed);
    releasePad(2);
    EXPECT_FALSE(pad(2)->state().pressed);
    EXPECT_FALSE(pad(2)->state().checked);
}

// The press action plays the pad as a click would; not on a lit pad.
TEST_F(AccessibilityTest, PressActionPlaysThePad)
{
    pad(3)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_EQ(player.files.size(), 1u);
    EXPECT_EQ(player.files[0], "Beep4.wav");
    EXPECT_FALSE(showsLit(3));
    form->ShowLit(3);
    pad(3)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(player.files.size(), 1u);
}

// The score is read with its value; the time bar is a progress indicator
// whose value follows the fill.
TEST_F(AccessibilityTest, ScoreAndTimeBarCarryTheirValues)
{
    QAccessibleInterface* score = of(form->Label(6));
    EXPECT_EQ(score->text(QAccessible::Name), QStringLiteral("Puntuación: 0"));
    QAccessibleInterface* bar = of(form->Label(4));
    EXPECT_EQ(bar->role(), QAccessible::ProgressBar);
    ASSERT_NE(bar->valueInterface(), nullptr);
    EXPECT_EQ(bar->valueInterface()->maximumValue().toInt(), 100);
    const int idle = timeBarValue();
    EXPECT_LE(idle, 2);

    startGameAt(1);
    clock.nowMs += 1500; // half the three seconds
    Form1::Testing::fireTimer(*form, TimerId::Timer3);
    const int half = timeBarValue();
    EXPECT_GE(half, 40);
    EXPECT_LE(half, 60);

    clickPad(1);
    EXPECT_EQ(score->text(QAccessible::Name), QStringLiteral("Puntuación: 1"));
    EXPECT_LE(timeBarValue(), 2);
}

// The about window's addresses are links that a tool can follow.
TEST_F(AccessibilityTest, AboutLinksAreLinks)
{
    FormZandrell about(form->windowTitle(), form->windowIcon());
    for (LinkLabel* link : {about.lblMail(), about.lblURL()}) {
        QAccessibleInterface* iface = of(link);
        EXPECT_EQ(iface->role(), QAccessible::Link);
        EXPECT_FALSE(iface->text(QAccessible::Name).isEmpty());
        ASSERT_NE(iface->actionInterface(), nullptr);
        bool opened = false;
        QObject::connect(link, &LinkLabel::clicked, &about, [&] { opened = true; });
        iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        EXPECT_TRUE(opened);
    }
}

} // namespace
} // namespace tolvex::uitest
