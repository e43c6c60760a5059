#include "frmbaldovenaar.h"

#include "changemarks.h"
#include "clock.h"
#include "colours.h"
#include "flexgrid.h"
#include "focusframestyle.h"
#include "frmintro.h"
#include "gridlayout.h"
#include "holdbutton.h"
#include "keycommands.h"
#include "resources.h"
#include "riderboard.h"
#include "runorderfiledialog.h"
#include "scrollmouse.h"
#include "statusline.h"
#include "textmeasurer.h"
#include "twips.h"
#include "windowsettings.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMargins>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QUrl>
#include <QWheelEvent>
#include <algorithm>
#include <vector>

namespace {

using twips::fromPixels;
using twips::toPixels;

QFont arial(double points, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

// Gives a widget one of the station's raw colours in a palette role.
void setColour(QWidget* widget, QPalette::ColorRole role, quint32 raw)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colours::toQColor(raw, palette));
    widget->setPalette(palette);
}

QString colourSheet(const char* widget, quint32 raw)
{
    const QColor colour = colours::toQColor(raw, QPalette());
    return QStringLiteral("%1 { background-color: %2; }").arg(QLatin1String(widget), colour.name());
}

std::optional<QString> chooseWithQtDialog(
    QWidget* parent, const QString& title, const QString& folder, const QString& filter)
{
    RunOrderFileDialog dialog(parent, title, folder, filter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

// The window's outer width in pixels: its frame once it is on screen, its own width before that (no
// frame is known yet).
// The grid control's buttons and shift state, as Qt names them.
Qt::MouseButton mouseButton(int button)
{
    return button == 1 ? Qt::LeftButton : button == 2 ? Qt::RightButton : button == 4 ? Qt::MiddleButton : Qt::NoButton;
}

Qt::KeyboardModifiers modifiers(int shift)
{
    return Qt::KeyboardModifiers((shift & 1 ? Qt::ShiftModifier : Qt::NoModifier)
        | (shift & 2 ? Qt::ControlModifier : Qt::NoModifier) | (shift & 4 ? Qt::AltModifier : Qt::NoModifier));
}

int outerWidthPixels(const QWidget& window)
{
    return window.isVisible() ? window.frameGeometry().width() : window.width();
}

// The status line below the grid: its height and the gap above it, in twips.
constexpr int statusLineHeight = 390;
constexpr int statusLineGap = 60;

// The window's controls as designed: where each sits (twips, in the client area or in the strip
// Picture1), its font, picture and tooltip. In z-order, bottom first: later controls are drawn over
// earlier ones.
enum class Kind { Label, MoveButton, Button, Measuring, Grid, Strip, Indicator };
using Picture = QPixmap (*)(qreal);

struct ControlRow
{
    Kind kind;
    const char* name;
    int index; // the button's index in its group (knoppen::Knop, regels::Richting); the label's, top down
    bool inStrip;
    int left, top, width, height;
    double points = 0; // the font; 0 for none of its own
    bool bold = false;
    const char* text = nullptr;
    Picture picture = nullptr;
    const char* tooltip = nullptr;
};

constexpr int noIndex = -1;

const ControlRow controlRows[] = {
    { Kind::Label, "lblTitel", 0, false, 3720, 600, 7815, 495, 20.25, true },
    { Kind::Label, "lblDatum", 1, false, 3720, 1080, 7815, 345, 14.25, true },
    { Kind::Label, "lblBegintijd", 2, false, 3720, 1410, 7815, 345, 14.25, true },
    { Kind::MoveButton, "btnVerplaatsregels0", int(regels::Richting::Omhoog), false, 120, 720, 495, 460, 0, false,
        nullptr, artwork::moveUpPicture, "verplaats rij omhoog" },
    { Kind::Measuring, "picTemp", noIndex, false, 9720, 2640, 1815, 375, 8.25, false },
    { Kind::Grid, "grid1", noIndex, false, 120, 1800, 4695, 2655 },
    { Kind::MoveButton, "btnVerplaatsregels1", int(regels::Richting::Omlaag), false, 120, 1170, 495, 445, 0, false,
        nullptr, artwork::moveDownPicture, "verplaats rij omlaag" },
    { Kind::Button, "btnKnop4", knoppen::Verzenden, false, 2280, 720, 855, 900, 0, false, nullptr, nullptr,
        "Verzend wijziging naar hoofd- en satelletprogramma" },
    { Kind::Strip, "Picture1", noIndex, false, 0, 0, 10575, 495 },
    { Kind::Indicator, "lblMutatie", noIndex, true, 2760, 45, 375, 375, 0, false, nullptr, nullptr, "Mutatie" },
    { Kind::Button, "btnKnop2", knoppen::Kleiner, true, 720, 45, 495, 375, 9, true, "a" },
    { Kind::Button, "btnKnop0", knoppen::Openen, true, 60, 45, 495, 375, 0, false, nullptr, artwork::openPicture },
    { Kind::Button, "btnKnop3", knoppen::Groter, true, 1200, 45, 495, 375, 15.75, true, "a" },
    { Kind::Button, "btnKnop1", knoppen::NietGestart, false, 1320, 720, 855, 900, 15.75, true, "NG", nullptr,
        "Meld als \"Niet Gestart\"" },
    { Kind::Button, "btnKnop5", knoppen::Wissel, false, 720, 720, 495, 900, 0, false, nullptr, artwork::swapPicture,
        "Wissel 2 rijen om" },
};

// The etched rules of the strip: grey then white at its top and at its bottom edge.
const struct
{
    const char* name;
    int y;
    quint32 colour;
} stripLines[] = { { "Line1", 0, 0x00808080 }, { "Line2", 15, colours::white }, { "Line3", 465, 0x00808080 },
    { "Line4", 480, colours::white } };

codeScrollMouse::WheelControl describe(QWidget* widget, codeScrollMouse::ControlKind kind, const QString& name)
{
    codeScrollMouse::WheelControl control;
    control.kind = kind;
    control.name = name;
    if (!widget)
        return control;
    const QPoint topLeft = widget->mapToGlobal(QPoint(0, 0));
    // As the window system measures a window: right and bottom one past the last pixel.
    control.rect = codeScrollMouse::ScreenRect { topLeft.x(), topLeft.y(), topLeft.x() + widget->width(),
        topLeft.y() + widget->height() };
    control.visible = widget->isVisible();
    control.enabled = widget->isEnabled();
    return control;
}

} // namespace

FrmBaldovenaar::FrmBaldovenaar(Station& station, QWidget* parent)
    : FrmBaldovenaar(station, Options(), parent)
{
}

FrmBaldovenaar::FrmBaldovenaar(Station& station, Options options, QWidget* parent)
    : QMainWindow(parent)
    , m_station(station)
    , m_options(std::move(options))
{
    setObjectName(QStringLiteral("frmBaldovenaar"));
    artwork::ensureLoaded();
    setWindowTitle(m_station.caption());
    setWindowIcon(artwork::windowIcon());
    buildControls();
    m_grid1View->setChangeMarks(&m_station.changeMarks());
    buildMenu();
    buildKeyboardCommands();
    buildBoardCommands();
    connectStation();

    // Initial client area 915 × 608, centred on the screen (and shrunk to fit a smaller one).
    m_client->setFixedSize(toPixels(designClientWidth), toPixels(designClientHeight));
    adjustSize();
    m_client->setMinimumSize(0, 0);
    m_client->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    centreOnScreen();
}

FrmBaldovenaar::~FrmBaldovenaar()
{
    // QWidget's destructor, which runs after this one, still hides the child widgets before it deletes
    // them: a move button held at that moment reports its lost hold, and a handler of this window would
    // then run on a window that is half gone. Nothing of the children reaches this window any more.
    for (QObject* child : findChildren<QObject*>())
        QObject::disconnect(child, nullptr, this, nullptr);
}

void FrmBaldovenaar::centreOnScreen()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize frameExtra = frameGeometry().size() - size();
        const QRect frame = gridlayout::startFrame(size(), frameExtra, minimumSize(), screen->availableGeometry());
        // On a small screen the window shrinks to fit; the resize handler lays it out again.
        resize(frame.size() - frameExtra);
        move(frame.topLeft());
    }
}

