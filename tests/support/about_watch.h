#pragma once
// What a test does with each about window the program shows, seen as a
// player sees it: the window coming up, with no hook in the program.

#include "form_zandrell.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include <functional>

namespace tolvex::testing {

// From now on `hook` runs on every about window the game shows (modally, as
// it shows every one) as it comes up, before its modal loop runs; an empty
// one leaves them open. Windows a test shows itself are left alone.
inline void onAbout(std::function<void(FormZandrell&)> hook)
{
    class Watch : public QObject {
    public:
        std::function<void(FormZandrell&)> hook;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::Show && hook) {
                auto* about = qobject_cast<FormZandrell*>(watched);
                if (about != nullptr && about->isModal()) hook(*about);
            }
            return false;
        }
    };
    static Watch* const watch = [] {
        auto* w = new Watch;
        w->setParent(QCoreApplication::instance()); // goes with the application
        QCoreApplication::instance()->installEventFilter(w);
        return w;
    }();
    watch->hook = std::move(hook);
}

// A hook that closes the window as soon as its modal loop runs.
inline void closeAtOnce(FormZandrell& about)
{
    QTimer::singleShot(0, &about, [&about] { about.close(); });
}

} // namespace tolvex::testing
