#include "fadein.h"
#include "frmintro.h"
#include "transparency.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QList>
#include <QMessageLogContext>
#include <QPixmap>
#include <QRect>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace {

QtMessageHandler& earlierHandler()
{
    static QtMessageHandler handler = nullptr;
    return handler;
}

// The offscreen platform has no window opacity and says so at every fade step; the opacity itself is still
// kept by the widget, which is what these tests read.
void withoutOpacityNotice(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("does not support setting window opacity")))
        return;
    if (earlierHandler())
        earlierHandler()(type, context, message);
}

} // namespace

// The splash window: its fade, its version line, its shape and controls, and that it closes by itself.
class TestSplash : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { earlierHandler() = qInstallMessageHandler(withoutOpacityNotice); }
    void fadeClimbsInFivesToExactlyOpaque();
    void alphaBecomesWindowOpacity_data();
    void alphaBecomesWindowOpacity();
    void versionTextJoinsThreeNumbers_data();
    void versionTextJoinsThreeNumbers();
    void windowIsBorderlessCentredAndPictureSized();
    void labels_data();
    void labels();
    void fadeStopsOnceOpaque();
    void closingMidFadeKeepsTheFadeWhereItWas();
    void closesByItselfAfterThreeSeconds();
};

void TestSplash::fadeClimbsInFivesToExactlyOpaque()
{
    FadeIn fade;
    QList<int> levels;
    for (int tick = 0; tick < 60; ++tick)
        levels << fade.step();

    QCOMPARE(levels.first(), 4);
    QCOMPARE(levels.at(1), 9);
    QCOMPARE(levels.at(50), 254);
    QCOMPARE(levels.at(51), 255);
    for (int tick = 0; tick < levels.size(); ++tick) {
        QVERIFY2(levels.at(tick) <= 255, qPrintable(QStringLiteral("tick %1").arg(tick + 1)));
        QCOMPARE(levels.at(tick) == 255, tick >= 51);
    }

    fade.reset();
    QVERIFY(!fade.done());
    QCOMPARE(fade.step(), 4);
}

void TestSplash::alphaBecomesWindowOpacity_data()
{
    QTest::addColumn<int>("alpha");
    QTest::addColumn<qreal>("opacity");
    QTest::newRow("invisible at load") << 0 << 0.0;
    QTest::newRow("first fade step") << 4 << 4 / 255.0;
    QTest::newRow("last step before opaque") << 254 << 254 / 255.0;
    QTest::newRow("opaque is exactly one") << 255 << 1.0;
}

void TestSplash::alphaBecomesWindowOpacity()
{
    QFETCH(int, alpha);
    QFETCH(qreal, opacity);
    QWidget window;
    Transparency_SetAlpha(&window, 128);
    Transparency_SetAlpha(&window, static_cast<quint8>(alpha));
    QVERIFY(qAbs(window.windowOpacity() - opacity) < 0.5 / 255);
    if (alpha == 255)
        QCOMPARE(window.windowOpacity(), 1.0);

    Transparency_SetAlpha(nullptr, static_cast<quint8>(alpha)); // no window: nothing happens
}

void TestSplash::versionTextJoinsThreeNumbers_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("revision");
    QTest::addColumn<QString>("text");
    QTest::newRow("four-digit revision") << 3 << 5 << 1026 << QStringLiteral("versie 3.5.1026");
    QTest::newRow("zero revision, no leading zeros") << 3 << 5 << 0 << QStringLiteral("versie 3.5.0");
    QTest::newRow("two-digit parts") << 10 << 12 << 7 << QStringLiteral("versie 10.12.7");
}

void TestSplash::versionTextJoinsThreeNumbers()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, revision);
    QFETCH(QString, text);
    QCOMPARE(versionText(major, minor, revision), text);
}

