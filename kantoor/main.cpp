#include "clock.h"
#include "kantoorcommand.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kantoor"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    const platform::SystemClock clock;
    return kantoor::runKantoor(QCoreApplication::arguments(), out, err, clock);
}
