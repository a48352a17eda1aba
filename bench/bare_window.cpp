// A bare Qt window of the about window's size and kind, for comparing the
// game's start-up with what Qt itself takes to put a window up.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setFixedSize(284, 420);
    window.show();
    return QApplication::exec();
}
