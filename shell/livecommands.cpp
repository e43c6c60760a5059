#include "livecommands.h"

#include "liveaddresses.h"
#include "livepage.h"
#include "liveqrdialog.h"
#include "livesettings.h"
#include "settingsstore.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

LiveCommands::LiveCommands(Station& station, QMenu& menu, QWidget& window)
    : QObject(&window)
    , m_window(window)
{
    m_page = new LivePage(station, this);
    m_toggle = menu.addAction(QStringLiteral("&Live pagina op het netwerk"));
    m_toggle->setObjectName(QStringLiteral("mnuLivePagina"));
    m_toggle->setCheckable(true);
    m_qr = menu.addAction(QStringLiteral("&QR-code van de live pagina…"));
    m_qr->setObjectName(QStringLiteral("mnuLiveQr"));
    connect(m_toggle, &QAction::triggered, this, [this](bool on) {
        setOn(on);
        saveLiveOn(on, *SettingsStore::forUser());
        if (on && !url().isEmpty())
            showQrDialog();
    });
    connect(m_qr, &QAction::triggered, this, &LiveCommands::showQrDialog);
    connect(m_page, &LivePage::changed, this, [this] {
        updateActions();
        if (m_dialog)
            m_dialog->setPage(url(), liveaddress::machineAddresses(), problem());
        emit changed();
    });
    if (readLiveSettings(*SettingsStore::forUser()).on)
        setOn(true);
    updateActions();
}

LiveCommands::~LiveCommands() = default;

QString LiveCommands::url() const
{
    return m_page->url();
}

QString LiveCommands::problem() const
{
    return m_page->problem();
}

void LiveCommands::setOn(bool on)
{
    if (on)
        m_page->start(readLiveSettings(*SettingsStore::forUser()));
    else
        m_page->stop();
    updateActions();
}

void LiveCommands::updateActions()
{
    m_toggle->setChecked(m_page->isOn());
    m_qr->setEnabled(m_page->isOn());
}

void LiveCommands::showQrDialog()
{
    if (!m_page->isOn())
        return;
    if (!m_dialog) {
        m_dialog = new LiveQrDialog(&m_window);
        m_dialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_dialog, &LiveQrDialog::addressChosen, this, &LiveCommands::chooseAddress);
    }
    m_dialog->setPage(url(), liveaddress::machineAddresses(), problem());
    m_dialog->show();
    m_dialog->raise();
}

void LiveCommands::chooseAddress(const QString& address)
{
    saveLiveAddress(address, *SettingsStore::forUser());
    if (m_page->isOn())
        m_page->start(readLiveSettings(*SettingsStore::forUser()));
}
