#include "editcommands.h"

#include "appstate.h"
#include "columns.h"
#include "daylogtexts.h"
#include "gridtable.h"
#include "knoppen.h"

EditCommands::EditCommands(GridTable& working, const AppState& state)
    : m_working(working)
    , m_state(state)
{
}

void EditCommands::begin()
{
    // A step left open (a command that changed nothing) is closed first.
    if (m_history.isOpen())
        m_history.end(m_working, QString());
    m_history.begin(m_working);
}

EditCommands::Edit EditCommands::end(const QString& logged)
{
    // Nothing changed: a move at the end of the list, NG on a pause line.
    if (!m_history.end(m_working, logged))
        return Edit();
    return Edit { true, logged, *m_history.nextUndo() };
}

bool EditCommands::mayReplay(const EditHistory::Step* step) const
{
    return step && (!step->movesLines() || knoppen::mayReorder(m_state))
        && (!step->marks() || knoppen::mayMarkNotStarted(m_state));
}

int EditCommands::moveOnce(regels::Richting richting)
{
    const int from = m_working.row();
    const int row = regels::verplaatsregel(m_working, richting);
    m_history.exchanged(from, row);
    return row;
}

int EditCommands::press(regels::Richting richting)
{
    begin();
    const int from = m_working.row();
    const QString starter = riderAt(from);
    const int row = moveOnce(richting);
    m_heldMove.pressed(richting, from, starter);
    return row;
}

int EditCommands::step(regels::Richting richting)
{
    const int row = moveOnce(richting);
    m_heldMove.stepped();
    return row;
}

EditCommands::Edit EditCommands::endRun()
{
    const bool wasHeld = m_heldMove.held().has_value();
    m_heldMove.stop();
    if (!wasHeld || !m_history.isOpen())
        return Edit();
    return end(daylogtext::moved(m_heldMove.starter(), positionAt(m_heldMove.fromRow()), positionAt(m_working.row())));
}

EditCommands::Edit EditCommands::dragTo(int from, int to)
{
    begin();
    // The dragged line is the current one, as the press that picked it up made it.
    if (m_working.row() != from)
        m_working.setRow(from);
    const QString starter = riderAt(from);
    const std::vector<std::pair<int, int>> exchanges = regels::verplaatsNaar(m_working, to);
    for (const auto& [a, b] : exchanges)
        m_history.exchanged(a, b);
    return end(exchanges.empty() ? QString() : daylogtext::moved(starter, positionAt(from), positionAt(m_working.row())));
}

EditCommands::Edit EditCommands::swap()
{
    begin();
    const std::optional<std::pair<int, int>> rows = regels::wisselrijen(m_working);
    if (!rows)
        return end(QString());
    m_history.exchanged(rows->first, rows->second);
    // The two starters now stand on each other's places.
    return end(daylogtext::swapped(daylogtext::starter(m_working, rows->second),
        m_working.textMatrix(rows->second, column::Position), daylogtext::starter(m_working, rows->first),
        m_working.textMatrix(rows->first, column::Position)));
}

EditCommands::Edit EditCommands::toggleNotStarted()
{
    begin();
    const std::optional<std::vector<int>> toggled = knoppen::wisselnietgestart(m_working, m_state);
    if (!toggled)
        return end(QString());
    m_history.toggled(*toggled);
    QStringList marked;
    QStringList unmarked;
    for (int row : *toggled)
        (m_working.textView(row, column::Mark) == notStartedMark ? marked : unmarked)
            << daylogtext::starter(m_working, row);
    return end(daylogtext::notStarted(marked, unmarked));
}

EditCommands::Edit EditCommands::undo()
{
    const std::optional<EditHistory::Step> undone = m_history.undo(m_working);
    // An undone move puts riders back where they were: no new crowding of the ring's.
    return undone ? Edit { true, daylogtext::undone(undone->what), std::nullopt } : Edit();
}

EditCommands::Edit EditCommands::redo()
{
    const std::optional<EditHistory::Step> redone = m_history.redo(m_working);
    return redone ? Edit { true, daylogtext::redone(redone->what), redone } : Edit();
}

std::pair<EditCommands::Edit, Reapplication> EditCommands::putBack(
    const RingWork& work, const std::function<QString(const Reapplication&)>& describe)
{
    begin();
    Reapplication back = reapply(m_working, work, knoppen::mayReorder(m_state), knoppen::mayMarkNotStarted(m_state));
    for (const auto& [a, b] : back.step.exchanges)
        m_history.exchanged(a, b);
    m_history.toggled(back.step.toggledMarks);
    const QString what = describe(back);
    Edit edit = end(what);
    // A put-back that changed nothing still has its line, for the official who asked for it.
    edit.logged = what;
    return { edit, back };
}

QString EditCommands::riderAt(int row) const
{
    if (row < 1 || row >= m_working.rows())
        return QString();
    const QString number = m_working.textMatrix(row, column::Number).trimmed();
    const QString rider = m_working.textMatrix(row, column::Rider).trimmed();
    const QString text = number.isEmpty() ? rider : number + u' ' + rider;
    return text.isEmpty() ? m_working.textMatrix(row, column::Key) : text;
}

QString EditCommands::positionAt(int row) const
{
    return m_working.textMatrix(row, column::Position).trimmed();
}
