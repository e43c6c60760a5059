#include "classfile.h"

#include "columns.h"
#include "gridtable.h"

namespace testsupport {

kantoor::PublishedOrder classOrder(const QString& keys, int editvolgorde, int editnietgestart)
{
    kantoor::PublishedOrder order;
    order.owner = QStringLiteral("Ruitersport Oost");
    order.wnr = QStringLiteral("12");
    order.rid = QStringLiteral("7");
    order.titel = QStringLiteral("Springen klasse M");
    order.datum = QStringLiteral("maandag 7 december 2026");
    order.begintijd = QStringLiteral("10:30");
    order.editvolgorde = QString::number(editvolgorde);
    order.editnietgestart = QString::number(editnietgestart);
    order.header
        = QStringList { "key", "Volg", "Nr", "Ruiter", "Paard", "Vereniging", "Cat", "Hoogte", "Tijd", "Status", "NG" };
    int place = 0;
    for (const QString& key : keys.split(u' ', Qt::SkipEmptyParts)) {
        QStringList line(column::Count);
        line[column::Key] = key;
        if (isPauseKey(key)) {
            line[column::Rider] = QStringLiteral("Pauze");
        } else {
            line[column::Number] = QString::number(100 + ++place);
            line[column::Rider] = QStringLiteral("Ruiter ") + key;
            line[column::Horse] = QStringLiteral("Paard ") + key;
            line[column::Club] = QStringLiteral("Ver");
        }
        order.lines.push_back(line);
    }
    kantoor::numberPositions(order);
    return order;
}

QByteArray classBytes(const QString& keys, int editvolgorde, int editnietgestart)
{
    return kantoor::runningOrderBytes(classOrder(keys, editvolgorde, editnietgestart));
}

bool setCell(kantoor::PublishedOrder& order, const QString& key, int column, const QString& text)
{
    bool found = false;
    for (QStringList& line : order.lines) {
        if (line.value(column::Key) == key) {
            line[column] = text;
            found = true;
        }
    }
    return found;
}

QString keysOf(const GridTable& grid)
{
    QStringList keys;
    for (int r = 1; r < grid.rows(); ++r)
        keys << grid.textMatrix(r, column::Key);
    return keys.join(u' ');
}

QString marksOf(const GridTable& grid)
{
    QStringList marks;
    for (int r = 1; r < grid.rows(); ++r) {
        const QString mark = grid.textMatrix(r, column::Mark);
        marks << (mark.isEmpty() ? QStringLiteral("-") : mark);
    }
    return marks.join(u' ');
}

} // namespace testsupport
