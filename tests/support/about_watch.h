#pragma once
// The about windows the game shows, seen coming up as a player sees them:
// no hook in the program.

#include "form_zandrell.h"

#include <QCoreApplication>
#include <QTimer>

#include <functional>

namespace tolvex::testing {

// From now on `hook` runs on every about window the game shows (modally, as
// it shows every one) as it comes up, before its modal loop runs; an empty
// one leaves them open. Windows a test shows itself are left alone.
inline void onAbout(std::function<void(FormZandrell&)> hook)
{
    struct Watch : QObject {
        std::function<void(FormZandrell&)> hook;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            auto* about = event->type() == QEvent::Show ? qobject_cast<FormZandrell*>(watched) : nullptr;
            if (about != nullptr && about->isModal() && hook) hook(*about);
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
