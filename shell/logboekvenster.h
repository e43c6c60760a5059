#pragma once

#include "daylogreader.h"

#include <QDate>
#include <QWidget>
#include <optional>

class DayLog;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;

// Bestand > Logboek openen: the station's day log in a window of its own, so no viewer of the system is
// needed. It shows today's log read-only, the newest line at the bottom, and follows the lines the station
// adds (once a second) while the official has not scrolled up to read an earlier one; the earlier days' logs
// are to be chosen above it. A search field finds a text (Enter: the next, Shift+Enter: the one before),
// and Kopiëren puts the selected lines, or with nothing selected the whole day, on the clipboard.
class LogboekVenster : public QWidget
{
    Q_OBJECT

public:
    // How often the window looks for new lines, in ms.
    static constexpr int followInterval = 1000;

    LogboekVenster(const DayLog& log, QWidget* parent = nullptr);

    // Shows today's log (what the window shows when it opens).
    void showToday();
    // The day shown.
    QDate day() const { return m_day; }
    // Reads the lines added since the last look (the timer's tick; tests call it directly).
    void follow();
    // Finds the search field's text from the cursor on (backward: before it); false when it is not there.
    bool find(bool backward = false);
    // Kopiëren: the selection, or the whole day.
    void copy();

    QPlainTextEdit* view() const { return m_view; }
    QLineEdit* searchField() const { return m_search; }
    QComboBox* daysBox() const { return m_days; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void fillDays();
    void showDay(const QDate& day);
    void dayChosen(int index);
    static QString dayText(const QDate& day, const QDate& today);

    const DayLog& m_log;
    QComboBox* m_days = nullptr;
    QLineEdit* m_search = nullptr;
    QPushButton* m_copy = nullptr;
    QLabel* m_notFound = nullptr;
    QPlainTextEdit* m_view = nullptr;
    QTimer* m_timer = nullptr;
    QDate m_day;
    // Today's log is shown: after midnight, the next day's is.
    bool m_followsToday = false;
    std::optional<DayLogReader> m_reader;
};
