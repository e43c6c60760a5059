#include "livestand.h"

#include "columns.h"
#include "gridtable.h"
#include "ringpointer.h"
#include "stationstatus.h"

namespace {

void appendStarterFields(QByteArray& out, const BoardStarter& starter)
{
    out += "\"nummer\":";
    appendJsonString(out, starter.number);
    out += ",\"ruiter\":";
    appendJsonString(out, starter.rider);
    out += ",\"paard\":";
    appendJsonString(out, starter.horse);
    out += ",\"tijd\":";
    appendJsonString(out, starter.time);
}

void appendBool(QByteArray& out, const char* name, bool value)
{
    out += ",\"";
    out += name;
    out += value ? "\":true" : "\":false";
}

QStringView cell(const GridTable& grid, int row, int col)
{
    return grid.textView(row, col).trimmed();
}

} // namespace

void appendJsonString(QByteArray& out, QStringView text)
{
    static const char hex[] = "0123456789abcdef";
    out += '"';
    const QByteArray utf8 = text.toUtf8();
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '<':
        case '>':
        case '&':
            out += "\\u00";
            out += hex[u >> 4];
            out += hex[u & 0xf];
            break;
        default:
            if (u < 0x20) {
                out += "\\u00";
                out += hex[u >> 4];
                out += hex[u & 0xf];
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

QByteArray liveStandJson(
    const BoardContent& board, const GridTable& grid, int ringRow, const LiveStandHeader& header, quint64 version)
{
    QByteArray out;
    const int first = grid.fixedRows();
    const int rows = board.shown ? grid.rows() : first;
    out.reserve(512 + (rows - first) * 96);

    out += "{\"versie\":";
    out += QByteArray::number(version);
    out += ",\"titel\":";
    appendJsonString(out, board.titel);
    out += ",\"datum\":";
    appendJsonString(out, header.datum);
    out += ",\"begintijd\":";
    appendJsonString(out, header.begintijd);
    appendBool(out, "getoond", board.shown);
    appendBool(out, "verouderd", board.stale);
    out += ",\"sinds\":";
    appendJsonString(out, board.stale ? clockTime(board.since) : QString());

    out += ",\"top\":[";
    for (size_t i = 0; i < board.top.size(); ++i) {
        if (i)
            out += ',';
        if (!board.top[i]) {
            out += "null";
            continue;
        }
        out += '{';
        appendStarterFields(out, *board.top[i]);
        out += '}';
    }
    out += ']';

    // The whole order, in the ring's order. A starter's place counts the starters only, pause lines left out,
    // as the official counts them at the gate.
    int gereden = 0;
    int starters = 0;
    int place = 0;
    out += ",\"volgorde\":[";
    bool firstLine = true;
    for (int r = first; r < rows; ++r) {
        const QStringView key = grid.textView(r, column::Key);
        if (key.isEmpty())
            continue; // an empty line is nobody
        if (!firstLine)
            out += ',';
        firstLine = false;
        out += '{';
        if (isPauseKey(key)) {
            out += "\"soort\":\"pauze\",\"tekst\":";
            appendJsonString(out, pauseBand(grid.textMatrix(r, column::Rider)));
            out += ",\"tijd\":";
            appendJsonString(out, cell(grid, r, column::Time));
            out += '}';
            continue;
        }
        const bool rides = RingPointer::rides(grid, r);
        ++place;
        out += rides ? "\"soort\":\"starter\"" : "\"soort\":\"ng\"";
        out += ",\"positie\":";
        out += QByteArray::number(place);
        out += ',';
        appendStarterFields(out,
            { cell(grid, r, column::Number).toString(), cell(grid, r, column::Rider).toString(),
                cell(grid, r, column::Horse).toString(), cell(grid, r, column::Time).toString() });
        if (r == ringRow)
            out += ",\"inring\":true";
        if (rides) {
            ++starters;
            if (ringRow >= 0 && r < ringRow) {
                ++gereden;
                out += ",\"gereden\":true";
            }
        }
        out += '}';
    }
    out += ']';
    out += ",\"gereden\":";
    out += QByteArray::number(gereden);
    out += ",\"starters\":";
    out += QByteArray::number(starters);
    out += "}\n";
    return out;
}
