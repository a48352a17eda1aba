#pragma once
// One picture of a pad; it only paints. Its presses are PadInput's: the unlit
// picture takes them, the lit one swallows them. The unlit picture is the
// pad as assistive tools know it.

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
    // Decoded when first needed: the about window, the first to show, does
    // not wait for the eight pictures of the board.
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