QPushButton* FrmBaldovenaar::styleButton(QPushButton* button)
{
    // A style that honours the button's own back colour, on every platform.
    button->setStyle(m_buttonStyle);
    setColour(button, QPalette::Button, colours::buttonFaceBack);
    button->setAutoFillBackground(true);
    return button;
}

void FrmBaldovenaar::buildControls()
{
    m_buttonStyle = QStyleFactory::create(QStringLiteral("Fusion"));
    if (m_buttonStyle)
        m_buttonStyle->setParent(this);

    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("clientArea"));
    m_client->setAutoFillBackground(true);
    setColour(m_client, QPalette::Window, colours::systemButtonFace);
    setCentralWidget(m_client);

    QLabel** labels[] = { &m_lblTitel, &m_lblDatum, &m_lblBegintijd };
    for (const ControlRow& control : controlRows) {
        QWidget* parent = control.inStrip ? m_picture1 : m_client;
        QWidget* widget = nullptr;
        switch (control.kind) {
        case Kind::Label: {
            auto* label = new QLabel(parent);
            label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            label->setFrameShape(QFrame::Box); // removed by the load handler
            label->setAttribute(Qt::WA_TranslucentBackground);
            setColour(label, QPalette::WindowText, colours::systemWindowText);
            *labels[control.index] = label;
            widget = label;
            break;
        }
        case Kind::MoveButton: {
            auto* button = new HoldButton(parent);
            styleButton(button);
            m_btnVerplaatsregels[size_t(control.index)] = button;
            const auto richting = regels::Richting(control.index);
            connect(button, &HoldButton::mouseDown, this, [this, richting] { btnVerplaatsregels_MouseDown(richting); });
            connect(button, &HoldButton::mouseUp, this, &FrmBaldovenaar::btnVerplaatsregels_MouseUp);
            connect(button, &HoldButton::holdLost, this, &FrmBaldovenaar::btnVerplaatsregels_MouseUp);
            widget = button;
            break;
        }
        case Kind::Button: {
            auto* button = styleButton(new QPushButton(parent));
            m_btnKnop[size_t(control.index)] = button;
            const auto knop = knoppen::Knop(control.index);
            connect(button, &QPushButton::clicked, this, [this, knop] { btnKnop_Click(knop); });
            widget = button;
            break;
        }
        case Kind::Measuring:
            m_picTemp = new QWidget(parent);
            setColour(m_picTemp, QPalette::Window, colours::systemWindow);
            m_picTemp->setFocusPolicy(Qt::NoFocus);
            m_picTemp->hide();
            widget = m_picTemp;
            break;
        case Kind::Grid:
            m_grid1View = new FlexGrid(parent);
            m_grid1View->setTable(&m_station.gridModel());
            widget = m_grid1View;
            break;
        case Kind::Strip:
            m_picture1 = new QWidget(parent);
            m_picture1->setAutoFillBackground(true);
            setColour(m_picture1, QPalette::Window, colours::buttonFaceBack);
            for (size_t i = 0; i < std::size(stripLines); ++i) {
                auto* line = new QFrame(m_picture1);
                line->setObjectName(QLatin1String(stripLines[i].name));
                line->setGeometry(0, toPixels(stripLines[i].y), toPixels(600), 1);
                line->setStyleSheet(colourSheet("QFrame", stripLines[i].colour));
                line->setAttribute(Qt::WA_TransparentForMouseEvents);
                m_lines[i] = line;
            }
            widget = m_picture1;
            break;
        case Kind::Indicator:
            m_lblMutatie = new QLabel(parent);
            m_lblMutatie->setAlignment(Qt::AlignCenter);
            m_lblMutatieWidth = toPixels(control.width);
            widget = m_lblMutatie;
            break;
        }
        widget->setObjectName(QLatin1String(control.name));
        widget->setGeometry(
            toPixels(control.left), toPixels(control.top), toPixels(control.width), toPixels(control.height));
        if (control.points > 0)
            widget->setFont(arial(control.points, control.bold));
        if (control.tooltip)
            widget->setToolTip(QString::fromUtf8(control.tooltip));
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            if (control.text)
                button->setText(QString::fromUtf8(control.text));
            if (control.picture)
                button->setIcon(control.picture(1.0));
        }
    }
    m_statusLine = new StatusLine(m_client);
    m_statusLine->setFont(arial(10, true));
    m_statusLine->setFocusPolicy(Qt::NoFocus);

    // The send button shows its picture greyed by itself when it is off.
    m_btnKnop[knoppen::Verzenden]->setIcon(artwork::sendIcon());
    m_btnKnop[knoppen::Verzenden]->setIconSize(QSize(35, 26));
    showListNews(m_station.listNews());

    // The grid's events reach the station's selection, as for the whole group.
    connect(m_grid1View, &FlexGrid::mouseDown, this,
        [this](int button, int shift, int, int) { m_station.grid_MouseDown(mouseButton(button), modifiers(shift)); });
    connect(m_grid1View, &FlexGrid::mouseUp, this,
        [this](int button, int, int, int) { m_station.grid_MouseUp(mouseButton(button)); });
    connect(
        m_grid1View, &FlexGrid::keyDown, this, [this](int, int shift) { m_station.grid_KeyDown(modifiers(shift)); });
    connect(m_grid1View, &FlexGrid::keyUp, this, [this](int, int) { m_station.grid_KeyUp(); });
    connect(m_grid1View, &FlexGrid::selChange, this, [this] { m_station.grid_SelChange(); });

    // Tab order: grid(1), the strip's open and zoom buttons, the move buttons, swap, NG, send.
    QWidget* order[] = { m_grid1View, m_btnKnop[knoppen::Openen], m_btnKnop[knoppen::Kleiner],
        m_btnKnop[knoppen::Groter], m_btnVerplaatsregels[0], m_btnVerplaatsregels[1], m_btnKnop[knoppen::Wissel],
        m_btnKnop[knoppen::NietGestart], m_btnKnop[knoppen::Verzenden] };
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void FrmBaldovenaar::buildMenu()
{
    m_mnuBestand = menuBar()->addMenu(QStringLiteral("&Bestand"));
    m_mnuBestand->setObjectName(QStringLiteral("mnuBestand"));
    m_mnuBestandSub[0] = m_mnuBestand->addAction(QStringLiteral("&Openen"));
    m_mnuLogboek = addAction(m_mnuBestand, QStringLiteral("mnuLogboek"), QStringLiteral("&Logboek openen"), {});
    connect(m_mnuLogboek, &QAction::triggered, this, &FrmBaldovenaar::openLogboek);
    m_mnuBestandSub[2] = m_mnuBestand->addSeparator();
    m_mnuBestandSub[3] = m_mnuBestand->addAction(QStringLiteral("&Afsluiten"));
    for (int index : { 0, 2, 3 }) {
        QAction* action = m_mnuBestandSub[size_t(index)];
        action->setObjectName(QStringLiteral("mnuBestandSub%1").arg(index));
        connect(action, &QAction::triggered, this, [this, index] { mnuBestandSub_Click(index); });
    }

    m_mnuBewerken = menuBar()->addMenu(QStringLiteral("Be&werken"));
    m_mnuBewerken->setObjectName(QStringLiteral("mnuBewerken"));
    m_mnuOngedaanMaken = addAction(m_mnuBewerken, QStringLiteral("mnuOngedaanMaken"), QStringLiteral("&Ongedaan maken"),
        { QKeySequence(Qt::CTRL | Qt::Key_Z) });
    m_mnuOpnieuw = addAction(m_mnuBewerken, QStringLiteral("mnuOpnieuw"), QStringLiteral("Opn&ieuw"),
        { QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z) });
    m_mnuBewerken->addSeparator();
    m_mnuOpnieuwToepassen
        = addAction(m_mnuBewerken, QStringLiteral("mnuOpnieuwToepassen"), QStringLiteral("Opnieuw &toepassen"), {});
    connect(m_mnuOngedaanMaken, &QAction::triggered, &m_station, &Station::ongedaanMaken);
    connect(m_mnuOpnieuw, &QAction::triggered, &m_station, &Station::opnieuw);
    connect(m_mnuOpnieuwToepassen, &QAction::triggered, &m_station, &Station::opnieuwToepassen);

    buildBeeldMenu();
    buildHelpMenu();
}

