#include "riderboard.h"

#include "boardcolours.h"
#include "boardfeed.h"
#include "boardtextfit.h"
#include "stationstatus.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace {

QFont boardFont(int pixels, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(std::max(1, pixels));
    font.setBold(bold);
    return font;
}

// Draws a text left-aligned in the rectangle, cut with "…" when it does not fit; returns its width.
int drawText(QPainter& painter, const QRect& rect, const QString& text, const QFont& font, const QColor& colour,
    Qt::Alignment align = Qt::AlignLeft)
{
    painter.setFont(font);
    painter.setPen(colour);
    const QFontMetrics metrics(font);
    // The whole text where its rounded width fits: its room is measured in whole pixels as well.
    const QString shown = metrics.horizontalAdvance(text) <= rect.width()
        ? text
        : metrics.elidedText(text, Qt::ElideRight, rect.width());
    painter.drawText(rect, int(align | Qt::AlignVCenter) | Qt::TextSingleLine | Qt::TextDontClip, shown);
    return metrics.horizontalAdvance(shown);
}

} // namespace

int RiderBoard::bigLineWidth(const BoardStarter& starter, int pixels)
{
    // As the line is drawn: the number's column, a gap, the rider in bold, a gap, the horse.
    const QFontMetrics bold(boardFont(pixels, true));
    const QFontMetrics plain(boardFont(pixels, false));
    const int gap = pixels / 2;
    const int horse = starter.horse.isEmpty() ? 0 : gap + plain.horizontalAdvance(starter.horse);
    return bold.horizontalAdvance(QStringLiteral("0000")) + gap + bold.horizontalAdvance(starter.rider) + horse;
}

RiderBoard::RiderBoard(Station& station, QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmRuiterscherm"));
    // The official keeps the keyboard in the main window; closing the board never ends the station.
    setAttribute(Qt::WA_ShowWithoutActivating);
    // A display, never a place for the keyboard: the window system gives it no focus, not even on a click.
    setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_QuitOnClose, false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setMinimumSize(320, 180);
    m_feed = new BoardFeed(station, this);
    connect(m_feed, &BoardFeed::contentChanged, this, &RiderBoard::showContent);
    showContent(m_feed->content());
}

void RiderBoard::open(const QScreen* mainScreen)
{
    QScreen* other = nullptr;
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen != mainScreen) {
            other = screen;
            break;
        }
    }
    if (other) {
        // On the second screen, filling it: the board is made for a screen of its own.
        setGeometry(other->geometry());
        if (!windowHandle())
            create();
        windowHandle()->setScreen(other);
        showFullScreen();
    } else if (!isVisible()) {
        // One screen: a window of half its size, which the official can place and enlarge (F11).
        const QScreen* screen = mainScreen ? mainScreen : QGuiApplication::primaryScreen();
        if (screen) {
            const QRect available = screen->availableGeometry();
            const QSize size(available.width() / 2, available.width() / 2 * 9 / 16);
            setGeometry(QRect(available.topLeft() + QPoint(available.width() - size.width(), 0), size));
        }
        showNormal();
    }
}

void RiderBoard::toggleFullScreen()
{
    if (isFullScreen())
        showNormal();
    else
        showFullScreen();
}

int RiderBoard::ringLinePixels() const
{
    return std::max(1, int(std::ceil(height() / 10.0)));
}

int RiderBoard::nextLinePixels() const
{
    return std::max(1, int(std::ceil(height() / 12.0)));
}

void RiderBoard::showContent(const BoardContent& content)
{
    setWindowTitle(content.titel.isEmpty() ? QStringLiteral("Ruiterscherm")
                                           : QStringLiteral("Ruiterscherm – %1").arg(content.titel));
    update();
}

void RiderBoard::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // What changed while it was closed.
    m_feed->refresh();
    emit shownChanged(true);
}

void RiderBoard::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    emit shownChanged(false);
}

void RiderBoard::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // Full screen at the in-gate: no mouse pointer standing in the middle of a name.
    if (event->type() == QEvent::WindowStateChange) {
        if (isFullScreen())
            setCursor(Qt::BlankCursor);
        else
            unsetCursor();
    }
}

void RiderBoard::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && isFullScreen()) {
        showNormal();
        return;
    }
    QWidget::keyPressEvent(event);
}

