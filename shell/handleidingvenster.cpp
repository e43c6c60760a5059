#include "handleidingvenster.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

HandleidingVenster::HandleidingVenster(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmHandleiding"));
    setWindowTitle(QStringLiteral("Handleiding"));
    setAttribute(Qt::WA_QuitOnClose, false);

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("txtZoeken"));
    m_search->setPlaceholderText(QStringLiteral("Zoeken (Enter: volgende)"));
    m_search->setClearButtonEnabled(true);
    auto* searchLabel = new QLabel(QStringLiteral("&Zoeken:"), this);
    searchLabel->setBuddy(m_search);
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("txtHandleiding"));
    m_browser->setOpenExternalLinks(true);
    m_browser->setOpenLinks(true);

    auto* top = new QHBoxLayout;
    top->addWidget(searchLabel);
    top->addWidget(m_search, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_browser, 1);
    connect(m_search, &QLineEdit::returnPressed, this, &HandleidingVenster::find);

    resize(820, 700);
}

bool HandleidingVenster::load(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return false;
    // Its pictures are named relative to the guide: the browser looks for them in its folder.
    m_browser->setSearchPaths({ info.absolutePath() });
    m_browser->setSource(QUrl::fromLocalFile(info.absoluteFilePath()), QTextDocument::MarkdownResource);
    m_browser->moveCursor(QTextCursor::Start);
    return !m_browser->document()->isEmpty();
}

QString HandleidingVenster::title() const
{
    return m_browser->document()->firstBlock().text();
}

bool HandleidingVenster::find()
{
    const QString text = m_search->text();
    if (text.isEmpty())
        return false;
    if (m_browser->find(text))
        return true;
    m_browser->moveCursor(QTextCursor::Start);
    return m_browser->find(text);
}