void FrmBaldovenaar::buildBeeldMenu()
{
    m_mnuBeeld = menuBar()->addMenu(QStringLiteral("Bee&ld"));
    m_mnuBeeld->setObjectName(QStringLiteral("mnuBeeld"));
    // The two "a" buttons' steps, and the fit of the names to the window. Ctrl+= too: the plus sign needs
    // Shift on most keyboards.
    m_mnuKleiner = addAction(m_mnuBeeld, QStringLiteral("mnuKleiner"), QStringLiteral("&Kleiner"),
        { QKeySequence(Qt::CTRL | Qt::Key_Minus) });
    m_mnuGroter = addAction(m_mnuBeeld, QStringLiteral("mnuGroter"), QStringLiteral("&Groter"),
        { QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal) });
    m_mnuPassend = addAction(
        m_mnuBeeld, QStringLiteral("mnuPassend"), QStringLiteral("&Passend"), { QKeySequence(Qt::CTRL | Qt::Key_0) });
    m_mnuBeeld->addSeparator();
    m_mnuZonlicht = addAction(m_mnuBeeld, QStringLiteral("mnuZonlicht"), QStringLiteral("&Zonlicht"), {});
    m_mnuZonlicht->setCheckable(true);
    connect(m_mnuKleiner, &QAction::triggered, this, [this] { btnKnop_Click(knoppen::Kleiner); });
    connect(m_mnuGroter, &QAction::triggered, this, [this] { btnKnop_Click(knoppen::Groter); });
    connect(m_mnuPassend, &QAction::triggered, this, &FrmBaldovenaar::passend);
    connect(m_mnuZonlicht, &QAction::triggered, this, &FrmBaldovenaar::setZonlicht);
}

