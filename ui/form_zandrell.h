#pragma once
// The about window: title and icon of the main window, logo, credit line, the
// two links and the terms of distribution. Any click or typed character closes
// it, except a click on a link, which opens the link.

#include "link_label.h"

#include <QDialog>
#include <QLabel>

namespace tolvex {

class FormZandrell : public QDialog {
    Q_OBJECT
public:
    // The credit line, the maker's addresses and the terms of distribution.
    static const QString kCredit;
    static const QString kMail;
    static const QString kWeb;
    static const QString kTerms;

    // Shows the main window's caption and icon, as they are when it is made.
    FormZandrell(const QString& caption, const QIcon& icon);
    ~FormZandrell() override;
    // A window for one showing, the way the game makes every one: deleted
    // once it is closed.
    static FormZandrell* make(const QString& caption, const QIcon& icon);

    // Shows the window modally with no owner, centred on the screen, and
    // returns once it has been closed.
    void fShow();
    // Puts the window up as fShow does and returns once it is drawn (a
    // moment at most), taking no user input meanwhile: fShow then only
    // waits. The program's first showing starts this way, before the slower
    // main window is built.
    void present();

    // Controls, under their design names.
    QLabel* lblClick() const { return m_lblClick; }
    QLabel* imgLogo() const { return m_imgLogo; }
    QLabel* lblCreadoPor() const { return m_lblCreadoPor; }
    QLabel* imgIcono() const { return m_imgIcono; }
    LinkLabel* lblURL() const { return m_lblURL; }
    LinkLabel* lblMail() const { return m_lblMail; }
    QLabel* lblTitulo() const { return m_lblTitulo; }
    QLabel* lblTexWeb() const { return m_lblTexWeb; }
    QLabel* lblTexEmail() const { return m_lblTexEmail; }
    QLabel* lblTexto() const { return m_lblTexto; }

protected:
    void enterEvent(QEnterEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void place();
    void hoverBackground();

    QLabel* m_lblClick = nullptr;
    QLabel* m_imgLogo = nullptr;
    QLabel* m_lblCreadoPor = nullptr;
    QLabel* m_imgIcono = nullptr;
    LinkLabel* m_lblURL = nullptr;
    LinkLabel* m_lblMail = nullptr;
    QLabel* m_lblTitulo = nullptr;
    QLabel* m_lblTexWeb = nullptr;
    QLabel* m_lblTexEmail = nullptr;
    QLabel* m_lblTexto = nullptr;
};

} // namespace tolvex
