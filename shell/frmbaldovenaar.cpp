#include "frmbaldovenaar.h"

#include "clock.h"
#include "codepaden.h"
#include "colours.h"
#include "columns.h"
#include "flexgrid.h"
#include "frmintro.h"
#include "gridlayout.h"
#include "holdbutton.h"
#include "resources.h"
#include "runorderfile.h"
#include "runorderfiledialog.h"
#include "runorderloader.h"
#include "twips.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>
#include <cmath>

namespace {

int px(int value)
{
    return twips::toPixels(value);
}

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

} // namespace

FrmBaldovenaar::FrmBaldovenaar(QWidget* parent)
    : FrmBaldovenaar(Options(), parent)
{
}

FrmBaldovenaar::FrmBaldovenaar(Options options, QWidget* parent)
    : QMainWindow(parent)
    , m_options(std::move(options))
{
    setObjectName(QStringLiteral("frmBaldovenaar"));
    if (m_options.clock) {
        m_clock = m_options.clock;
    } else {
        m_ownClock = std::make_unique<platform::SystemClock>();
        m_clock = m_ownClock.get();
    }
    m_grid1Table = new GridTable(this);
    m_grid1Table->setObjectName(QStringLiteral("grid1"));
    m_grid2 = new GridTable(this);
    m_grid2->setObjectName(QStringLiteral("grid2"));
    m_grid3 = new GridTable(this);
    m_grid3->setObjectName(QStringLiteral("grid3"));
    for (GridTable* grid : { m_grid1Table, m_grid2, m_grid3 }) {
        // The grids as designed, before the load handler sets them up for a running order.
        grid->setRows(2);
        grid->setCols(column::Count);
    }

    artwork::ensureLoaded();
    setWindowTitle(RunOrderLoader::plainCaption());
    setWindowIcon(artwork::windowIcon());
    buildControls();
    buildMenu();

    m_loader = std::make_unique<RunOrderLoader>(
        m_state, *m_grid1Table, *m_grid2, *m_grid3, static_cast<RunOrderView&>(*this), *m_clock);
    m_loader->setSettleTime(m_options.settleTime);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(5000);
    connect(m_timer1, &QTimer::timeout, this, &FrmBaldovenaar::Timer1_Timer);

    m_settleTimer = new QTimer(this);
    m_settleTimer->setObjectName(QStringLiteral("settleTimer"));
    m_settleTimer->setSingleShot(true);
    connect(m_settleTimer, &QTimer::timeout, this, &FrmBaldovenaar::Timer1_Timer);

    m_timerRegelsVerplaatsen = new QTimer(this);
    m_timerRegelsVerplaatsen->setObjectName(QStringLiteral("TimerRegelsVerplaatsen"));
    m_timerRegelsVerplaatsen->setInterval(100);
    connect(m_timerRegelsVerplaatsen, &QTimer::timeout, this, &FrmBaldovenaar::TimerRegelsVerplaatsen_Timer);

    // Initial client area 915 × 608, centred on the screen (and shrunk to fit a smaller one).
    m_client->setFixedSize(px(designClientWidth), px(designClientHeight));
    adjustSize();
    m_client->setMinimumSize(0, 0);
    m_client->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    centreOnScreen();
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

FrmBaldovenaar::~FrmBaldovenaar()
{
    // QWidget's destructor, which runs after this one, still hides the child widgets before it deletes
    // them: an arrow button held at that moment reports its lost hold, and a handler of this window would
    // then run on a window that is half gone. Nothing of the children reaches this window any more.
    for (QObject* child : findChildren<QObject*>())
        QObject::disconnect(child, nullptr, this, nullptr);
}

QPushButton* FrmBaldovenaar::makeButton(
    QWidget* container, const QString& name, int left, int top, int width, int height, QPushButton* button)
{
    if (!button)
        button = new QPushButton(container);
    button->setObjectName(name);
    button->setGeometry(px(left), px(top), px(width), px(height));
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

    // Bottom of the z-order first: later children are drawn over earlier ones.
    m_lblTitel = new QLabel(m_client);
    m_lblTitel->setObjectName(QStringLiteral("lblTitel"));
    m_lblTitel->setGeometry(px(3720), px(600), px(7815), px(495));
    m_lblTitel->setFont(arial(20.25, true));
    m_lblDatum = new QLabel(m_client);
    m_lblDatum->setObjectName(QStringLiteral("lblDatum"));
    m_lblDatum->setGeometry(px(3720), px(1080), px(7815), px(345));
    m_lblDatum->setFont(arial(14.25, true));
    m_lblBegintijd = new QLabel(m_client);
    m_lblBegintijd->setObjectName(QStringLiteral("lblBegintijd"));
    m_lblBegintijd->setGeometry(px(3720), px(1410), px(7815), px(345));
    m_lblBegintijd->setFont(arial(14.25, true));
    for (QLabel* label : { m_lblTitel, m_lblDatum, m_lblBegintijd }) {
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setFrameShape(QFrame::Box); // removed by the load handler
        label->setAttribute(Qt::WA_TranslucentBackground);
        setColour(label, QPalette::WindowText, colours::systemWindowText);
    }

    m_btnVerplaatsregels[0] = new HoldButton(m_client);
    makeButton(m_client, QStringLiteral("btnVerplaatsregels0"), 120, 720, 495, 460, m_btnVerplaatsregels[0]);
    m_btnVerplaatsregels[0]->setIcon(artwork::moveUpPicture());
    m_btnVerplaatsregels[0]->setToolTip(QStringLiteral("verplaats rij omhoog"));

    m_picTemp = new QWidget(m_client);
    m_picTemp->setObjectName(QStringLiteral("picTemp"));
    m_picTemp->setGeometry(px(9720), px(2640), px(1815), px(375));
    m_picTemp->setFont(arial(8.25, false));
    setColour(m_picTemp, QPalette::Window, colours::systemWindow);
    m_picTemp->setFocusPolicy(Qt::NoFocus);
    m_picTemp->hide();

    m_grid1 = new FlexGrid(m_client);
    m_grid1->setObjectName(QStringLiteral("grid1"));
    m_grid1->setGeometry(px(120), px(1800), px(4695), px(2655));
    m_grid1->setTable(m_grid1Table);
    // The grid's events reach the window's handlers with the grid's index, as for the whole group.
    connect(m_grid1, &FlexGrid::mouseDown, this,
        [this](int button, int shift, int x, int y) { grid_MouseDown(1, button, shift, x, y); });
    connect(m_grid1, &FlexGrid::mouseUp, this,
        [this](int button, int shift, int x, int y) { grid_MouseUp(1, button, shift, x, y); });
    connect(m_grid1, &FlexGrid::keyDown, this, [this](int keyCode, int shift) { grid_KeyDown(1, keyCode, shift); });
    connect(m_grid1, &FlexGrid::keyUp, this, [this](int keyCode, int shift) { grid_KeyUp(1, keyCode, shift); });
    connect(m_grid1, &FlexGrid::selChange, this, [this] { grid_SelChange(1); });

    m_btnVerplaatsregels[1] = new HoldButton(m_client);
    makeButton(m_client, QStringLiteral("btnVerplaatsregels1"), 120, 1170, 495, 445, m_btnVerplaatsregels[1]);
    m_btnVerplaatsregels[1]->setIcon(artwork::moveDownPicture());
    m_btnVerplaatsregels[1]->setToolTip(QStringLiteral("verplaats rij omlaag"));

    m_btnKnop[4] = makeButton(m_client, QStringLiteral("btnKnop4"), 2280, 720, 855, 900);
    m_btnKnop[4]->setIcon(artwork::sendIcon());
    m_btnKnop[4]->setIconSize(QSize(35, 26));
    m_btnKnop[4]->setToolTip(QStringLiteral("Verzend wijziging naar hoofd- en satelletprogramma"));

    m_picture1 = new QWidget(m_client);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    m_picture1->setGeometry(0, 0, px(10575), px(495));
    m_picture1->setAutoFillBackground(true);
    setColour(m_picture1, QPalette::Window, colours::buttonFaceBack);
    // The etched rules of the strip: grey then white at its top and at its bottom edge.
    const struct
    {
        const char* name;
        int y;
        quint32 colour;
    } lines[] = { { "Line1", 0, 0x00808080 }, { "Line2", 15, colours::white }, { "Line3", 465, 0x00808080 },
        { "Line4", 480, colours::white } };
    for (size_t i = 0; i < 4; ++i) {
        auto* line = new QFrame(m_picture1);
        line->setObjectName(QLatin1String(lines[i].name));
        line->setGeometry(0, px(lines[i].y), px(600), 1);
        line->setStyleSheet(colourSheet("QFrame", lines[i].colour));
        line->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_lines[i] = line;
    }
    m_lblMutatie = new QLabel(m_picture1);
    m_lblMutatie->setObjectName(QStringLiteral("lblMutatie"));
    m_lblMutatie->setGeometry(px(2760), px(45), px(375), px(375));
    m_lblMutatie->setToolTip(QStringLiteral("Mutatie"));
    setMutatieColour(colours::white);

    m_btnKnop[2] = makeButton(m_picture1, QStringLiteral("btnKnop2"), 720, 45, 495, 375);
    m_btnKnop[2]->setText(QStringLiteral("a"));
    m_btnKnop[2]->setFont(arial(9, true));
    m_btnKnop[0] = makeButton(m_picture1, QStringLiteral("btnKnop0"), 60, 45, 495, 375);
    m_btnKnop[0]->setIcon(artwork::openPicture());
    m_btnKnop[3] = makeButton(m_picture1, QStringLiteral("btnKnop3"), 1200, 45, 495, 375);
    m_btnKnop[3]->setText(QStringLiteral("a"));
    m_btnKnop[3]->setFont(arial(15.75, true));

    m_btnKnop[1] = makeButton(m_client, QStringLiteral("btnKnop1"), 1320, 720, 855, 900);
    m_btnKnop[1]->setText(QStringLiteral("NG"));
    m_btnKnop[1]->setFont(arial(15.75, true));
    m_btnKnop[1]->setToolTip(QStringLiteral("Meld als \"Niet Gestart\""));
    m_btnKnop[5] = makeButton(m_client, QStringLiteral("btnKnop5"), 720, 720, 495, 900);
    m_btnKnop[5]->setIcon(artwork::swapPicture());
    m_btnKnop[5]->setToolTip(QStringLiteral("Wissel 2 rijen om"));

    for (int index = 0; index < 6; ++index) {
        connect(m_btnKnop[size_t(index)], &QPushButton::clicked, this, [this, index] { btnKnop_Click(index); });
    }
    for (int index = 0; index < 2; ++index) {
        HoldButton* button = m_btnVerplaatsregels[size_t(index)];
        connect(button, &HoldButton::mouseDown, this,
            [this, index](int mouseButton) { btnVerplaatsregels_MouseDown(index, mouseButton); });
        connect(button, &HoldButton::mouseUp, this,
            [this, index](int mouseButton) { btnVerplaatsregels_MouseUp(index, mouseButton); });
        connect(button, &HoldButton::holdLost, this, [this] { btnVerplaatsregels_MouseUp(-1, 0); });
    }

    // Tab order: grid(1), the strip's open and zoom buttons, the move buttons, swap, NG, send.
    QWidget* order[] = { m_grid1, m_btnKnop[0], m_btnKnop[2], m_btnKnop[3], m_btnVerplaatsregels[0],
        m_btnVerplaatsregels[1], m_btnKnop[5], m_btnKnop[1], m_btnKnop[4] };
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void FrmBaldovenaar::buildMenu()
{
    m_mnuBestand = menuBar()->addMenu(QStringLiteral("&Bestand"));
    m_mnuBestand->setObjectName(QStringLiteral("mnuBestand"));
    m_mnuBestandSub[0] = m_mnuBestand->addAction(QStringLiteral("&Openen"));
    m_mnuBestandSub[2] = m_mnuBestand->addSeparator();
    m_mnuBestandSub[3] = m_mnuBestand->addAction(QStringLiteral("&Afsluiten"));
    for (int index : { 0, 2, 3 }) {
        QAction* action = m_mnuBestandSub[size_t(index)];
        action->setObjectName(QStringLiteral("mnuBestandSub%1").arg(index));
        connect(action, &QAction::triggered, this, [this, index] { mnuBestandSub_Click(index); });
    }
    // A top-level item with no drop-down and no action.
    m_mnuHelp = menuBar()->addAction(QStringLiteral("&Help"));
    m_mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
}

void FrmBaldovenaar::setUpGrid(GridTable& grid)
{
    grid.setFixedCols(0);
    grid.setFixedRows(0);
    grid.setCols(column::Count);
    grid.setRows(2);
    grid.setFixedRows(1);
    grid.setFontName(QStringLiteral("Arial"));
    for (int c = 0; c < column::Count; ++c)
        grid.setColAlignment(c, column::alignment(c));
}

GridTable& FrmBaldovenaar::gridTable(int index)
{
    switch (index) {
    case 2:
        return *m_grid2;
    case 3:
        return *m_grid3;
    default:
        return *m_grid1Table;
    }
}

void FrmBaldovenaar::Form_Load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    ScrollMouse_HookForm();
    bepaalpaden(m_state);
    leesinstellingen(m_state);
    if (m_options.showSplash)
        FrmIntro::showModal();
    if (m_unloaded)
        return; // stopped while the splash showed
    for (QLabel* label : { m_lblTitel, m_lblDatum, m_lblBegintijd })
        label->setFrameShape(QFrame::NoFrame);
    for (GridTable* grid : { m_grid1Table, m_grid2, m_grid3 })
        setUpGrid(*grid);
    QFont measuring = m_picTemp->font();
    measuring.setFamily(QStringLiteral("Arial"));
    m_picTemp->setFont(measuring);
    toonbestand(true);
    m_timer1->start();
}

void FrmBaldovenaar::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_timer1->stop();
    m_settleTimer->stop();
    stopVerplaatsen();
    runWismutaties();
    bewaarinstellingen(m_state);
    ScrollMouse_UnhookForm();
}