void FrmBaldovenaar::buildHelpMenu()
{
    m_mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    m_mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    m_mnuHandleiding = addAction(
        m_mnuHelp, QStringLiteral("mnuHandleiding"), QStringLiteral("&Handleiding"), { QKeySequence(Qt::Key_F1) });
    m_mnuOverBaldovenaar
        = addAction(m_mnuHelp, QStringLiteral("mnuOverBaldovenaar"), QStringLiteral("&Over Baldovenaar"), {});
    connect(m_mnuHandleiding, &QAction::triggered, this, &FrmBaldovenaar::openHandleiding);
    connect(m_mnuOverBaldovenaar, &QAction::triggered, this, &FrmBaldovenaar::overBaldovenaar);
}

QAction* FrmBaldovenaar::addAction(
    QMenu* menu, const QString& name, const QString& text, const QList<QKeySequence>& keys)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    action->setShortcuts(keys);
    // The keys work wherever the focus is in the window, the grid included.
    action->setShortcutContext(Qt::WindowShortcut);
    return action;
}

void FrmBaldovenaar::buildKeyboardCommands()
{
    m_mnuBestandSub[0]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    m_mnuBestandSub[0]->setShortcutContext(Qt::WindowShortcut);

    // Every command of the buttons in the menu, with its key. The move items move once when chosen; their
    // keys, held, repeat as a held button does (KeyCommands takes them).
    m_mnuBewerken->addSeparator();
    m_mnuVerplaats[size_t(regels::Richting::Omhoog)] = addAction(m_mnuBewerken, QStringLiteral("mnuVerplaatsOmhoog"),
        QStringLiteral("Verplaats rij om&hoog"), { QKeySequence(Qt::CTRL | Qt::Key_Up) });
    m_mnuVerplaats[size_t(regels::Richting::Omlaag)] = addAction(m_mnuBewerken, QStringLiteral("mnuVerplaatsOmlaag"),
        QStringLiteral("Verplaats rij om&laag"), { QKeySequence(Qt::CTRL | Qt::Key_Down) });
    m_mnuWissel = addAction(m_mnuBewerken, QStringLiteral("mnuWissel"), QStringLiteral("&Wissel 2 rijen om"),
        { QKeySequence(Qt::CTRL | Qt::Key_W) });
    m_mnuNietGestart = addAction(m_mnuBewerken, QStringLiteral("mnuNietGestart"),
        QStringLiteral("Meld als \"&Niet Gestart\""), { QKeySequence(Qt::CTRL | Qt::Key_N) });
    m_mnuBewerken->addSeparator();
    // Enter beside the letters and on the keypad.
    m_mnuVerzenden = addAction(m_mnuBewerken, QStringLiteral("mnuVerzenden"), QStringLiteral("&Verzend wijziging"),
        { QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter) });
    for (const regels::Richting richting : { regels::Richting::Omhoog, regels::Richting::Omlaag }) {
        connect(m_mnuVerplaats[size_t(richting)], &QAction::triggered, &m_station,
            [this, richting] { m_station.verplaatsregel(richting); });
    }
    connect(m_mnuWissel, &QAction::triggered, &m_station, &Station::wisselrijen);
    connect(m_mnuNietGestart, &QAction::triggered, &m_station, &Station::wisselnietgestart);
    connect(m_mnuVerzenden, &QAction::triggered, &m_station, &Station::verzendmutatie);
    connect(&m_station, &Station::buttonsChanged, this, &FrmBaldovenaar::enableKeyboardCommands);
    enableKeyboardCommands(m_station.buttons());

    m_keyCommands = new KeyCommands(this, m_grid1View, m_station, this);

    // The buttons the Tab key reaches show clearly that they have the focus.
    auto* focusStyle = new FocusFrameStyle;
    focusStyle->setParent(this);
    for (QPushButton* button : m_btnKnop)
        button->setStyle(focusStyle);
}

void FrmBaldovenaar::enableKeyboardCommands(const Station::Buttons& buttons)
{
    for (QAction* action : m_mnuVerplaats)
        action->setEnabled(buttons.volgorde);
    m_mnuWissel->setEnabled(buttons.volgorde);
    m_mnuNietGestart->setEnabled(buttons.nietGestart);
    m_mnuVerzenden->setEnabled(buttons.verzenden);
}

void FrmBaldovenaar::buildBoardCommands()
{
    // At the bottom of the Beeld menu, below its zoom items.
    m_mnuBeeld->menuAction()->setVisible(true);
    m_mnuBeeld->addSeparator();
    m_mnuRuiterscherm = addAction(m_mnuBeeld, QStringLiteral("mnuRuiterscherm"), QStringLiteral("&Ruiterscherm"),
        { QKeySequence(Qt::CTRL | Qt::Key_R) });
    m_mnuRuiterscherm->setCheckable(true);
    m_mnuSchermvullend = addAction(m_mnuBeeld, QStringLiteral("mnuRuiterschermSchermvullend"),
        QStringLiteral("Ruiterscherm &schermvullend"), { QKeySequence(Qt::Key_F11) });
    m_mnuVolgende = addAction(m_mnuBeeld, QStringLiteral("mnuVolgendeInDeRing"), QStringLiteral("&Volgende in de ring"),
        { QKeySequence(Qt::Key_F8) });
    m_mnuVorige = addAction(m_mnuBeeld, QStringLiteral("mnuVorigeInDeRing"), QStringLiteral("V&orige"),
        { QKeySequence(Qt::SHIFT | Qt::Key_F8) });
    connect(m_mnuRuiterscherm, &QAction::triggered, this, &FrmBaldovenaar::toggleRuiterscherm);
    connect(m_mnuSchermvullend, &QAction::triggered, this, [this] {
        if (m_board && m_board->isVisible())
            m_board->toggleFullScreen();
    });
    connect(m_mnuVolgende, &QAction::triggered, &m_station, &Station::volgendeInDeRing);
    connect(m_mnuVorige, &QAction::triggered, &m_station, &Station::vorigeInDeRing);
    connect(&m_station, &Station::listStateChanged, this, &FrmBaldovenaar::enableBoardCommands);
    enableBoardCommands();

    // The starter in the ring, marked in the grid.
    m_grid1View->setMarkedRow(m_station.ringPointer().row());
    connect(&m_station, &Station::ringChanged, m_grid1View, &FlexGrid::setMarkedRow);
}

