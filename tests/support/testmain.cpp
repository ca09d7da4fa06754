// Shared main of every test program: an isolated environment per process and
// an application object on the offscreen platform.
#include "testenvironment.h"

#include "headlessapplication.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    quirex::test::isolateEnvironment();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
