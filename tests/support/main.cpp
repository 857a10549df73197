#include "app/application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // The windows are real but drawn nowhere.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    orvasel::Application application(argc, argv);
    return RUN_ALL_TESTS();
}
