#include "frmbaldovenaar.h"

#include "beeldmenu.h"
#include "boardcommands.h"
#include "clock.h"
#include "colours.h"
#include "editmenu.h"
#include "flexgrid.h"
#include "focusframestyle.h"
#include "frmintro.h"
#include "gridlayout.h"
#include "gridzoom.h"
#include "helpmenu.h"
#include "holdbutton.h"
#include "keycommands.h"
#include "livecommands.h"
#include "logboekvenster.h"
#include "menuaction.h"
#include "messageboxes.h"
#include "mutatieindicator.h"
#include "resources.h"
#include "runorderfiledialog.h"
#include "statusline.h"
#include "touchtargets.h"
#include "twips.h"
#include "wheelhook.h"
#include "windowplacement.h"
#include "windowsettings.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <algorithm>

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
    m_zoom = new GridZoom(*this, *m_client, *m_grid1View, *m_picTemp, *m_statusLine, m_station);
    m_grid1View->setChangeMarks(&m_station.changeMarks());
    buildMenu();
    buildKeyboardCommands();
    // The starter in the ring, marked in the grid.
    m_grid1View->setMarkedRow(m_station.ringPointer().row());
    connect(&m_station, &Station::ringChanged, m_grid1View, &FlexGrid::setMarkedRow);
    connectStation();
    buildWheelHook();

    // Initial client area 915 × 608, centred on the screen (and shrunk to fit a smaller one).
    m_client->setFixedSize(toPixels(designClientWidth), toPixels(designClientHeight));
    adjustSize();
    m_client->setMinimumSize(0, 0);
    m_client->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    windowplacement::centreOnScreen(*this);
}

FrmBaldovenaar::~FrmBaldovenaar()
{
    // QWidget's destructor, which runs after this one, still hides the child widgets before it deletes
    // them: a move button held at that moment reports its lost hold, and a handler of this window would
    // then run on a window that is half gone. Nothing of the children reaches this window any more.
    for (QObject* child : findChildren<QObject*>())
        QObject::disconnect(child, nullptr, this, nullptr);
}

