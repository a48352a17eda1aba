#include "classic_look.h"

#include <QStyle>
#include <QStyleFactory>

#include <memory>

namespace tolvex {

const QPalette& classicPalette()
{
    static const QPalette palette = [] {
        // Fusion's standard palette is the toolkit's light default, the same
        // on every desktop.
        const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
        QPalette p = fusion ? fusion->standardPalette() : QPalette(QColor(239, 239, 239));
        for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
            for (QPalette::ColorRole r : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
                p.setColor(g, r, Qt::black);
            p.setColor(g, QPalette::Base, Qt::white);
        }
        return p;
    }();
    return palette;
}

} // namespace tolvex