void FrmBaldovenaar::toonbestand(bool forceer)
{
    m_loader->toonbestand(forceer);
}

void FrmBaldovenaar::Timer1_Timer()
{
    if (m_state.timerbezig)
        return;
    m_state.timerbezig = true;
    toonbestand(false);
    m_state.timerbezig = false;
}

void FrmBaldovenaar::lookAgainAfter(int milliseconds)
{
    // The open command stops this timer with Timer1 while its dialog is up.
    if (!m_unloaded)
        m_settleTimer->start(milliseconds);
}

void FrmBaldovenaar::kiesbestand()
{
    m_timer1->stop();
    m_settleTimer->stop();
    if (!m_state.bestandspad.isEmpty()) {
        splitspad(m_state);
    } else {
        m_state.bestandsmap = m_state.gedeeldemap;
    }

    const QString title = QStringLiteral("Kies het gedeelde bestand...");
    // Qt splits a filter's patterns at spaces; "?" stands for the space and offers the same names.
    const QString filter = QStringLiteral("baldovenaar bestanden (baldovenaar?rst-*.dvz)");
    const std::optional<QString> chosen = m_options.chooseFile
        ? m_options.chooseFile(title, m_state.bestandsmap, filter)
        : chooseWithQtDialog(this, title, m_state.bestandsmap, filter);
    // Stopped while the dialog was up: the unload has saved the settings and cleared the files; nothing
    // may follow it.
    if (m_unloaded)
        return;
    if (chosen) {
        // The mutation files of the class followed so far go before another class is followed.
        runWismutaties();
        m_loader->startNewFile();
        m_state.bestandspad = *chosen;
        toonbestand(true);
    }
    splitspad(m_state);
    runWismutaties();
    m_timer1->start();
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

void FrmBaldovenaar::btnKnop_Click(int index)
{
    switch (index) {
    case 0:
        kiesbestand();
        break;
    case 2:
        zoomStep(0.9);
        break;
    case 3:
        zoomStep(1.2);
        break;
    case 1:
        wisselnietgestart();
        break;
    case 4:
        verzendmutatie();
        break;
    case 5:
        wisselrijen();
        break;
    default:
        break;
    }
}

void FrmBaldovenaar::stop()
{
    // Boxes open one over the other are answered from the top; one that stays (it refuses) ends the round,
    // and the window closes under it.
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
    // The frame is known only now: centre the whole window and lay out again with the real outer width.
    centreOnScreen();
    Form_Resize();
    if (m_grid1->isVisible())
        m_grid1->setFocus(Qt::OtherFocusReason);
    else
        m_btnKnop[0]->setFocus(Qt::OtherFocusReason);
}

void FrmBaldovenaar::setCaption(const QString& caption)
{
    setWindowTitle(caption);
}

void FrmBaldovenaar::setGridVisible(bool visible)
{
    // Before the window is first shown, "visible" is the state it will have once shown.
    m_grid1->setVisible(visible);
    // The empty view offers nothing to edit or send: the buttons would act on a hidden, stale list.
    // They come back once the list shows again (zetknoppen and controleerwijzigingen follow).
    if (!visible) {
        setEditButtonsEnabled(false, false);
        m_btnKnop[4]->setEnabled(false);
    }
}

void FrmBaldovenaar::setLabels(const QString& titel, const QString& datum, const QString& begintijd)
{
    m_lblTitel->setText(titel);
    m_lblDatum->setText(datum);
    m_lblBegintijd->setText(begintijd);
}

void FrmBaldovenaar::setMutatieColour(quint32 colour)
{
    // Every check that finds the file sets the colour; a style sheet set anew restyles the label.
    if (colour == m_mutatieColour && !m_lblMutatie->styleSheet().isEmpty())
        return;
    m_mutatieColour = colour;
    const QColor back = colours::toQColor(colour, palette());
    const QColor text = colours::toQColor(colours::systemWindowText, palette());
    m_lblMutatie->setStyleSheet(QStringLiteral("QLabel { background-color: %1; color: %2; border: 1px solid black; }")
                                    .arg(back.name(), text.name()));
}

void FrmBaldovenaar::adjustGrid()
{
    adjust_grid(m_grid1);
}

void FrmBaldovenaar::refreshSelection()
{
    GridMultiSelect_Refresh();
}