void TestSplash::windowIsBorderlessCentredAndPictureSized()
{
    FrmIntro intro;
    intro.show();
    QVERIFY(QTest::qWaitForWindowExposed(&intro));

    QCOMPARE(intro.objectName(), QStringLiteral("frmIntro"));
    QVERIFY(intro.windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(intro.size(), QSize(576, 363));
    QCOMPARE(intro.minimumSize(), intro.maximumSize());
    QVERIFY(!intro.testAttribute(Qt::WA_QuitOnClose));

    const QPoint screenCentre = intro.screen()->geometry().center();
    QVERIFY((intro.frameGeometry().center() - screenCentre).manhattanLength() <= 2);

    const auto* image = intro.findChild<QLabel*>(QStringLiteral("Image1"));
    QVERIFY(image);
    QCOMPARE(image->geometry(), QRect(0, 0, 576, 363));
    QCOMPARE(image->pixmap().deviceIndependentSize().toSize(), QSize(576, 363));
    QVERIFY(!image->hasScaledContents());

    const auto* timer1 = intro.findChild<QTimer*>(QStringLiteral("Timer1"));
    const auto* timer2 = intro.findChild<QTimer*>(QStringLiteral("Timer2"));
    QVERIFY(timer1 && timer2);
    QCOMPARE(timer1->interval(), 3000);
    QVERIFY(timer1->isSingleShot() && timer1->isActive());
    QCOMPARE(timer2->interval(), 10);
    QVERIFY(timer2->isActive());
}

void TestSplash::labels_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<qreal>("points");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("onWhite");
    QTest::addColumn<bool>("rightAligned");

    QTest::newRow("Label1 product name") << "Label1"
                                         << "Korvalen 3.5" << QRect(8, 8, 313, 41) << 26.25 << true << false << false;
    QTest::newRow("Label3 suite and station")
        << "Label3"
        << "Korvalen | Baldovenaar" << QRect(296, 32, 265, 25) << 9.75 << true << false << true;
    // The build's version, from the project's version in the top-level CMakeLists.
    QTest::newRow("Label2 version") << "Label2"
                                    << "versie 3.5.1" << QRect(8, 64, 105, 17) << 8.25 << false << false << false;
    QTest::newRow("Label5 credits") << "Label5"
                                    << "Ontwerp en realisatie: " << QRect(8, 320, 241, 17) << 8.25 << false << true
                                    << false;
    QTest::newRow("Label6 website") << "Label6"
                                    << "Website: " << QRect(8, 336, 265, 17) << 8.25 << false << true << false;
}

void TestSplash::labels()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QRect, geometry);
    QFETCH(qreal, points);
    QFETCH(bool, bold);
    QFETCH(bool, onWhite);
    QFETCH(bool, rightAligned);

    FrmIntro intro;
    intro.show();
    const auto* label = intro.findChild<QLabel*>(name);
    QVERIFY(label);

    if (onWhite)
        QVERIFY2(label->text().startsWith(text) && label->text().size() > text.size(), qPrintable(label->text()));
    else
        QCOMPARE(label->text(), text);
    QCOMPARE(label->geometry(), geometry);
    QCOMPARE(label->font().family(), QStringLiteral("Verdana"));
    QCOMPARE(label->font().pointSizeF(), points);
    QCOMPARE(label->font().weight(), bold ? QFont::Bold : QFont::Normal);
    QCOMPARE(label->font().bold(), bold);
    QCOMPARE(label->autoFillBackground(), onWhite);
    if (onWhite)
        QCOMPARE(label->palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(label->alignment().testFlag(Qt::AlignRight), rightAligned);

    // Readable in full: the text fits its label, and the label lies over the picture, not under it.
    QVERIFY2(
        QFontMetrics(label->font()).horizontalAdvance(label->text()) <= geometry.width(), qPrintable(label->text()));
    QCOMPARE(intro.childAt(geometry.center()), label);
}

void TestSplash::fadeStopsOnceOpaque()
{
    FrmIntro intro;
    intro.show();
    const auto* timer2 = intro.findChild<QTimer*>(QStringLiteral("Timer2"));
    QCOMPARE(intro.windowOpacity(), 0.0);

    for (int tick = 1; tick <= 51; ++tick)
        intro.timer2Tick();
    QVERIFY(timer2->isActive());
    QVERIFY(intro.windowOpacity() < 1.0);

    intro.timer2Tick();
    QCOMPARE(intro.windowOpacity(), 1.0);
    QVERIFY(!timer2->isActive());
    QVERIFY(intro.isVisible()); // the fade ends; the splash stays until its own closing time
}

void TestSplash::closingMidFadeKeepsTheFadeWhereItWas()
{
    FrmIntro intro;
    intro.show();
    for (int tick = 1; tick <= 10; ++tick)
        intro.timer2Tick();
    const qreal reached = intro.windowOpacity();
    QVERIFY(reached > 0.0 && reached < 1.0);

    intro.timer1Tick();
    QVERIFY(!intro.isVisible());
    QCOMPARE(intro.result(), int(QDialog::Accepted));
    QCOMPARE(intro.windowOpacity(), reached); // no fade-out, no jump to opaque
    QVERIFY(!intro.findChild<QTimer*>(QStringLiteral("Timer1"))->isActive());
    QVERIFY(!intro.findChild<QTimer*>(QStringLiteral("Timer2"))->isActive());
}

void TestSplash::closesByItselfAfterThreeSeconds()
{
    FrmIntro intro;
    // Should the splash never close, this ends the modal loop instead, as a rejection.
    QTimer::singleShot(8000, &intro, &QDialog::reject);
    QCOMPARE(intro.exec(), int(QDialog::Accepted));
    QVERIFY(!intro.isVisible());
    QVERIFY(!intro.findChild<QTimer*>(QStringLiteral("Timer2"))->isActive());
}

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