QPushButton* FrmBaldovenaar::styleButton(QPushButton* button)
{
    // Tab reaches a button that takes the focus at all; a click does not take the keyboard from the list (the
    // official's next key is a starter's number, F8 or an arrow, all meant for the list).
    if (button->focusPolicy() & Qt::ClickFocus)
        button->setFocusPolicy(Qt::TabFocus);
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
            m_station.showIn(*m_grid1View);
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
            m_lblMutatie = new MutatieIndicator(parent);
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
    m_statusLine->setFocusPolicy(Qt::NoFocus);

    // The send button shows its picture greyed by itself when it is off.
    m_btnKnop[knoppen::Verzenden]->setIcon(artwork::sendIcon());
    m_btnKnop[knoppen::Verzenden]->setIconSize(QSize(35, 26));
    m_lblMutatie->setNews(m_station.listNews());

    // The grid's events reach the station's selection, as for the whole group.
    connect(m_grid1View, &FlexGrid::mouseDown, this,
        [this](int button, int shift, int, int) { m_station.grid_MouseDown(mouseButton(button), modifiers(shift)); });
    connect(m_grid1View, &FlexGrid::mouseUp, this,
        [this](int button, int, int, int) { m_station.grid_MouseUp(mouseButton(button)); });
    connect(
        m_grid1View, &FlexGrid::keyDown, this, [this](int, int shift) { m_station.grid_KeyDown(modifiers(shift)); });
    connect(m_grid1View, &FlexGrid::keyUp, this, [this](int, int) { m_station.grid_KeyUp(); });
    connect(m_grid1View, &FlexGrid::selChange, this, [this] { m_station.grid_SelChange(); });
    // A starter dragged by its Volg cell lands where the station's moves take it; the Tijd cell's tooltip gives
    // the time the ring's pace expects; the rows of a crowded rider carry a mark.
    m_grid1View->setRowDrag([this](int from, int pointed) { return m_station.landingRow(from, pointed); });
    connect(m_grid1View, &FlexGrid::rowDragged, &m_station, &Station::verplaatsNaar);
    m_grid1View->setTimeTip([this](int row) { return m_station.expectedTip(row); });
    connect(&m_station, &Station::crowdedChanged, m_grid1View,
        [this] { m_grid1View->setWarnedRows(m_station.crowdedRows()); });
    // A finger must hit the move and edit buttons: at least nine millimetres on a touch screen.
    touchtargets::enlarge({ m_btnVerplaatsregels[0], m_btnVerplaatsregels[1], m_btnKnop[knoppen::Wissel],
                              m_btnKnop[knoppen::NietGestart], m_btnKnop[knoppen::Verzenden] },
        screen());

    // Tab order: grid(1), the strip's open and zoom buttons, the move buttons, swap, NG, send.
    QWidget* order[] = { m_grid1View, m_btnKnop[knoppen::Openen], m_btnKnop[knoppen::Kleiner],
        m_btnKnop[knoppen::Groter], m_btnVerplaatsregels[0], m_btnVerplaatsregels[1], m_btnKnop[knoppen::Wissel],
        m_btnKnop[knoppen::NietGestart], m_btnKnop[knoppen::Verzenden] };
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void FrmBaldovenaar::buildWheelHook()
{
    // The window's controls in its control order; labels, lines and timers are no windows of their own and are
    // left out, as are grid(2) and grid(3), which have no widget at all.
    using codeScrollMouse::ControlKind;
    const QString btnKnop = QStringLiteral("btnKnop");
    const QString btnVerplaatsregels = QStringLiteral("btnVerplaatsregels");
    m_wheelHook = new WheelHook(*this,
        { { m_btnKnop[knoppen::Wissel], ControlKind::Other, btnKnop },
            { m_btnKnop[knoppen::NietGestart], ControlKind::Other, btnKnop },
            { m_picture1, ControlKind::PictureBox, QStringLiteral("Picture1") },
            { m_btnKnop[knoppen::Groter], ControlKind::Other, btnKnop },
            { m_btnKnop[knoppen::Openen], ControlKind::Other, btnKnop },
            { m_btnKnop[knoppen::Kleiner], ControlKind::Other, btnKnop },
            { m_btnKnop[knoppen::Verzenden], ControlKind::Other, btnKnop },
            { m_btnVerplaatsregels[1], ControlKind::Other, btnVerplaatsregels },
            { m_grid1View, ControlKind::Grid, QStringLiteral("grid") },
            { m_picTemp, ControlKind::PictureBox, QStringLiteral("picTemp") },
            { m_btnVerplaatsregels[0], ControlKind::Other, btnVerplaatsregels } },
        m_grid1View, [this](int direction) { m_station.scrollGrid(direction); });
}

void FrmBaldovenaar::buildMenu()
{
    m_mnuBestand = menuBar()->addMenu(QStringLiteral("&Bestand"));
    m_mnuBestand->setObjectName(QStringLiteral("mnuBestand"));
    m_mnuBestandSub[0] = m_mnuBestand->addAction(QStringLiteral("&Openen"));
    m_mnuLogboek = addMenuAction(m_mnuBestand, QStringLiteral("mnuLogboek"), QStringLiteral("&Logboek openen"), {});
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
    m_editMenu = new EditMenu(m_mnuBewerken, m_station, [this](const QString& text) { return askQuestion(text); });

    m_beeldMenu = new BeeldMenu(
        *menuBar(), *this, m_station, *m_zoom, [this](bool on) { setZonlicht(on); }, [this] { keepKeyboardInList(); });
    connect(m_beeldMenu, &BeeldMenu::liveChanged, this, [this] { showStatus(m_station.status()); });
    m_helpMenu = new HelpMenu(
        *menuBar(), *this, [this](const QString& text) { showMessage(text); }, m_options.showMessage);
}

void FrmBaldovenaar::buildKeyboardCommands()
{
    m_mnuBestandSub[0]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    m_mnuBestandSub[0]->setShortcutContext(Qt::WindowShortcut);

    m_keyCommands = new KeyCommands(this, m_grid1View, m_station, this);

    // The buttons the Tab key reaches show clearly that they have the focus.
    auto* focusStyle = new FocusFrameStyle;
    focusStyle->setParent(this);
    for (QPushButton* button : m_btnKnop)
        button->setStyle(focusStyle);
}

void FrmBaldovenaar::toggleRuiterscherm()
{
    m_beeldMenu->board().toggle();
}

RiderBoard* FrmBaldovenaar::ruiterscherm() const
{
    return m_beeldMenu->board().board();
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
    connect(&m_station, &Station::listNewsChanged, m_lblMutatie, &MutatieIndicator::setNews);
    connect(&m_station, &Station::buttonsChanged, this, &FrmBaldovenaar::setButtons);
    connect(&m_station, &Station::lineMoved, this, [this] { m_grid1View->setFocus(Qt::OtherFocusReason); });
    connect(&m_station, &Station::message, this, &FrmBaldovenaar::showMessage);
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
    m_wheelHook->hook();
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
    // Only a window the official has seen has a place to come back to.
    if (m_shownOnce)
        windowplacement::keep(*this);
    // The board, the live page, the log and the guide go with the station they show.
    m_beeldMenu->close();
    if (m_logboek)
        m_logboek->close();
    m_helpMenu->close();
    m_station.unload();
    m_wheelHook->unhook();
}

bool FrmBaldovenaar::mayLeaveTheClass(Leaving leaving)
{
    return !m_station.hasUnsentWork() || askQuestion(messageboxes::leaveQuestion(leaving == Leaving::Close));
}

bool FrmBaldovenaar::askQuestion(const QString& text)
{
    const bool answer = m_options.askQuestion ? m_options.askQuestion(text) : messageboxes::ask(this, text);
    keepKeyboardInList();
    return answer;
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
    keepKeyboardInList();
}

void FrmBaldovenaar::openLogboek()
{
    if (!m_logboek)
        m_logboek = new LogboekVenster(m_station.dayLog(), this);
    else
        m_logboek->showToday();
    m_logboek->show();
    m_logboek->raise();
    m_logboek->activateWindow();
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
        m_zoom->zoomStep(gridlayout::zoomOutFactor);
        break;
    case knoppen::Groter:
        m_zoom->zoomStep(gridlayout::zoomInFactor);
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
    keepKeyboardInList();
}

void FrmBaldovenaar::keepKeyboardInList()
{
    if (isUnloaded() || !m_grid1View)
        return;
    // A box the official just answered took the activation along when it closed: the window takes it back.
    if (!QApplication::activeWindow() && isVisible())
        activateWindow();
    // The empty view has no list: the open button then has the keyboard, as at the start.
    if (m_grid1View->isVisibleTo(this))
        m_grid1View->setFocus(Qt::OtherFocusReason);
    else
        m_btnKnop[knoppen::Openen]->setFocus(Qt::OtherFocusReason);
}

void FrmBaldovenaar::btnVerplaatsregels_MouseUp()
{
    m_station.releaseMove();
    keepKeyboardInList();
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
    if (m_zoom)
        m_zoom->windowResized();
}

void FrmBaldovenaar::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    // The frame is known only now: place the whole window and lay out again with the real outer width.
    windowplacement::placeOnScreen(*this, m_savedGeometry);
    Form_Resize();
    m_zoom->fitOnFirstList();
    if (m_grid1View->isVisible())
        m_grid1View->setFocus(Qt::OtherFocusReason);
    else
        m_btnKnop[knoppen::Openen]->setFocus(Qt::OtherFocusReason);
}

