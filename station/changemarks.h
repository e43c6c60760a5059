#pragma once

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <vector>

class QTimer;
class Station;

// What the views mark on the ring's list beside its texts, so the official sees it at a glance: the cells
// whose text the office changed in a list it merged in (a start time, a horse's name) and the starters the
// office added in a list that replaced the ring's, each for one minute by the station's clock; and the rows
// the ring moved or marked and has not sent yet. It watches the station's reads and sends and changes
// nothing of the lists, their texts or the mutation files. Marks follow the starter (its line key), so a
// starter moved after the office changed it keeps its mark. The views ask it while they paint; changed()
// tells them to paint again.
class ChangeMarks : public QObject
{
    Q_OBJECT

public:
    // How long the office's changes stay marked.
    static constexpr int markSeconds = 60;

    explicit ChangeMarks(Station& station, QObject* parent = nullptr);

    // The office changed the text of this cell of the ring's list, or added its row's starter, less than a
    // minute ago.
    bool officeChanged(int row, int col) const;
    // The office added this row's starter less than a minute ago.
    bool officeAdded(int row) const;
    // Whether any office change is marked now: a view that finds none paints no marks at all.
    bool hasOfficeChanges() const;
    // The ring moved this row's line or changed its not-started mark, and has not sent that: the row
    // differs from the office's list, and from the list as last sent when the ring sent since.
    bool unsent(int row) const;

signals:
    void changed();

private:
    void listRebuilt();
    void listReplaced();
    void listMerged();
    void sendWritten();
    void expire();
    void scheduleExpiry();
    void mark(const QString& key, int col, const QDateTime& until);
    QSet<QString> officeKeys() const;

    Station& m_station;
    QTimer* m_expiry = nullptr;
    // Until when each marked cell is marked, by line key and column; column -1 marks the whole row (an
    // added starter).
    QHash<QString, QHash<int, QDateTime>> m_marks;
    // The starters of the office's last list, to tell the ones a new list adds.
    QSet<QString> m_officeKeys;
    // The ring's list as last sent, row by row (key and not-started mark), until the office's next list
    // takes its place.
    std::vector<QString> m_sentKeys;
    std::vector<bool> m_sentMarks;
    bool m_sent = false;
};
