#include "platform/desktopservices.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZQOrvane"));
    desktopservices::install();
    return 0;
}
