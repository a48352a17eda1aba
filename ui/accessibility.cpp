#include "accessibility.h"

#include "announcer.h"
#include "engine.h"
#include "link_label.h"
#include "pad_input.h"
#include "pad_picture.h"
#include "twips.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include <algorithm>
#include <cmath>

namespace tolvex {

namespace {

// A pad: a button, pressed and checked exactly while it shows lit.
class PadAccessible : public QAccessibleWidget {
public:
    explicit PadAccessible(PadPicture* pad) : QAccessibleWidget(pad, QAccessible::Button) {}

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        const bool lit = pad()->shownLit();
        s.checkable = true;
        s.checked = lit;
        s.pressed = lit;
        return s;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override
    {
        if (action != pressAction()) return;
        if (auto* input = pad()->window()->findChild<PadInput*>()) input->pressAndRelease(pad()->pad());
    }

private:
    PadPicture* pad() const { return static_cast<PadPicture*>(widget()); }
};

// The time bar: its value is how far the fill has grown, in per cent.
class TimeBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit TimeBarAccessible(QWidget* bar) : QAccessibleWidget(bar, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QVariant currentValue() const override
    {
        const QWidget* fill = widget()->parentWidget()->findChild<QWidget*>(QStringLiteral("Label3"));
        // The fill's whole run: the bar less the margins the engine keeps.
        const int span = widget()->width() - twipsToPixels(Engine::kBarMarginTwips);
        if (fill == nullptr || span <= 0) return 0;
        const double share = 100.0 * fill->width() / span;
        return static_cast<int>(std::lround(std::clamp(share, 0.0, 100.0)));
    }
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }
};

// A link of the about window; pressing it opens the address.
class LinkAccessible : public QAccessibleWidget {
public:
    explicit LinkAccessible(LinkLabel* link) : QAccessibleWidget(link, QAccessible::Link) {}
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.linked = true;
        return s;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override
    {
        if (action == pressAction()) static_cast<LinkLabel*>(widget())->activate();
    }
};

// The board and panel: the lit pictures and the time bar's fill are parts of
// the pad and of the bar, not objects of their own.
class ClientAccessible : public QAccessibleWidget {
public:
    explicit ClientAccessible(QWidget* client) : QAccessibleWidget(client, QAccessible::Client) {}

    int childCount() const override { return static_cast<int>(shown().size()); }
    QAccessibleInterface* child(int index) const override
    {
        const QList<QWidget*> children = shown();
        if (index < 0 || index >= children.size()) return nullptr;
        return QAccessible::queryAccessibleInterface(children[index]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (child == nullptr) return -1;
        return static_cast<int>(shown().indexOf(qobject_cast<QWidget*>(child->object())));
    }

private:
    QList<QWidget*> shown() const
    {
        QList<QWidget*> list;
        for (QObject* o : widget()->children()) {
            auto* w = qobject_cast<QWidget*>(o);
            if (w == nullptr || w->isWindow() || isPartOfAnother(w)) continue;
            list << w;
        }
        return list;
    }
    static bool isPartOfAnother(const QWidget* w)
    {
        if (const auto* pad = qobject_cast<const PadPicture*>(w)) return pad->kind() == PadPicture::Kind::Lit;
        return w->objectName() == QLatin1String("Label3");
    }
};

QAccessibleInterface* factory(const QString&, QObject* object)
{
    auto* w = qobject_cast<QWidget*>(object);
    if (w == nullptr) return nullptr;
    if (auto* pad = qobject_cast<PadPicture*>(w)) {
        // The lit picture has no interface of its own worth telling about.
        return pad->kind() == PadPicture::Kind::Unlit ? new PadAccessible(pad) : nullptr;
    }
    if (auto* link = qobject_cast<LinkLabel*>(w)) return new LinkAccessible(link);
    // Spoken when shown, without taking the focus.
    if (auto* announcer = qobject_cast<Announcer*>(w))
        return new QAccessibleWidget(announcer, QAccessible::Notification);
    const QWidget* parent = w->parentWidget();
    if (parent == nullptr || parent->objectName() != QLatin1String("client")) {
        if (w->objectName() == QLatin1String("client") && parent != nullptr &&
            parent->objectName() == QLatin1String("Form1"))
            return new ClientAccessible(w);
        return nullptr;
    }
    if (w->objectName() == QLatin1String("Label4")) return new TimeBarAccessible(w);
    if (w->objectName() == QLatin1String("Board")) return new QAccessibleWidget(w, QAccessible::Pane);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(factory);
}

} // namespace tolvex
