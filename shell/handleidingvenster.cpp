#include "handleidingvenster.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

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
    m_browser->viewport()->installEventFilter(this);

    // Esc closes it, as a viewer beside the main window does.
    connect(new QShortcut(QKeySequence::Cancel, this), &QShortcut::activated, this, &QWidget::close);
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
    m_folder = info.absolutePath();
    fitPictures();
    return !m_browser->document()->isEmpty();
}

void HandleidingVenster::fitPictures()
{
    // A picture wider than the page is shown at the page's width, so the text beside it needs no sideways
    // scrolling; a narrow one keeps its own size.
    QTextDocument* document = m_browser->document();
    const int room = std::max(100, m_browser->viewport()->width() - 2 * int(document->documentMargin()) - 24);
    QTextCursor cursor(document);
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextImageFormat image = fragment.charFormat().toImageFormat();
            if (!image.isValid())
                continue;
            const QSize natural = QImageReader(QDir(m_folder).filePath(QUrl(image.name()).path())).size();
            if (!natural.isValid() || natural.width() <= 0)
                continue;
            const int width = std::min(natural.width(), room);
            if (int(image.width()) == width)
                continue;
            image.setWidth(width);
            image.setHeight(double(natural.height()) * width / natural.width());
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(image);
        }
    }
}

bool HandleidingVenster::eventFilter(QObject* watched, QEvent* event)
{
    // The page's width is known once the browser is laid out, and changes with the window.
    if (watched == m_browser->viewport() && event->type() == QEvent::Resize && !m_folder.isEmpty())
        fitPictures();
    return QWidget::eventFilter(watched, event);
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
