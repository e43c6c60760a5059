// The ring's edits on the main window: the arrow buttons with their repeat timer, the swap, the
// not-started marks, the send, and the button states that follow the file's permissions and the unsent
// changes. The rules themselves live in edits/; this file only dispatches to them, shows their
// messages and holds the busy pointer.
#include "frmbaldovenaar.h"

#include "flexgrid.h"
#include "holdbutton.h"
#include "knoppen.h"
#include "mutatiebestand.h"
#include "regels.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

FrmBaldovenaar::BusyPointer::BusyPointer()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

FrmBaldovenaar::BusyPointer::~BusyPointer()
{
    restore();
}

void FrmBaldovenaar::BusyPointer::restore()
{
    if (m_active)
        QGuiApplication::restoreOverrideCursor();
    m_active = false;
}

void FrmBaldovenaar::showMessage(const QString& text)
{
    if (m_options.showMessage) {
        m_options.showMessage(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Korvalen 3.5 Baldovenaar"), text, QMessageBox::Ok, this);
    box.exec();
}

void FrmBaldovenaar::runWismutaties()
{
    BusyPointer busy;
    ::wismutaties(m_state);
}

void FrmBaldovenaar::verplaatsregel(const QString& direction)
{
    regels::verplaatsregel(*m_grid1Table, direction);
    m_grid1->setFocus(Qt::OtherFocusReason);
}

void FrmBaldovenaar::btnVerplaatsregels_MouseDown(int index, int)
{
    if (m_state.editvolgorde != 1)
        return;
    const QString direction = QString::number(index);
    verplaatsregel(direction);
    m_verplaatsTag = direction;
    m_timerRegelsVerplaatsen->setInterval(regels::firstRepeatInterval);
    m_timerRegelsVerplaatsen->start();
}

void FrmBaldovenaar::stopVerplaatsen()
{
    if (m_timerRegelsVerplaatsen)
        m_timerRegelsVerplaatsen->stop();
    m_verplaatsTag.clear();
}

void FrmBaldovenaar::btnVerplaatsregels_MouseUp(int, int)
{
    // Every release ends the moves, also when the permission went while the button was held (a re-read
    // took it away): the line must never run on by itself.
    stopVerplaatsen();
    if (m_state.editvolgorde == 1)
        controleerwijzigingen();
}

void FrmBaldovenaar::TimerRegelsVerplaatsen_Timer()
{
    // Each tick checks again that a button is held and the file still allows moving lines.
    const bool buttonsUsable = m_btnVerplaatsregels[0]->isEnabled() && m_btnVerplaatsregels[1]->isEnabled();
    if (m_verplaatsTag.isEmpty() || m_state.editvolgorde != 1 || !buttonsUsable) {
        stopVerplaatsen();
        return;
    }
    verplaatsregel(m_verplaatsTag);
    m_timerRegelsVerplaatsen->setInterval(regels::nextRepeatInterval(m_timerRegelsVerplaatsen->interval()));
}

void FrmBaldovenaar::wisselrijen()
{
    if (m_state.editvolgorde != 1)
        return;
    const QString refusal = regels::controleerwissel(*m_grid1Table);
    if (!refusal.isEmpty()) {
        showMessage(refusal);
        return;
    }
    regels::wisselrijen(*m_grid1Table);
    controleerwijzigingen();
}

void FrmBaldovenaar::wisselnietgestart()
{
    if (knoppen::wisselnietgestart(*m_grid1Table, m_state))
        controleerwijzigingen();
}

void FrmBaldovenaar::verzendmutatie()
{
    // The busy pointer for the whole screen, during the writing and the pause after it (which blocks on
    // purpose: no tick and no click can enter a send); back to normal before any message.
    BusyPointer busy;
    const SendResult result = ::verzendmutatie(m_state, *m_grid1Table, *m_clock);
    busy.restore();
    if (const QString failure = verzendFoutmelding(result); !failure.isEmpty())
        showMessage(failure);
}

void FrmBaldovenaar::setEditButtonsEnabled(bool order, bool notStarted)
{
    m_btnVerplaatsregels[0]->setEnabled(order);
    m_btnVerplaatsregels[1]->setEnabled(order);
    m_btnKnop[knoppen::Wissel]->setEnabled(order);
    m_btnKnop[knoppen::NietGestart]->setEnabled(notStarted);
}

void FrmBaldovenaar::zetknoppen()
{
    const knoppen::EditButtons enabled = knoppen::zetknoppen(m_state);
    setEditButtonsEnabled(enabled.volgorde, enabled.nietGestart);
}

void FrmBaldovenaar::controleerwijzigingen()
{
    // In the empty view there is no list to report.
    const bool listShown = !m_grid1->isHidden();
    const knoppen::SendRule rule = m_sendRule.evaluate(*m_grid1Table, *m_grid2, m_state);
    m_btnKnop[knoppen::Verzenden]->setEnabled(listShown && rule.enabled);
}
