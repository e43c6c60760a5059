#pragma once

#include <QString>
#include <QtGlobal>

class GridTable;

// Type-ahead on the starters' back numbers (Nr): digits typed within a second of each other form one number,
// and the starter it names is found, as a list box finds an item by its first letters. The starter whose
// number is exactly the digits typed comes first; else the first, top down, whose number begins with them (so
// the list already moves while the official types). The times are the key events' own, so the rule is tried
// without waiting.
class TypeAhead
{
public:
    // Milliseconds after the last digit within which the next one still adds to the number.
    static constexpr qint64 pause = 1000;

    // A digit typed at `timestamp` (ms): the row of the starter the digits typed so far name, or -1 (no
    // such starter, or no digit). A digit after the pause begins a new number.
    int type(QChar digit, qint64 timestamp, const GridTable& grid);
    // The number typed so far.
    QString typed() const { return m_typed; }
    void clear() { m_typed.clear(); }

    // The row of the starter a number names, as `type` finds it; -1 when none does.
    static int find(const GridTable& grid, const QString& number);

private:
    QString m_typed;
    qint64 m_last = 0;
};
