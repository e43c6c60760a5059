#include "windowfixture.h"

#include "columns.h"
#include "flexgrid.h"
#include "holdbutton.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace testsupport {

WindowFixture::~WindowFixture()
{
    m_window.reset();
}

Station& WindowFixture::makeStation(int settleTime)
{
    m_window.reset();
    return StationFixture::makeStation(settleTime);
}

void WindowFixture::destroyStation()
{
    m_window.reset();
    StationFixture::destroyStation();
}

FrmBaldovenaar& WindowFixture::makeWindow(bool show, bool qtDialog, int settleTime)
{
    Station& station = makeStation(settleTime);
    FrmBaldovenaar::Options options;
    options.showSplash = false;
    if (!qtDialog) {
        options.chooseFile = [this](const QString& title, const QString& folder, const QString& filter) {
            dialogCalls.append({ title, folder, filter });
            return answer;
        };
    }
    if (!realMessageBoxes)
        options.showMessage = [this](const QString& text) { messages << text; };
    options.askQuestion = [this](const QString& text) {
        questions << text;
        return answerYes;
    };
    options.maximiseAtFirstStart = maximiseAtFirstStart;
    m_window = std::make_unique<FrmBaldovenaar>(station, std::move(options));
    // The station's own messages reach the official through the window.
    QObject::disconnect(&station, &Station::message, &station, nullptr);
    m_window->Form_Load();
    if (show) {
        m_window->show();
        if (!QTest::qWaitForWindowExposed(m_window.get()))
            qWarning("the main window was not exposed");
    }
    return *m_window;
}

bool WindowFixture::openClass(const QByteArray& bytes, const QString& classId)
{
    if (!publish(bytes, classId))
        return false;
    answer = classPath(classId);
    m_window->kiesbestand();
    return true;
}

QPushButton* WindowFixture::button(knoppen::Knop knop) const
{
    return m_window->findChild<QPushButton*>(QStringLiteral("btnKnop%1").arg(int(knop)));
}

HoldButton* WindowFixture::moveButton(regels::Richting richting) const
{
    return m_window->findChild<HoldButton*>(QStringLiteral("btnVerplaatsregels%1").arg(int(richting)));
}

FlexGrid* WindowFixture::grid() const
{
    return m_window->findChild<FlexGrid*>(QStringLiteral("grid1"));
}

QLabel* WindowFixture::label(const QString& name) const
{
    return m_window->findChild<QLabel*>(name);
}

void WindowFixture::clickRow(int row, Qt::KeyboardModifiers modifiers)
{
    FlexGrid* view = grid();
    view->ensureRowVisible(row);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, view->cellRect(row, column::FirstShared).center());
}

} // namespace testsupport
