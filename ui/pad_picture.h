#pragma once
// One picture of a pad. The unlit picture takes the pad's presses; the lit
// picture swallows them so that a press on a pad showing lit reaches nobody.
// The unlit picture is the pad as the keyboard and assistive tools know it.

#include <QPixmap>
#include <QSet>
#include <QWidget>

namespace tolvex {

class PadPicture : public QWidget {
    Q_OBJECT
public:
    enum class Kind { Unlit, Lit };

    PadPicture(int pad, Kind kind, const QString& resource, QWidget* parent);

    int pad() const { return m_pad; }
    Kind kind() const { return m_kind; }
    const QPixmap& picture() const { return m_picture; }

    // Whether the pad shows lit; kept by the unlit picture, which announces
    // the change to assistive tools.
    void setShownLit(bool lit);
    bool shownLit() const { return m_shownLit; }

    // Ends this picture's press of `button`, if it has one, as its release would.
    void releaseButton(Qt::MouseButton button);
    // Ends the presses whose buttons or keys are up by now: their releases
    // went to a modal box, or to nobody.
    void releaseButtonsNoLongerDown();

    // A key that stands for this pad went down or up. A key that goes down
    // while the pad shows lit is lost, as a click on the lit picture is.
    void pressKey(int key);
    void releaseKey(int key);
    // A key let go while a modal box was up; the release is delivered once
    // the handler that opened the box has finished.
    void keyReleasedMeanwhile(int key);
    // A press and release at once, for assistive tools.
    void click();

signals:
    void pressed(int pad);
    void released(int pad);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void press(QMouseEvent* event);
    int pressesOut() const;
    void holdersChanged(int pressesBefore);

    int m_pad;
    Kind m_kind;
    QPixmap m_picture;
    bool m_shownLit = false;
    Qt::MouseButtons m_held; // buttons whose press this picture took
    QSet<int> m_keys;        // keys whose press this picture took
    QSet<int> m_keysUp;      // of those, the ones let go behind a modal box
};

} // namespace tolvex
