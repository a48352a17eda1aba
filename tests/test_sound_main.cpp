// QAudioSink needs an application object; the tests make their own event
// loop turns with QTest::qWait.
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
