// The windows' tests need one QApplication; no display is needed.
#include "application.h"
#include "audio_server.h"

#include <QApplication>

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
    const std::unique_ptr<QApplication> app = tolvex::makeApplication(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
