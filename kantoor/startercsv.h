#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>
#include <vector>

namespace kantoor {

// A starter list as a competition office keeps it in a spreadsheet, read from CSV text. Each line is one
// line of the running order in start sequence; its fields fill the table's columns 0 and 2 to 10
// (column 1, the running position, is numbered on publication):
//
//     key;nr;ruiter;paard;vereniging;cat;hoogte;tijd;status;ng
//
// Text is UTF-8 (with or without a byte-order mark) or, when it is not valid UTF-8, Windows-1252. Fields
// are separated by ';' or, in a file without any ';', by ','; a field in double quotes may hold the
// separator, and "" inside it stands for one quote. Fields are trimmed. A line with key "P" is a pause
// line (its text in the ruiter field). Blank lines are skipped; the first line, when it starts with "#",
// holds the column titles (same order, without the "#"); any later line starting with "#" is a comment.
struct StarterCsv
{
    // Fields per line: column 0 and columns 2 to 10 of the table.
    static constexpr int Fields = 10;

    QStringList header; // the 11 column titles, or empty when the text has no title line
    std::vector<QStringList> lines; // 11 cells each, column 1 empty
    QString error; // empty when the text was read; otherwise what is wrong, with its line number
};

// Text in the encoding described above.
QString decodeCsvText(QByteArrayView bytes);

// Reads a starter list. Refused (error set, lines empty): a line with more than 10 fields, an
// unterminated quote, an empty key, a key (other than "P") that occurs twice, more lines than the
// station can hold.
StarterCsv parseStarterCsv(QByteArrayView bytes);

// One line of the same format, split into its fields (no trimming); nothing when a quote is left open.
std::optional<QStringList> splitCsvLine(QStringView line, QChar separator);

// Turns the fields of one CSV line (key, nr, ruiter, ...) into the 11 cells of a table row.
QStringList cellsFromCsvFields(const QStringList& fields);

} // namespace kantoor
