#include "stationfixture.h"

#include <QTest>

class TestStation : public QObject
{
    Q_OBJECT
};

QTEST_GUILESS_MAIN(TestStation)
#include "tst_station.moc"
