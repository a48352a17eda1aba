#pragma once
// The about window: title and icon of the main window, logo, credit line, the
// two links and the terms of distribution. Any click or typed character closes
// it, except a click on a link, which opens the link.

#include <QDialog>
#include <QLabel>
#include <QPointer>

namespace tolvex {

class LinkLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    void setUnderlined(bool on);
    bool underlined() const { return font().underline(); }

signals:
    void hovered();
    void clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

class FormZandrell : public QDialog {
    Q_OBJECT
public:
    // The credit line, the maker's addresses and the terms of distribution.
    static const QString kCredit;
    static const QString kMail;
    static const QString kWeb;
    static const QString kTerms;

    // `mainWindow` lends its caption and icon; it is not the owner.
    explicit FormZandrell(QWidget* mainWindow);
    ~FormZandrell() override;

    // Shows the window modally with no owner, centred on the screen, and
    // returns once it has been closed.
    void fShow();

    QLabel* lblClick;
    QWidget* shpMarco;
    QLabel* imgLogo;
    QLabel* lblCreadoPor;
    QLabel* imgIcono;
    LinkLabel* lblURL;
    LinkLabel* lblMail;
    QLabel* lblTitulo;
    QLabel* lblTexWeb;
    QLabel* lblTexEmail;
    QLabel* lblTexto;

protected:
    bool event(QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void copyFromMainWindow();
    void hoverBackground();

    QPointer<QWidget> m_mainWindow;
};

} // namespace tolvex