void FrmBaldovenaar::enableBoardCommands()
{
    const bool ring = m_station.ringMoves();
    m_mnuVolgende->setEnabled(ring);
    m_mnuVorige->setEnabled(ring);
    m_mnuSchermvullend->setEnabled(m_board && m_board->isVisible());
}

void FrmBaldovenaar::toggleRuiterscherm()
{
    if (isUnloaded())
        return;
    if (m_board && m_board->isVisible()) {
        m_board->close();
        return;
    }
    if (!m_board) {
        m_board = new RiderBoard(m_station, this);
        // Its keys work on the board too, when the official has clicked it.
        m_board->addActions({ m_mnuRuiterscherm, m_mnuSchermvullend, m_mnuVolgende, m_mnuVorige });
        connect(m_board, &RiderBoard::shownChanged, this, [this](bool shown) {
            m_mnuRuiterscherm->setChecked(shown);
            enableBoardCommands();
        });
    }
    const bool wasActive = isActiveWindow();
    m_board->open(screen());
    m_mnuRuiterscherm->setChecked(m_board->isVisible());
    // The keyboard stays with the official, also where the window system activates every window it shows.
    if (wasActive)
        activateWindow();
}

void FrmBaldovenaar::connectStation()
{
    connect(&m_station, &Station::captionChanged, this, &QWidget::setWindowTitle);
    connect(&m_station, &Station::labelsChanged, this,
        [this](const QString& titel, const QString& datum, const QString& begintijd) {
            m_lblTitel->setText(titel);
            m_lblDatum->setText(datum);
            m_lblBegintijd->setText(begintijd);
        });
    // Before the window is first shown, "visible" is the state it will have once shown.
    connect(&m_station, &Station::listStateChanged, this, [this](ListState state) {
        m_grid1View->setVisible(state != ListState::Empty);
        m_grid1View->setStale(state == ListState::Stale);
    });
    connect(&m_station, &Station::statusChanged, this, &FrmBaldovenaar::showStatus);
    connect(&m_station, &Station::listNewsChanged, this, &FrmBaldovenaar::showListNews);
    connect(&m_station, &Station::layoutNeeded, this, &FrmBaldovenaar::adjust_grid);
    connect(&m_station, &Station::buttonsChanged, this, &FrmBaldovenaar::setButtons);
    connect(&m_station, &Station::lineMoved, this, [this] { m_grid1View->setFocus(Qt::OtherFocusReason); });
    connect(&m_station, &Station::message, this, &FrmBaldovenaar::showMessage);
    for (auto read : { &Station::listRebuilt, &Station::listReplaced, &Station::listMerged })
        connect(&m_station, read, this, &FrmBaldovenaar::fitOnFirstList);
    m_grid1View->setVisible(m_station.listState() != ListState::Empty);
    m_grid1View->setStale(m_station.listState() == ListState::Stale);
    setButtons(m_station.buttons());
    showStatus(m_station.status());
}

void FrmBaldovenaar::Form_Load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    ScrollMouse_HookForm();
    m_station.prepare();
    applyWindowSettings(readWindowSettings());
    if (m_options.showSplash)
        FrmIntro::showModal();
    if (isUnloaded())
        return; // stopped while the splash showed
    for (QLabel* label : { m_lblTitel, m_lblDatum, m_lblBegintijd })
        label->setFrameShape(QFrame::NoFrame);
    QFont measuring = m_picTemp->font();
    measuring.setFamily(QStringLiteral("Arial"));
    m_picTemp->setFont(measuring);
    m_station.start();
}

void FrmBaldovenaar::Form_Unload()
{
    keepWindowPlacement();
    // The board goes with the station it shows.
    if (m_board)
        m_board->close();
    m_station.unload();
    ScrollMouse_UnhookForm();
}

bool FrmBaldovenaar::mayLeaveTheClass(Leaving leaving)
{
    if (!m_station.hasUnsentWork())
        return true;
    const bool closing = leaving == Leaving::Close;
    const QString text
        = QStringLiteral(
            "Het secretariaat heeft nog niet alle wijzigingen van de ring verwerkt. %1 ruimt de verzonden wijzigingen "
            "van deze klasse in de gedeelde map op; wat niet verzonden is, komt terug als deze klasse weer geopend "
            "wordt.\n\n%2")
              .arg(closing ? QStringLiteral("Afsluiten") : QStringLiteral("Een andere klasse openen"),
                  closing ? QStringLiteral("Toch afsluiten?") : QStringLiteral("Toch een andere klasse openen?"));
    if (m_options.askQuestion)
        return m_options.askQuestion(text);
    QMessageBox box(
        QMessageBox::Question, QStringLiteral("Korvalen 3.5 Baldovenaar"), text, QMessageBox::NoButton, this);
    QPushButton* yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Nee"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

void FrmBaldovenaar::kiesbestand()
{
    if (!mayLeaveTheClass(Leaving::OpenAnother))
        return;
    const QString folder = m_station.beginOpen();
    const QString title = QStringLiteral("Kies het gedeelde bestand...");
    // Qt splits a filter's patterns at spaces; "?" stands for the space and offers the same names.
    const QString filter = QStringLiteral("baldovenaar bestanden (baldovenaar?rst-*.dvz)");
    const std::optional<QString> chosen = m_options.chooseFile ? m_options.chooseFile(title, folder, filter)
                                                               : chooseWithQtDialog(this, title, folder, filter);
    m_station.finishOpen(chosen);
}

void FrmBaldovenaar::openLogboek()
{
    const QString path = m_station.openLogboek();
    const bool opened
        = m_options.openFile ? m_options.openFile(path) : QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    if (!opened)
        showMessage(QStringLiteral("Het logboek kon niet worden geopend:\n%1").arg(QDir::toNativeSeparators(path)));
}

void FrmBaldovenaar::mnuBestandSub_Click(int index)
{
    switch (index) {
    case 0:
        kiesbestand();
        break;
    case 3:
        close();
        break;
    default:
        break;
    }
}

void FrmBaldovenaar::btnKnop_Click(knoppen::Knop knop)
{
    switch (knop) {
    case knoppen::Openen:
        kiesbestand();
        break;
    case knoppen::Kleiner:
        zoomStep(gridlayout::zoomOutFactor);
        break;
    case knoppen::Groter:
        zoomStep(gridlayout::zoomInFactor);
        break;
    case knoppen::NietGestart:
        m_station.wisselnietgestart();
        break;
    case knoppen::Verzenden:
        m_station.verzendmutatie();
        break;
    case knoppen::Wissel:
        m_station.wisselrijen();
        break;
    }
}

void FrmBaldovenaar::btnVerplaatsregels_MouseDown(regels::Richting richting)
{
    m_station.pressMove(richting);
}

void FrmBaldovenaar::btnVerplaatsregels_MouseUp()
{
    m_station.releaseMove();
}

void FrmBaldovenaar::stop()
{
    // Boxes open one over the other are answered from the top; one that stays (it refuses) ends the round,
    // and the window closes under it. Nothing is asked on the way: the journal keeps the ring's work.
    m_stopping = true;
    QWidget* answered = nullptr;
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (modal == answered || modal == this)
            break;
        answered = modal;
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    }
    close();
}

