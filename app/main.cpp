// Placeholder until the application shell lands.
#include "app/MainSettingsDlg.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    td::MainSettingsDlg w;
    return 0;
}
