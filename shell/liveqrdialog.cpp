#include "liveqrdialog.h"

#include "qrcode.h"
#include "qrpainter.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QUrl>
#include <QVBoxLayout>

LiveQrDialog::LiveQrDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("liveQrDialog"));
    setWindowTitle(QStringLiteral("Live pagina"));
    m_code = new QLabel(this);
    m_code->setObjectName(QStringLiteral("liveQrCode"));
    m_code->setAlignment(Qt::AlignCenter);
    auto* explanation = new QLabel(
        QStringLiteral("Scan de code met de camera van een telefoon,\nof typ het adres in een browser:"), this);
    m_address = new QLabel(this);
    m_address->setObjectName(QStringLiteral("liveAdres"));
    m_address->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QFont big = m_address->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    m_address->setFont(big);
    m_problem = new QLabel(this);
    m_problem->setWordWrap(true);
    auto* choose = new QLabel(QStringLiteral("&Adres van deze computer:"), this);
    m_addresses = new QComboBox(this);
    m_addresses->setObjectName(QStringLiteral("liveAdressen"));
    choose->setBuddy(m_addresses);
    auto* readOnly = new QLabel(
        QStringLiteral("De pagina toont alleen de startvolgorde; niemand kan er iets mee veranderen."), this);
    readOnly->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Sluiten"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_addresses, &QComboBox::activated, this,
        [this](int index) { emit addressChosen(m_addresses->itemData(index).toString()); });

    auto* side = new QVBoxLayout;
    side->addWidget(explanation);
    side->addWidget(m_address);
    side->addWidget(m_problem);
    side->addSpacing(12);
    side->addWidget(choose);
    side->addWidget(m_addresses);
    side->addStretch();
    side->addWidget(readOnly);
    auto* row = new QHBoxLayout;
    row->addWidget(m_code);
    row->addLayout(side, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

void LiveQrDialog::setPage(const QString& url, const QList<QHostAddress>& addresses, const QString& problem)
{
    m_url = url;
    const QrCode code = QrCode::encode(url.toUtf8());
    if (code.isEmpty()) {
        m_code->setPixmap(QPixmap());
        m_code->setText(QStringLiteral("Geen code: de pagina is niet op het netwerk"));
    } else {
        m_code->setPixmap(QPixmap::fromImage(qrpainter::picture(code, std::max(4, 320 / (code.size + 8)))));
    }
    m_address->setText(url.isEmpty() ? QStringLiteral("–") : url);
    m_problem->setText(problem);
    m_problem->setVisible(!problem.isEmpty());

    const QSignalBlocker blocker(m_addresses);
    m_addresses->clear();
    const QString host = QUrl(url).host();
    for (const QHostAddress& address : addresses) {
        const QString text = address.toString();
        m_addresses->addItem(address.isLoopback() ? text + QStringLiteral(" (alleen deze computer)") : text, text);
        if (QHostAddress(host) == address)
            m_addresses->setCurrentIndex(m_addresses->count() - 1);
    }
}

QString LiveQrDialog::shownUrl() const
{
    return m_url;
}
