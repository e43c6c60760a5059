#pragma once

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringView>
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

    explicit ChangeMarks(const Station& station, QObject* parent = nullptr);

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
    // The marks of one read of the office's list, all ending at the same time: for each marked starter (by a
    // hash of its line key) the columns marked, one bit each, and the whole row in wholeRow. A starter's key is
    // kept as a hash so that marks on a list of 32 767 lines cost a few bytes a line, and a look-up while
    // painting costs no copy of the key.
    struct Batch
    {
        QDateTime until;
        QHash<size_t, quint16> columns;
    };
    static constexpr quint16 wholeRow = 0x8000;

    void listRebuilt();
    void listReplaced();
    void listMerged();
    void sendWritten();
    void expire();
    void scheduleExpiry();
    void addBatch(Batch batch);
    quint16 markedColumns(int row) const;
    QSet<size_t> officeKeys() const;
    static size_t keyHash(QStringView key);

    const Station& m_station;
    QTimer* m_expiry = nullptr;
    // Oldest first; a new read adds one, and each goes whole when its minute is over.
    std::vector<Batch> m_batches;
    // The starters of the office's last list, to tell the ones a new list adds.
    QSet<size_t> m_officeKeys;
    // The ring's list as last sent, row by row (its key's hash and whether it was marked not started), until
    // the office's next list takes its place.
    std::vector<size_t> m_sentKeys;
    std::vector<bool> m_sentMarks;
    bool m_sent = false;
};
