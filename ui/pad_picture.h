#pragma once
// One picture of a pad. The unlit picture takes the pad's presses; the lit
// picture swallows them so that a press on a pad showing lit reaches nobody.

#include <QPixmap>
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

    // Ends this picture's press of `button`, if it has one, as its release would.
    void releaseButton(Qt::MouseButton button);
    // Ends the presses whose buttons are up by now: their releases went to a
    // modal box, or to nobody.
    void releaseButtonsNoLongerDown();

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

    int m_pad;
    Kind m_kind;
    QPixmap m_picture;
    Qt::MouseButtons m_held;  // buttons whose press this picture took
};

} // namespace tolvex
