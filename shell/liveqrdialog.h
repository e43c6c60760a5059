#pragma once

#include <QDialog>
#include <QHostAddress>
#include <QList>

class QComboBox;
class QLabel;

// The live page's QR code, large, with the page's address written beside it and the machine's addresses to
// choose from: the official shows it to a rider, or reads the address out to the commentator. Choosing another
// address moves the page there (the code changes with it).
class LiveQrDialog : public QDialog
{
    Q_OBJECT

public:
    explicit LiveQrDialog(QWidget* parent = nullptr);

    // The page's address (empty: not on the network), the addresses to choose from, and what went wrong.
    void setPage(const QString& url, const QList<QHostAddress>& addresses, const QString& problem);
    QString shownUrl() const;

signals:
    void addressChosen(const QString& address);

private:
    QLabel* m_code = nullptr;
    QLabel* m_address = nullptr;
    QLabel* m_problem = nullptr;
    QComboBox* m_addresses = nullptr;
    QString m_url;
};
