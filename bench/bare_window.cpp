// A bare Qt window of the about window's size and kind, for comparing the
// game's start-up with what Qt itself takes to put a window up; built a
// second time with a line of text and a JPEG, which any window like the
// about window pays for (the fonts' configuration, the JPEG reader).
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setFixedSize(284, 420);
#ifdef TOLVEX_BARE_LOGO
    auto* text = new QLabel(QStringLiteral(TOLVEX_CAPTION), &window);
    text->move(64, 12);
    auto* logo = new QLabel(&window);
    logo->setPixmap(QPixmap(QStringLiteral(TOLVEX_BARE_LOGO)));
    logo->setGeometry(27, 54, 230, 229);
#endif
    window.show();
    return QApplication::exec();
}
