#pragma once
// A link of the about window: a label that reports the pointer entering it
// and a click released over it, and shows itself underlined on request.

#include <QLabel>

namespace tolvex {

class LinkLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    void setUnderlined(bool on);
    bool underlined() const { return font().underline(); }
    // Opens the link as a click would; for assistive tools.
    void activate() { emit clicked(); }

signals:
    void hovered();
    void clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace tolvex