void FrmBaldovenaar::closeEvent(QCloseEvent* event)
{
    if (!m_stopping && !isUnloaded() && !mayLeaveTheClass(Leaving::Close)) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void FrmBaldovenaar::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void FrmBaldovenaar::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    // The frame is known only now: place the whole window and lay out again with the real outer width.
    placeOnScreen();
    Form_Resize();
    fitOnFirstList();
    if (m_grid1View->isVisible())
        m_grid1View->setFocus(Qt::OtherFocusReason);
    else
        m_btnKnop[knoppen::Openen]->setFocus(Qt::OtherFocusReason);
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

void FrmBaldovenaar::showListNews(ListNews news)
{
    // A check that did not find the file leaves the indicator as it was.
    if (news == ListNews::Untold && m_shownNews)
        return;
    const bool nieuw = news == ListNews::New;
    const quint32 colour = nieuw ? colours::green : colours::white;
    // Every check that finds the file tells it; a style sheet set anew restyles the label.
    if (m_shownNews == nieuw)
        return;
    m_shownNews = nieuw;
    if (m_zonlicht) {
        // In the sunlight the colour is not enough: the indicator says it in words, black on its colours.
        m_lblMutatie->setText(nieuw ? QStringLiteral("Nieuwe lijst") : QString());
        const QColor back
            = colours::toQColor(nieuw ? colours::sunlight::indicatorNew : colours::sunlight::page, palette());
        const QColor text = colours::toQColor(colours::sunlight::text, palette());
        m_lblMutatie->setStyleSheet(
            QStringLiteral("QLabel { background-color: %1; color: %2; border: 2px solid black; }")
                .arg(back.name(), text.name()));
        return;
    }
    m_lblMutatie->setText(QString());
    const QColor back = colours::toQColor(colour, palette());
    const QColor text = colours::toQColor(colours::systemWindowText, palette());
    m_lblMutatie->setStyleSheet(QStringLiteral("QLabel { background-color: %1; color: %2; border: 1px solid black; }")
                                    .arg(back.name(), text.name()));
}

void FrmBaldovenaar::showStatus(const StationStatus& status)
{
    m_statusLine->setStatus(statusText(status, m_station.clock().now()), statusTone(status));
    // The close waits a few seconds for the share without an event loop: the line is painted now, or never.
    if (status.closing)
        m_statusLine->repaint();
}

void FrmBaldovenaar::setButtons(const Station::Buttons& buttons)
{
    m_mnuOngedaanMaken->setEnabled(buttons.ongedaanMaken);
    m_mnuOpnieuw->setEnabled(buttons.opnieuw);
    m_mnuOpnieuwToepassen->setEnabled(buttons.opnieuwToepassen);
    for (HoldButton* button : m_btnVerplaatsregels)
        button->setEnabled(buttons.volgorde);
    m_btnKnop[knoppen::Wissel]->setEnabled(buttons.volgorde);
    m_btnKnop[knoppen::NietGestart]->setEnabled(buttons.nietGestart);
    m_btnKnop[knoppen::Verzenden]->setEnabled(buttons.verzenden);
}

void FrmBaldovenaar::Form_Resize()
{
    // The platform can deliver a resize while the window is still being built.
    if (!m_client || !m_picture1 || !m_lblMutatie || !m_lblTitel || !m_lblDatum || !m_lblBegintijd || !m_statusLine)
        return;
    const gridlayout::StripLayout strip = gridlayout::stripLayout(
        fromPixels(m_client->width()), fromPixels(m_lblMutatie->width()), fromPixels(m_lblTitel->x()));

    m_picture1->resize(toPixels(strip.stripWidth), m_picture1->height());
    for (QFrame* line : m_lines) {
        if (line)
            line->resize(std::max(0, toPixels(strip.lineX2) - line->x()), line->height());
    }
    m_lblMutatie->move(toPixels(strip.lblMutatieLeft), m_lblMutatie->y());
    // The status line along the bottom, within the window's margins; the grid has what is left above it.
    const int statusTop = m_client->height() - toPixels(gridlayout::edgeMargin + statusLineHeight);
    m_statusLine->setGeometry(m_grid1View->x(), statusTop,
        std::max(0, m_client->width() - m_grid1View->x() - toPixels(gridlayout::edgeMargin)),
        toPixels(statusLineHeight));
    for (QLabel* label : { m_lblTitel, m_lblDatum, m_lblBegintijd })
        label->resize(std::max(0, toPixels(strip.labelWidth)), label->height());

    adjust_grid();
}

void FrmBaldovenaar::adjust_grid()
{
    if (!m_grid1View || !m_client || !m_picTemp)
        return;
    const GridTable& table = m_station.working();

    const double size = gridlayout::fontSize(outerWidthPixels(*this), m_station.state().scale);
    m_picTemp->setFont(gridlayout::layoutFont(m_picTemp->font(), size));

    // A window too small for the grid leaves it at the size it had.
    const std::optional<int> height = gridlayout::gridExtent(
        fromPixels(m_client->height()) - statusLineHeight - statusLineGap, fromPixels(m_grid1View->y()));
    const std::optional<int> width
        = gridlayout::gridExtent(fromPixels(m_client->width()), fromPixels(m_grid1View->x()));
    m_grid1View->resize(
        width ? toPixels(*width) : m_grid1View->width(), height ? toPixels(*height) : m_grid1View->height());

    TextMeasurer measurer(m_picTemp->font());
    const gridlayout::ColumnWidths widths = gridlayout::columnWidths(
        gridlayout::naturalWidths(table, measurer), table.cols(), fromPixels(m_grid1View->width()));
    // FlexGrid takes the size over in whole pixels and derives the row height from it.
    m_station.layOutGrid(size, std::vector<std::optional<int>>(widths.begin(), widths.end()));
}

void FrmBaldovenaar::zoomStep(double factor)
{
    // The official chose a zoom: the first list keeps it.
    m_fitPending = false;
    m_station.setScale(gridlayout::zoomStep(m_station.state().scale, factor, outerWidthPixels(*this)));
    adjust_grid();
}

void FrmBaldovenaar::passend()
{
    // Without the office's list there are no names to fit (an empty line fits any font).
    if (!m_grid1View || !m_client || !m_picTemp || !m_station.state().klasbekend
        || m_station.listState() == ListState::Empty)
        return;
    m_fitPending = false;
    // The grid's width as the layout gives it at this window, whatever size the grid has now.
    const std::optional<int> width
        = gridlayout::gridExtent(fromPixels(m_client->width()), fromPixels(m_grid1View->x()));
    const GridTable& table = m_station.working();
    m_station.setScale(gridlayout::fitScale(gridlayout::measuredWidths(table, m_picTemp->font()), table.cols(),
        outerWidthPixels(*this), width ? *width : fromPixels(m_grid1View->width())));
    adjust_grid();
}

void FrmBaldovenaar::fitOnFirstList()
{
    // Without a saved zoom the first list is sized to the window, once it is on screen with its real width and
    // the office's list is read (until then the grid holds an empty line).
    if (!m_fitPending || !isVisible() || !m_station.listShown() || !m_station.state().klasbekend
        || m_station.working().rows() < 2)
        return;
    passend();
}

void FrmBaldovenaar::setZonlicht(bool on)
{
    applyZonlicht(on);
    saveSunlight(on);
}

void FrmBaldovenaar::applyZonlicht(bool on)
{
    m_zonlicht = on;
    m_mnuZonlicht->setChecked(on);
    // White behind everything, black bold text; the buttons keep their light face, black on it.
    setColour(m_client, QPalette::Window, on ? colours::sunlight::page : colours::systemButtonFace);
    setColour(m_picture1, QPalette::Window, on ? colours::sunlight::page : colours::buttonFaceBack);
    for (QLabel* label : { m_lblTitel, m_lblDatum, m_lblBegintijd })
        setColour(label, QPalette::WindowText, on ? colours::sunlight::text : colours::systemWindowText);
    m_grid1View->setSunlight(on);
    m_statusLine->setSunlight(on);
    // The layout measures what the grid draws: bold in the sunlight.
    QFont measuring = m_picTemp->font();
    measuring.setWeight(on ? QFont::Bold : QFont::Normal);
    m_picTemp->setFont(measuring);
    // The indicator widens for its words, leftwards from its place at the right edge.
    m_lblMutatie->setFont(arial(10, true));
    const int wide = QFontMetrics(m_lblMutatie->font()).horizontalAdvance(QStringLiteral("Nieuwe lijst")) + 16;
    m_lblMutatie->resize(on ? std::max(m_lblMutatieWidth, wide) : m_lblMutatieWidth, m_lblMutatie->height());
    m_shownNews.reset();
    showListNews(m_station.listNews());
    Form_Resize();
}

void FrmBaldovenaar::applyWindowSettings(const WindowSettings& settings)
{
    m_savedGeometry = settings.geometry;
    m_fitPending = !settings.scaleSaved;
    if (settings.sunlight != m_zonlicht)
        applyZonlicht(settings.sunlight);
    placeOnScreen();
    // Its normal place first: the state keeps it for when the official restores the window.
    if (settings.maximised)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void FrmBaldovenaar::placeOnScreen()
{
    // A maximised window has its place; moving it would take it out of that state.
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    if (m_savedGeometry) {
        // The window's minimum size as its layout has it now, not as it was while the client area was fixed at its
        // design size: a window the official made smaller than that comes back as small.
        if (layout())
            layout()->activate();
        QList<QRect> areas;
        for (const QScreen* screen : QGuiApplication::screens())
            areas << screen->availableGeometry();
        const QRect outer = frameGeometry();
        const QRect inner = geometry();
        const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom());
        if (const std::optional<QRect> placed
            = gridlayout::restoredGeometry(*m_savedGeometry, frame, minimumSize(), areas)) {
            setGeometry(*placed);
            return;
        }
    }
    centreOnScreen();
}

void FrmBaldovenaar::keepWindowPlacement()
{
    // Only a window the official has seen has a place to come back to.
    if (!m_shownOnce)
        return;
    const bool maximised = windowState() & Qt::WindowMaximized;
    const QRect normal = windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)
        ? normalGeometry()
        : geometry();
    if (normal.isValid())
        saveWindowPlacement(normal, maximised);
}

