// The game keeps its own look under the desktop's colour scheme: a dark or a
// high-contrast palette applied before the windows are built leaves every
// caption legible, measured on the pixels the windows draw.
#include "test_ui_support.h"

#include "tone_warning.h"

#include <QMenuBar>
#include <QMessageBox>
#include <QStyleOptionGroupBox>

#include <cmath>
#include <map>

namespace tolvex::uitest {
namespace {

double luminance(QRgb rgb)
{
    auto channel = [](int v) {
        const double c = v / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) + 0.0722 * channel(qBlue(rgb));
}

double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The contrast of a caption drawn in `area` of `image`: its most common
// colour is the ground, the pixel farthest from it the ink.
double captionContrast(const QImage& image, QRect area)
{
    std::map<QRgb, int> counts;
    area &= image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) ++counts[image.pixel(x, y) | 0xFF000000u];
    if (counts.empty()) return 0.0;
    QRgb ground = counts.begin()->first;
    for (const auto& [colour, n] : counts)
        if (n > counts[ground]) ground = colour;
    double best = 1.0;
    for (const auto& [colour, n] : counts) best = std::max(best, contrast(colour, ground));
    return best;
}

QPalette darkPalette()
{
    // As a dark desktop scheme hands it to the program.
    QPalette p(QColor(0x35, 0x35, 0x35));
    p.setColor(QPalette::WindowText, Qt::white);
    p.setColor(QPalette::Base, QColor(0x2a, 0x2a, 0x2a));
    p.setColor(QPalette::Text, Qt::white);
    p.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    p.setColor(QPalette::ButtonText, Qt::white);
    p.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    return p;
}

QPalette highContrastPalette()
{
    QPalette p(Qt::black);
    p.setColor(QPalette::WindowText, Qt::white);
    p.setColor(QPalette::Base, Qt::black);
    p.setColor(QPalette::Text, Qt::yellow);
    p.setColor(QPalette::Button, Qt::black);
    p.setColor(QPalette::ButtonText, Qt::white);
    p.setColor(QPalette::Highlight, Qt::cyan);
    return p;
}

struct Scheme {
    const char* name;
    QPalette (*palette)();
};

void PrintTo(const Scheme& s, std::ostream* os) { *os << s.name; }

class SchemeTest : public UiTest, public ::testing::WithParamInterface<Scheme> {
protected:
    void SetUp() override
    {
        m_saved = QApplication::palette();
        QApplication::setPalette(GetParam().palette());
        UiTest::SetUp();
    }
    void TearDown() override
    {
        UiTest::TearDown();
        QApplication::setPalette(m_saved);
    }

private:
    QPalette m_saved;
};

// WCAG's strictest level for text: 7 to 1.
constexpr double kTextContrast = 7.0;

TEST_P(SchemeTest, EveryCaptionOfTheMainWindowIsLegible)
{
    const QImage image = form->grab().toImage();
    auto inWindow = [&](QWidget* w, QRect local) { return QRect(w->mapTo(form.get(), local.topLeft()), local.size()); };

    std::vector<std::pair<std::string, QRect>> captions;
    for (QRadioButton* o : form->findChildren<QRadioButton*>()) {
        QStyleOptionButton opt;
        opt.initFrom(o);
        opt.text = o->text();
        captions.emplace_back(o->text().toStdString(),
                              inWindow(o, o->style()->subElementRect(QStyle::SE_RadioButtonContents, &opt, o)));
    }
    for (QGroupBox* frame : {form->Frame1(), form->Frame2()}) {
        QStyleOptionGroupBox opt;
        opt.initFrom(frame);
        opt.text = frame->title();
        opt.subControls = QStyle::SC_GroupBoxLabel;
        captions.emplace_back(frame->title().toStdString(),
                              inWindow(frame, frame->style()->subControlRect(QStyle::CC_GroupBox, &opt,
                                                                             QStyle::SC_GroupBoxLabel, frame)));
    }
    QPushButton* command = form->Command1();
    captions.emplace_back("Nuevo Juego", inWindow(command, command->rect().adjusted(4, 4, -4, -4)));
    QMenuBar* bar = form->menuBar();
    captions.emplace_back("Ayuda", inWindow(bar, bar->actionGeometry(bar->actions().first())));

    for (const auto& [name, area] : captions) {
        const double ratio = captionContrast(image, area);
        std::printf("%s %s: %.1f:1\n", GetParam().name, name.c_str(), ratio);
        EXPECT_GE(ratio, kTextContrast) << name;
    }
    // The check box has no caption; its box must still stand out (3:1 for
    // parts of controls).
    const double box = captionContrast(image, inWindow(form->Check1(), form->Check1()->rect()));
    EXPECT_GE(box, 3.0);
    // The board stays black and the panel light.
    EXPECT_EQ(image.pixel(inWindow(form->Image1(0), QRect(1, 1, 1, 1)).topLeft()) & 0xFFFFFFu, 0u);
    EXPECT_GT(luminance(image.pixel(inWindow(form->Label(5), QRect(2, 2, 1, 1)).topLeft())), 0.6);
}

TEST_P(SchemeTest, TheToneWarningIsLegible)
{
    double ratio = 0.0;
    QTimer::singleShot(0, form.get(), [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        EXPECT_NE(label, nullptr); // and the box is closed all the same
        if (label != nullptr)
            ratio = captionContrast(box->grab().toImage(), QRect(label->mapTo(box, QPoint(0, 0)), label->size()));
        box->close();
    });
    showToneWarning(form.get(), "No puedo ejecutar el fichero .WAV!");
    std::printf("%s warning: %.1f:1\n", GetParam().name, ratio);
    EXPECT_GE(ratio, kTextContrast);
}

INSTANTIATE_TEST_SUITE_P(Schemes, SchemeTest,
                         ::testing::Values(Scheme{"Dark", darkPalette}, Scheme{"HighContrast", highContrastPalette},
                                           Scheme{"Default", [] { return QApplication::palette(); }}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tolvex::uitest
