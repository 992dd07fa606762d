// Runs every test inside one application object on Qt's offscreen platform.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    char platformOption[] = "-platform";
    char platformName[] = "offscreen";
    char* qtArgv[] = { argv[0], platformOption, platformName, nullptr };
    int qtArgc = 3;
    QApplication app(qtArgc, qtArgv);
    return RUN_ALL_TESTS();
}
