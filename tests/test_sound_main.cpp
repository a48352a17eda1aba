// The tests turn the event loop themselves (QTest::qWait) while they
// record, and run pactl through QProcess.
#include "audio_server.h"
#include "exit_now.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    tolvex::testing::useRecordedAudioServer();
    ::testing::InitGoogleTest(&argc, argv);
    int status = 0;
    {
        QCoreApplication app(argc, argv);
        status = RUN_ALL_TESTS();
    }
    tolvex::exitWithoutAudioTeardown(status);
}