void RiderBoard::paintEvent(QPaintEvent*)
{
    using namespace boardcolours;
    const BoardContent& content = m_feed->content();
    QPainter painter(this);
    painter.fillRect(rect(), ground);
    const int w = width();
    const int h = height();
    const int margin = std::max(4, h / 50);
    const bool stale = content.stale;
    const QColor textColour = stale ? boardcolours::stale : text;
    const QColor captionColour = stale ? boardcolours::stale : caption;
    const QColor struckColour = stale ? boardcolours::stale : struck;
    // A band: filled, or on a board that is not up to date only framed, so its greyed text keeps its contrast.
    auto band = [&](const QRect& area, const QColor& colour) {
        if (stale) {
            painter.setPen(QPen(boardcolours::stale, std::max(1, h / 270)));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(area.adjusted(1, 1, -1, -1));
        } else {
            painter.fillRect(area, colour);
        }
    };

    // The title, and the notice of a list that is not up to date at its right.
    const int titleHeight = h * 8 / 100;
    QRect titleArea(margin, 0, w - 2 * margin, titleHeight);
    if (stale) {
        const QFont noticeFont = boardFont(h * 45 / 1000, true);
        const QString notice = QStringLiteral("niet bijgewerkt sinds %1").arg(clockTime(content.since));
        const int noticeWidth
            = std::min(w - 2 * margin, QFontMetrics(noticeFont).horizontalAdvance(notice) + 2 * margin);
        const QRect noticeArea(w - margin - noticeWidth, margin / 2, noticeWidth, titleHeight - margin);
        painter.fillRect(noticeArea, noticeBack);
        drawText(painter, noticeArea, notice, noticeFont, noticeText, Qt::AlignHCenter);
        titleArea.setRight(noticeArea.left() - margin);
    }
    // How far the class is, at the title's right: "12 van 38 gereden · einde ca. 11:40".
    const QString progress = progressText(content.progress);
    if (content.shown && !progress.isEmpty()) {
        const QFont progressFont = boardFont(h * 4 / 100, true);
        const int progressWidth
            = std::min(titleArea.width() / 2, QFontMetrics(progressFont).horizontalAdvance(progress) + margin);
        drawText(painter, QRect(titleArea.right() - progressWidth, 0, progressWidth, titleHeight), progress,
            progressFont, captionColour, Qt::AlignRight);
        titleArea.setRight(titleArea.right() - progressWidth - margin);
    }
    drawText(painter, titleArea, content.titel, boardFont(h / 20, true), textColour);

    if (!content.shown) {
        drawText(painter, QRect(margin, titleHeight, w - 2 * margin, h - titleHeight),
            QStringLiteral("Geen startvolgorde"), boardFont(nextLinePixels(), true), textColour, Qt::AlignHCenter);
        return;
    }

    // The three big lines: a caption above, then number, rider and horse.
    static const char* const captions[] = { "In de ring", "Klaar staan", "Daarna" };
    const int captionPixels = h / 28;
    int y = titleHeight + margin / 2;
    for (size_t i = 0; i < content.top.size(); ++i) {
        const int linePixels = i == 0 ? ringLinePixels() : nextLinePixels();
        const int blockHeight = int(captionPixels * 1.3) + int(linePixels * 1.3);
        const QRect block(0, y, w, blockHeight);
        if (i == 0)
            band(block, ringBack);
        // Beside the caption, the time the ring's pace expects the starter, as an estimate.
        QString caption = QString::fromUtf8(captions[i]);
        if (content.top[i] && !content.top[i]->expected.isEmpty())
            caption += QStringLiteral("   –   verwacht %1").arg(content.top[i]->expected);
        drawText(painter, QRect(margin, y, w - 2 * margin, int(captionPixels * 1.3)), caption,
            boardFont(captionPixels, true), captionColour);
        const QRect line(margin, y + int(captionPixels * 1.3), w - 2 * margin, int(linePixels * 1.3));
        if (const std::optional<BoardStarter>& starter = content.top[i]) {
            // A long name makes its line smaller, down to two thirds; the line's place on the board stays.
            const int pixels = boardtextfit::fittedPixels(
                linePixels, line.width() - 1, [&](int p) { return bigLineWidth(*starter, p); });
            const QFont bold = boardFont(pixels, true);
            const QFont plain = boardFont(pixels, false);
            const int gap = pixels / 2;
            const int numberWidth = QFontMetrics(bold).horizontalAdvance(QStringLiteral("0000"));
            drawText(painter, QRect(line.left(), line.top(), numberWidth, line.height()), starter->number, bold,
                textColour, Qt::AlignRight);
            const int riderLeft = line.left() + numberWidth + gap;
            const int room = line.right() - riderLeft;
            const int riderWidth = QFontMetrics(bold).horizontalAdvance(starter->rider);
            const int horseWidth = QFontMetrics(plain).horizontalAdvance(starter->horse);
            // Both whole when they fit; else the horse gets what it needs of the room the rider leaves, the rider
            // at least three fifths of it.
            const int riderRoom = std::min(riderWidth, std::max(room * 3 / 5, room - gap - horseWidth));
            drawText(painter, QRect(riderLeft, line.top(), riderRoom, line.height()), starter->rider, bold, textColour);
            const int horseLeft = riderLeft + riderRoom + gap;
            drawText(painter, QRect(horseLeft, line.top(), std::max(0, line.right() - horseLeft), line.height()),
                starter->horse, plain, textColour);
        } else {
            drawText(painter, line, QStringLiteral("–"), boardFont(linePixels, true), textColour);
        }
        y += blockHeight;
    }

    // The lines that follow: time, number, rider, horse; struck through when not started; pauses as bands.
    y += margin / 2;
    // As large as the lines shown allow: room for the eight starters, shared out further only when struck-through
    // starters or pauses stand among them.
    const int lines = std::max<int>(BoardContent::followingStarters, int(content.following.size()));
    const int lineHeight = std::max(1, std::min((h - y - margin) / lines, h / 18));
    const int pixels = lineHeight * 7 / 10;
    const QFont font = boardFont(pixels, false);
    const QFont bold = boardFont(pixels, true);
    const int gap = pixels;
    const int timeWidth = QFontMetrics(bold).horizontalAdvance(QStringLiteral("00:00")) + gap;
    const int numberWidth = QFontMetrics(bold).horizontalAdvance(QStringLiteral("0000"));
    // A column for the expected times, beside the planned ones, only when one of the lines has one.
    const bool anyExpected = std::any_of(content.following.cbegin(), content.following.cend(),
        [](const BoardLine& entry) { return !entry.starter.expected.isEmpty(); });
    const int expectedWidth = anyExpected ? QFontMetrics(font).horizontalAdvance(QStringLiteral("ca. 00:00")) + gap : 0;
    for (const BoardLine& entry : content.following) {
        const QRect line(margin, y, w - 2 * margin, lineHeight);
        const BoardStarter& s = entry.starter;
        if (entry.kind == BoardLine::Kind::Pause) {
            band(QRect(0, y + 1, w, lineHeight - 2), pauseBack);
            drawText(painter, QRect(line.left(), y, timeWidth, lineHeight), s.time, bold, captionColour);
            const int textLeft = line.left() + timeWidth + expectedWidth + numberWidth + gap;
            drawText(painter, QRect(textLeft, y, line.right() - textLeft, lineHeight), s.rider, bold, textColour);
            y += lineHeight;
            continue;
        }
        const bool struck = entry.kind == BoardLine::Kind::NotStarted;
        const QColor colour = struck ? struckColour : textColour;
        int x = line.left();
        drawText(painter, QRect(x, y, timeWidth, lineHeight), s.time, bold, struck ? struckColour : captionColour);
        x += timeWidth;
        if (anyExpected) {
            drawText(painter, QRect(x, y, expectedWidth, lineHeight), s.expected, font, captionColour);
            x += expectedWidth;
        }
        drawText(painter, QRect(x, y, numberWidth, lineHeight), s.number, bold, colour, Qt::AlignRight);
        x += numberWidth + gap;
        const int riderWidth = (line.right() - x) * 45 / 100;
        const int riderDrawn = drawText(painter, QRect(x, y, riderWidth - gap, lineHeight), s.rider, bold, colour);
        const int horseLeft = x + riderWidth;
        const int horseDrawn
            = drawText(painter, QRect(horseLeft, y, line.right() - horseLeft, lineHeight), s.horse, font, colour);
        if (struck) {
            // Struck through: one line over number, rider and horse, thick enough to read from afar.
            const int strikeY = y + lineHeight / 2;
            painter.setPen(QPen(struckColour, std::max(2, pixels / 10)));
            const int right = s.horse.isEmpty() ? x + riderDrawn : horseLeft + horseDrawn;
            painter.drawLine(line.left() + timeWidth + expectedWidth, strikeY, right, strikeY);
        }
        y += lineHeight;
    }
}
