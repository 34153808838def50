#include <QApplication>

#include <gtest/gtest.h>

#include "files/PictureLimits.h"

// Tests run against real Qt widgets on the offscreen platform unless told otherwise.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    allowPicturesUpToOpenLimit(); // as the program does at start
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
