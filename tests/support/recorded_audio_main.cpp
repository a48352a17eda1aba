// The main of the programs whose tests run on the recorded audio server and
// turn the event loop themselves (QTest::qWait, QProcess).
#include "audio_server.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    tolvex::testing::useRecordedAudioServer();
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