namespace {

// Where the guide may be, most likely first: installed beside the program's prefix (/usr/share/doc from
// /usr/bin), beside the program (a Windows folder), the source tree of a build, and where the package puts it.
QStringList handleidingCandidates()
{
    const QString program = QCoreApplication::applicationDirPath();
    return { QDir(program).filePath(QStringLiteral("../share/doc/baldovenaar/handleiding.md")),
        QDir(program).filePath(QStringLiteral("handleiding.md")),
        QStringLiteral(BALDOVENAAR_SOURCE_DIR "/docs/handleiding.md"),
        QStringLiteral("/usr/share/doc/baldovenaar/handleiding.md") };
}

} // namespace

void FrmBaldovenaar::openHandleiding()
{
    const QStringList candidates = handleidingCandidates();
    for (const QString& candidate : candidates) {
        if (!QFileInfo(candidate).isFile())
            continue;
        const QString path = QFileInfo(candidate).canonicalFilePath();
        const bool opened
            = m_options.openFile ? m_options.openFile(path) : QDesktopServices::openUrl(QUrl::fromLocalFile(path));
        if (!opened)
            showMessage(
                QStringLiteral("De handleiding kon niet worden geopend:\n%1").arg(QDir::toNativeSeparators(path)));
        return;
    }
    QStringList looked;
    for (const QString& candidate : candidates)
        looked << QDir::toNativeSeparators(QDir::cleanPath(candidate));
    showMessage(QStringLiteral("De handleiding is niet gevonden. Gezocht in:\n%1").arg(looked.join(u'\n')));
}

