#include "livestand.h"

#include "columns.h"
#include "gridtable.h"
#include "ringpointer.h"
#include "stationstatus.h"

#include <QHash>
#include <algorithm>
#include <cstdio>
#include <type_traits>

namespace {

void appendStarterFields(QByteArray& out, QStringView number, QStringView rider, QStringView horse, QStringView time)
{
    out += "\"nummer\":";
    appendJsonString(out, number);
    out += ",\"ruiter\":";
    appendJsonString(out, rider);
    out += ",\"paard\":";
    appendJsonString(out, horse);
    out += ",\"tijd\":";
    appendJsonString(out, time);
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
template <typename Starter> void appendExpected(QByteArray& out, const Starter& starter)
{
    if constexpr (requires { starter.expected.isEmpty(); }) {
        if (!starter.expected.isEmpty()) {
            out += ",\"verwacht\":";
            appendJsonString(out, starter.expected);
        }
    }
}

template <typename Content> void appendProgress(QByteArray& out, const Content& content)
{
    if constexpr (requires { progressText(content.progress); }) {
        out += ",\"voortgangtekst\":";
        appendJsonString(out, progressText(content.progress));
    }
}

template <typename Content> QHash<QString, const BoardStarter*> expectedByNumber(const Content& content)
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

void appendNumber(QByteArray& out, int value)
{
    char digits[16];
    const int n = std::snprintf(digits, sizeof digits, "%d", value);
    out.append(digits, n);
}

QStringView cell(const GridTable& grid, int row, int col)
{
    return grid.textView(row, col).trimmed();
}

} // namespace

void appendJsonString(QByteArray& out, QStringView text)
{
    static const char hex[] = "0123456789abcdef";
    // Written straight into the buffer: at most six bytes a UTF-16 unit (\u00XX), two quotes.
    const qsizetype start = out.size();
    const qsizetype most = start + 6 * text.size() + 2;
    if (out.capacity() < most)
        out.reserve(std::max(most, 2 * out.capacity())); // doubled: a whole list costs a few reallocations
    out.resize(most);
    char* p = out.data() + start;
    *p++ = '"';
    const char16_t* c = text.utf16();
    const char16_t* end = c + text.size();
    for (; c < end; ++c) {
        const char16_t u = *c;
        if (u < 0x80) {
            switch (u) {
            case '"':
                *p++ = '\\';
                *p++ = '"';
                continue;
            case '\\':
                *p++ = '\\';
                *p++ = '\\';
                continue;
            case '<':
            case '>':
            case '&':
                break; // escaped below, as control characters are
            default:
                if (u >= 0x20 && u != 0x7f) {
                    *p++ = char(u);
                    continue;
                }
            }
            *p++ = '\\';
            *p++ = 'u';
            *p++ = '0';
            *p++ = '0';
            *p++ = hex[u >> 4];
            *p++ = hex[u & 0xf];
        } else if (u < 0x800) {
            *p++ = char(0xc0 | (u >> 6));
            *p++ = char(0x80 | (u & 0x3f));
        } else if (QChar::isHighSurrogate(u) && c + 1 < end && QChar::isLowSurrogate(c[1])) {
            const char32_t code = QChar::surrogateToUcs4(u, c[1]);
            ++c;
            *p++ = char(0xf0 | (code >> 18));
            *p++ = char(0x80 | ((code >> 12) & 0x3f));
            *p++ = char(0x80 | ((code >> 6) & 0x3f));
            *p++ = char(0x80 | (code & 0x3f));
        } else if (QChar::isSurrogate(u)) {
            // Half a pair is no character: the replacement character stands in for it.
            *p++ = char(0xef);
            *p++ = char(0xbf);
            *p++ = char(0xbd);
        } else {
            *p++ = char(0xe0 | (u >> 12));
            *p++ = char(0x80 | ((u >> 6) & 0x3f));
            *p++ = char(0x80 | (u & 0x3f));
        }
    }
    *p++ = '"';
    out.truncate(p - out.constData());
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
        const BoardStarter& starter = *board.top[i];
        appendStarterFields(out, starter.number, starter.rider, starter.horse, starter.time);
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
        appendNumber(out, place);
        out += ',';
        const QStringView number = cell(grid, r, column::Number);
        appendStarterFields(
            out, number, cell(grid, r, column::Rider), cell(grid, r, column::Horse), cell(grid, r, column::Time));
        if (rides && !expected.isEmpty()) {
            if (const BoardStarter* known = expected.value(number.toString()))
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
