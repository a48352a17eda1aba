// The windows' tests need one QApplication; no display is needed, and on
// X11 (QT_QPA_PLATFORM=xcb) they get a private one.
#include "application.h"
#include "audio_server.h"
#include "x_session.h"

#include <QApplication>

#include <cstdio>
#include <optional>

#include <gtest/gtest.h>

namespace {
QtMessageHandler defaultHandler = nullptr;

// The offscreen platform says this of every fixed-size window.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("propagateSizeHints"))) return;
    defaultHandler(type, context, message);
}
} // namespace

int main(int argc, char* argv[])
{
    tolvex::testing::useRecordedAudioServer();
    defaultHandler = qInstallMessageHandler(quietHandler);
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    std::optional<tolvex::x11::XvfbServer> xvfb;
    if (qgetenv("QT_QPA_PLATFORM") == "xcb") {
        if (xvfb.emplace().name().empty()) {
            std::fprintf(stderr, "Xvfb did not start\n");
            return 1;
        }
        qputenv("DISPLAY", xvfb->name().c_str());
    }
    const std::unique_ptr<QApplication> app = tolvex::makeApplication(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
