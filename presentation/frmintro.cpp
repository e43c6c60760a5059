#include "frmintro.h"

#include "resources.h"
#include "transparency.h"
#include "twips.h"

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QPalette>
#include <QRect>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>

namespace {

// The window's layout is kept in twips, as the suite's windows are drawn.
QRect inTwips(int left, int top, int width, int height)
{
    return QRect(twips::toPixels(left), twips::toPixels(top), twips::toPixels(width), twips::toPixels(height));
}

QFont verdana(qreal points, bool bold)
{
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(points);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QRect& geometry, const QString& text, const QFont& font)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setFont(font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

// The credit lines lie on a white band of their own, so they are dark whatever the desktop's colours.
void setOnWhite(QLabel* label)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, QColor(0xFF, 0xFF, 0xFF));
    palette.setColor(QPalette::WindowText, QColor(0x00, 0x00, 0x00));
    label->setPalette(palette);
    label->setAutoFillBackground(true);
}

constexpr int closingInterval = 3000;
constexpr int fadeInterval = 10;

} // namespace

QString versionText(int major, int minor, int revision)
{
    return QStringLiteral("versie %1.%2.%3").arg(major).arg(minor).arg(revision);
}

QString programVersionText()
{
    return versionText(BALDOVENAAR_VERSION_MAJOR, BALDOVENAAR_VERSION_MINOR, BALDOVENAAR_VERSION_PATCH);
}

FrmIntro::FrmIntro(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmIntro"));
    setWindowTitle(QStringLiteral("Korvalen 3.5 Baldovenaar"));
    // The main window is still hidden while the splash shows; its closing must not end the station.
    setAttribute(Qt::WA_QuitOnClose, false);
    setModal(true);
    setFixedSize(inTwips(0, 0, 8640, 5445).size());
    buildControls();

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setSingleShot(true);
    connect(m_timer1, &QTimer::timeout, this, &FrmIntro::timer1Tick);

    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    // A fade step is a tiny change; a precise timer keeps the half-second fade smooth.
    m_timer2->setTimerType(Qt::PreciseTimer);
    connect(m_timer2, &QTimer::timeout, this, &FrmIntro::timer2Tick);

    // Centred on the whole screen; placing it here also keeps QDialog from placing it by itself.
    if (const QScreen* where = screen()) {
        QRect placed(QPoint(0, 0), size());
        placed.moveCenter(where->geometry().center());
        move(placed.topLeft());
    }

    // Transparent before the window first reaches the screen, so the fade starts from nothing.
    Transparency_SetAlpha(this, 0);
}

void FrmIntro::buildControls()
{
    // Created bottom first: the picture lies under all labels.
    m_image1 = new QLabel(this);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setScaledContents(false);
    m_image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_image1->setGeometry(inTwips(0, 0, 8640, 5445));

    // Label2 keeps the system's window-text colour, the label's own default.
    m_label2 = makeLabel(this, "Label2", inTwips(120, 960, 1575, 255), QString(), verdana(8.25, false));

    m_label6 = makeLabel(this, "Label6", inTwips(120, 5040, 3975, 255),
        QStringLiteral("Website: www.korvalen.example.org"), verdana(8.25, false));
    setOnWhite(m_label6);

    m_label5 = makeLabel(this, "Label5", inTwips(120, 4800, 3615, 255),
        QStringLiteral("Ontwerp en realisatie: Team Korvalen"), verdana(8.25, false));
    setOnWhite(m_label5);

    m_label3 = makeLabel(
        this, "Label3", inTwips(4440, 480, 3975, 375), QStringLiteral("Korvalen | Baldovenaar"), verdana(9.75, true));
    m_label3->setAlignment(Qt::AlignRight | Qt::AlignTop);
    setTextColour(m_label3, palette().color(QPalette::ButtonText));

    m_label1
        = makeLabel(this, "Label1", inTwips(120, 120, 4695, 615), QStringLiteral("Korvalen 3.5"), verdana(26.25, true));
    setTextColour(m_label1, palette().color(QPalette::ButtonText));
}

void FrmIntro::showModal()
{
    FrmIntro intro;
    intro.exec();
}

void FrmIntro::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_loaded) {
        m_loaded = true;
        onLoad();
    }
}

void FrmIntro::onLoad()
{
    Transparency_SetAlpha(this, 0);

    // The picture covers the whole borderless window, unscaled, sharp at the screen's pixel ratio.
    m_image1->setGeometry(0, 0, frameGeometry().width(), frameGeometry().height());
    m_image1->setPixmap(artwork::splashPicture(devicePixelRatioF()));

    m_label2->setText(programVersionText());

    m_timer1->start(closingInterval);
    m_fade.reset();
    m_timer2->start(fadeInterval);
}

void FrmIntro::timer1Tick()
{
    m_timer1->stop();
    // Whatever the fade has reached; there is no fade-out.
    accept();
}

void FrmIntro::timer2Tick()
{
    const int alpha = m_fade.step();
    Transparency_SetAlpha(this, static_cast<quint8>(alpha));
    if (m_fade.done())
        m_timer2->stop();
}

void FrmIntro::done(int result)
{
    // However it closes, nothing of the splash may tick on after it.
    m_timer1->stop();
    m_timer2->stop();
    QDialog::done(result);
}
