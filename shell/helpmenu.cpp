#include "helpmenu.h"

#include "handleiding.h"
#include "handleidingvenster.h"
#include "menuaction.h"

#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <utility>

HelpMenu::HelpMenu(
    QMenuBar& bar, QWidget& window, std::function<void(const QString&)> tell, std::function<void(const QString&)> about)
    : QObject(&window)
    , m_window(window)
    , m_tell(std::move(tell))
    , m_about(std::move(about))
{
    QMenu* help = bar.addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    QAction* handleiding = addMenuAction(
        help, QStringLiteral("mnuHandleiding"), QStringLiteral("&Handleiding"), { QKeySequence(Qt::Key_F1) });
    QAction* over = addMenuAction(help, QStringLiteral("mnuOverBaldovenaar"), QStringLiteral("&Over Baldovenaar"), {});
    connect(handleiding, &QAction::triggered, this, &HelpMenu::openHandleiding);
    connect(over, &QAction::triggered, this, &HelpMenu::overBaldovenaar);
}

void HelpMenu::openHandleiding()
{
    const QStringList candidates = handleiding::candidates();
    for (const QString& candidate : candidates) {
        if (!QFileInfo(candidate).isFile())
            continue;
        const QString path = QFileInfo(candidate).canonicalFilePath();
        if (!m_handleiding)
            m_handleiding = new HandleidingVenster(&m_window);
        if (!m_handleiding->load(path)) {
            m_tell(QStringLiteral("De handleiding kon niet worden geopend:\n%1").arg(QDir::toNativeSeparators(path)));
            return;
        }
        m_handleiding->show();
        m_handleiding->raise();
        m_handleiding->activateWindow();
        return;
    }
    QStringList looked;
    for (const QString& candidate : candidates)
        looked << QDir::toNativeSeparators(QDir::cleanPath(candidate));
    m_tell(QStringLiteral("De handleiding is niet gevonden. Gezocht in:\n%1").arg(looked.join(u'\n')));
}

void HelpMenu::overBaldovenaar()
{
    if (m_about)
        m_about(handleiding::overBaldovenaarText());
    else
        QMessageBox::about(&m_window, QStringLiteral("Over Baldovenaar"), handleiding::overBaldovenaarText());
}

void HelpMenu::close()
{
    if (m_handleiding)
        m_handleiding->close();
}
