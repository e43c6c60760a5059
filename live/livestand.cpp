#include "livestand.h"

#include "columns.h"
#include "gridtable.h"
#include "ringpointer.h"
#include "stationstatus.h"

#include <QHash>
#include <type_traits>

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

// The ring's pace, where the board's content carries it: a starter's expected time ("verwacht") and the
// class's progress in words ("voortgangtekst"). Written when the content has them, so the page shows them as
// soon as the board does.
template <typename Starter>
void appendExpected(QByteArray& out, const Starter& starter)
{
    if constexpr (requires { starter.expected.isEmpty(); }) {
        if (!starter.expected.isEmpty()) {
            out += ",\"verwacht\":";
            appendJsonString(out, starter.expected);
        }
    }
}

template <typename Content>
void appendProgress(QByteArray& out, const Content& content)
{
    if constexpr (requires { progressText(content.progress); }) {
        out += ",\"voortgangtekst\":";
        appendJsonString(out, progressText(content.progress));
    }
}

template <typename Content>
QHash<QString, const BoardStarter*> expectedByNumber(const Content& content)
{
    QHash<QString, const BoardStarter*> found;
    if constexpr (requires { content.top[0]->expected; }) {
        // Through the content's own (dependent) types, so this compiles to nothing where they have no pace.
        for (const auto& starter : content.top) {
            if (starter && !starter->expected.isEmpty())
                found.insert(starter->number, &*starter);
        }
        for (const auto& line : content.following) {
            if (line.kind == std::decay_t<decltype(line)>::Kind::Starter && !line.starter.expected.isEmpty())
                found.insert(line.starter.number, &line.starter);
        }
    }
    return found;
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
        appendExpected(out, *board.top[i]);
        out += '}';
    }
    out += ']';

    // The whole order, in the ring's order. A starter's place counts the starters only, pause lines left out,
    // as the official counts them at the gate.
    const QHash<QString, const BoardStarter*> expected = expectedByNumber(board);
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
        const QString number = cell(grid, r, column::Number).toString();
        appendStarterFields(out,
            { number, cell(grid, r, column::Rider).toString(), cell(grid, r, column::Horse).toString(),
                cell(grid, r, column::Time).toString() });
        if (rides && !expected.isEmpty()) {
            if (const BoardStarter* known = expected.value(number))
                appendExpected(out, *known);
        }
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
    appendProgress(out, board);
    out += "}\n";
    return out;
}