void FrmBaldovenaar::showMessage(const QString& text)
{
    if (m_options.showMessage)
        m_options.showMessage(text);
    else
        messageboxes::tell(this, text);
    keepKeyboardInList();
}

void FrmBaldovenaar::showStatus(const StationStatus& status)
{
    const QString text = statusText(status, m_station.clock().now());
    const QString live = m_beeldMenu ? m_beeldMenu->live().problem() : QString();
    if (live.isEmpty())
        m_statusLine->setStatus(text, statusTone(status));
    else
        m_statusLine->setStatus(text.isEmpty() ? live : text + QStringLiteral(" · ") + live, StatusTone::Warning);
    // The close waits a few seconds for the share without an event loop: the line is painted now, or never.
    if (status.closing)
        m_statusLine->repaint();
}

void FrmBaldovenaar::setButtons(const Station::Buttons& buttons)
{
    for (HoldButton* button : m_btnVerplaatsregels)
        button->setEnabled(buttons.volgorde);
    m_grid1View->setRowDragEnabled(buttons.volgorde);
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
    for (QLabel* label : { m_lblTitel, m_lblDatum, m_lblBegintijd })
        label->resize(std::max(0, toPixels(strip.labelWidth)), label->height());

    if (m_zoom)
        m_zoom->adjust_grid();
}

void FrmBaldovenaar::setZonlicht(bool on)
{
    applyZonlicht(on);
    saveSunlight(on);
    // Bold letters are wider: the names are fitted again, so they stay whole.
    if (m_station.listShown())
        m_zoom->fit();
}

void FrmBaldovenaar::applyZonlicht(bool on)
{
    m_zonlicht = on;
    m_beeldMenu->showZonlicht(on);
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
    m_lblMutatie->setSunlight(on, m_lblMutatieWidth);
    Form_Resize();
}

void FrmBaldovenaar::applyWindowSettings(const WindowSettings& settings)
{
    m_savedGeometry = settings.geometry;
    m_zoom->setFitPending(!settings.scaleSaved);
    if (settings.sunlight != m_zonlicht)
        applyZonlicht(settings.sunlight);
    windowplacement::placeOnScreen(*this, m_savedGeometry);
    // Its normal place first: the state keeps it for when the official restores the window. With no place
    // saved (the first start) the window fills the screen; its normal size stays the designed one.
    if (settings.maximised || (!settings.geometry && m_options.maximiseAtFirstStart))
        setWindowState(windowState() | Qt::WindowMaximized);
}
