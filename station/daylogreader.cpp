#include "daylogreader.h"

#include <QFile>

DayLogReader::DayLogReader(QString path)
    : m_path(std::move(path))
{
}

DayLogReader::Update DayLogReader::readNew()
{
    Update update;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        // Gone (another day's file was chosen, or it was removed): whatever is shown is no longer there.
        if (m_offset > 0 || !m_partial.isEmpty()) {
            update.restarted = true;
            m_offset = 0;
            m_partial.clear();
        }
        return update;
    }
    const qint64 size = file.size();
    if (size < m_offset) {
        update.restarted = true;
        m_offset = 0;
        m_partial.clear();
    }
    qint64 from = m_offset;
    if (size - from > maxBytes) {
        // Only the end of it; the first line there may be cut, so it starts after the first line end.
        from = size - maxBytes;
        update.truncated = true;
        update.restarted = m_offset > 0;
        m_partial.clear();
    }
    if (!file.seek(from))
        return update;
    QByteArray bytes = file.read(size - from);
    m_offset = from + bytes.size();
    if (update.truncated) {
        const qsizetype firstEnd = bytes.indexOf('\n');
        bytes = firstEnd < 0 ? QByteArray() : bytes.mid(firstEnd + 1);
    }
    bytes.prepend(m_partial);
    m_partial.clear();
    const qsizetype lastEnd = bytes.lastIndexOf('\n');
    if (lastEnd < 0) {
        // A "line" without end that outgrows any day's log is no line of it: it is dropped, not kept growing.
        if (bytes.size() <= maxBytes)
            m_partial = bytes;
        return update;
    }
    m_partial = bytes.mid(lastEnd + 1);
    bytes.truncate(lastEnd);
    for (QByteArray line : bytes.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        update.lines << QString::fromUtf8(line);
    }
    return update;
}