QString FrmBaldovenaar::overBaldovenaarText()
{
    return QStringLiteral("Baldovenaar, %1\n\nDe ringpost van het wedstrijdsecretariaat Korvalen 3.5: toont de "
                          "startvolgorde van de rubriek bij de ring, volgt het bestand van het secretariaat en stuurt "
                          "de wijzigingen van de ring terug.\n\nGebouwd met Qt %2.")
        .arg(programVersionText(), QString::fromLatin1(qVersion()));
}

void FrmBaldovenaar::overBaldovenaar()
{
    if (m_options.showMessage) {
        m_options.showMessage(overBaldovenaarText());
        return;
    }
    QMessageBox::about(this, QStringLiteral("Over Baldovenaar"), overBaldovenaarText());
}

// The wheel hook is an event filter on the application, installed at the start of the load handler and
// removed at the end of the unload handler. A filter on the window alone would miss most wheel events:
// Qt delivers them to the widget under the pointer (the grid's viewport, a button), and a widget that
// takes the event stops it there. The application filter sees each event before any widget does; it
// acts on those aimed at a widget of this window and consumes them, so the grid's own scroll area and
// scroll bar never scroll as well and every event moves exactly one row. Events for other windows (a
// message box, the open dialog, a menu's popup) pass untouched. Without a wheel mouse no wheel events
// arrive and the filter costs one type check per event.
void FrmBaldovenaar::ScrollMouse_HookForm()
{
    // Hooking twice would only install the same filter again; once is enough.
    if (m_wheelHooked || !qApp)
        return;
    qApp->installEventFilter(this);
    m_wheelHooked = true;
}

void FrmBaldovenaar::ScrollMouse_UnhookForm()
{
    if (!m_wheelHooked || !qApp)
        return;
    qApp->removeEventFilter(this);
    m_wheelHooked = false;
}

bool FrmBaldovenaar::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Wheel || !watched->isWidgetType())
        return QMainWindow::eventFilter(watched, event);
    const auto* target = static_cast<QWidget*>(watched);
    if (target->window() != this)
        return QMainWindow::eventFilter(watched, event);

    const auto* wheel = static_cast<QWheelEvent*>(event);
    // The modifiers are ignored: Shift, Ctrl or Alt with the wheel scroll like the plain wheel.
    const int direction = codeScrollMouse::ScrollMouse_Direction(wheel->angleDelta(), wheel->pixelDelta());
    const QPoint at = wheel->globalPosition().toPoint();

    // The window's controls in its control order; labels, lines and timers are no windows of their own
    // and are left out, as are grid(2) and grid(3), which have no widget at all.
    using codeScrollMouse::ControlKind;
    const QString btnKnop = QStringLiteral("btnKnop");
    const QString btnVerplaatsregels = QStringLiteral("btnVerplaatsregels");
    const std::vector<std::pair<QWidget*, codeScrollMouse::WheelControl>> controls = {
        { m_btnKnop[knoppen::Wissel], describe(m_btnKnop[knoppen::Wissel], ControlKind::Other, btnKnop) },
        { m_btnKnop[knoppen::NietGestart], describe(m_btnKnop[knoppen::NietGestart], ControlKind::Other, btnKnop) },
        { m_picture1, describe(m_picture1, ControlKind::PictureBox, QStringLiteral("Picture1")) },
        { m_btnKnop[knoppen::Groter], describe(m_btnKnop[knoppen::Groter], ControlKind::Other, btnKnop) },
        { m_btnKnop[knoppen::Openen], describe(m_btnKnop[knoppen::Openen], ControlKind::Other, btnKnop) },
        { m_btnKnop[knoppen::Kleiner], describe(m_btnKnop[knoppen::Kleiner], ControlKind::Other, btnKnop) },
        { m_btnKnop[knoppen::Verzenden], describe(m_btnKnop[knoppen::Verzenden], ControlKind::Other, btnKnop) },
        { m_btnVerplaatsregels[1], describe(m_btnVerplaatsregels[1], ControlKind::Other, btnVerplaatsregels) },
        { m_grid1View, describe(m_grid1View, ControlKind::Grid, QStringLiteral("grid")) },
        { m_picTemp, describe(m_picTemp, ControlKind::PictureBox, QStringLiteral("picTemp")) },
        { m_btnVerplaatsregels[0], describe(m_btnVerplaatsregels[0], ControlKind::Other, btnVerplaatsregels) },
    };
    std::vector<codeScrollMouse::WheelControl> described;
    described.reserve(controls.size());
    for (const auto& control : controls)
        described.push_back(control.second);

    const codeScrollMouse::WheelDecision decision
        = codeScrollMouse::ScrollMouse_ScrollUnderPointer(described, direction, at.x(), at.y());
    if (decision.control >= 0) {
        QWidget* control = controls[size_t(decision.control)].first;
        if (decision.giveFocus)
            control->setFocus(Qt::MouseFocusReason);
        if (decision.action == codeScrollMouse::WheelAction::ScrollGrid && control == m_grid1View)
            m_station.scrollGrid(direction);
    }
    return true;
}
