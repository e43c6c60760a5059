#pragma once

#include <QString>
#include <vector>

class GridTable;

// The office's planned time of each place in the ring's list. A move takes a starter's time along with its
// name (only the running position stays with the place), so after moves the ring's own list holds the times
// out of order; the rider board shows, on each line, the time of the place instead, as the office planned it,
// until the office publishes a list with new times. It keeps the time and the position of every row of the
// office's list last read; a row whose position the office's list does not have in the same place (a list of
// another length, a place the office renumbered) keeps its own time.
class PlaceTimes
{
public:
    // The office's list just read (the rows the ring's list was made from, or merged from).
    void take(const GridTable& office);
    void clear();

    // The time of the place at `row` of the ring's list (trimmed).
    QString at(const GridTable& working, int row) const;

private:
    // Each row's time and position, side by side in one text: a list of 32 767 lines is taken without a string
    // of its own per cell.
    struct Row
    {
        qsizetype start = 0;
        qsizetype time = 0; // the time's length; the position follows it
        qsizetype position = 0;
    };
    QString m_text;
    std::vector<Row> m_rows;
};
