#pragma once
// One picture of a pad: it paints, and the unlit one keeps whether the pad
// shows lit and tells assistive tools, which know the pad by it. Its presses
// are PadInput's: the unlit picture takes them, the lit one swallows them.

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
    // Decoded when first needed; the main window asks for all eight before
    // it is first shown.
    const QPixmap& picture() const;

    // Whether the pad shows lit; kept by the unlit picture, which announces
    // the change to assistive tools.
    void setShownLit(bool lit);
    bool shownLit() const { return m_shownLit; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_pad;
    Kind m_kind;
    QString m_resource;
    mutable QPixmap m_picture;
    bool m_shownLit = false;
};

} // namespace tolvex
