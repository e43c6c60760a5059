// The office stand-in's side of the ring's changes: reading mutation files, taking one into a class, and
// the rounds of `kantoor serve` over a real folder.
#include "classedits.h"
#include "columns.h"
#include "cp1252.h"
#include "fileattributes.h"
#include "files.h"
#include "mutatiebestand.h"
#include "mutationfile.h"
#include "officeserver.h"
#include "plannedtimes.h"
#include "publishedorder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace kantoor;

namespace {

QByteArray mutationFile(
    const QByteArray& order, const QByteArray& notStarted, const QByteArray& started, const QByteArray& rid = "7")
{
    return "wnr:12\r\nrid:" + rid + "\r\norder:" + order + "\r\nnotstarted:" + notStarted + "\r\nstarted:" + started
        + "\r\ntext:\r\n";
}

// A class as the office writes it: keys given by their bytes, "P" for a pause line; the key's line
// carries "S<key>" as its rider and, for keys listed in `officeNotStarted`, "N" in both mark columns.
QByteArray classBytes(
    const QList<QByteArray>& keys, const QByteArray& rid = "7", const QList<QByteArray>& officeNotStarted = {})
{
    QByteArray bytes = "owner:Ruitersport Oost\r\nwnr:12\r\nrid:" + rid
        + "\r\norder:1\r\ntitel:Springen\r\neditvolgorde:1\r\neditnietgestart:1\r\n"
          "rij:key\tVolg\tNr\tRuiter\tPaard\tVer\tCat\tHoogte\tTijd\tStatus\tNG\r\n";
    int position = 0;
    for (const QByteArray& key : keys) {
        const bool pause = key == "P";
        const QByteArray mark = officeNotStarted.contains(key) ? "N" : "";
        bytes += "rij:" + key + "\t" + (pause ? QByteArray() : QByteArray::number(++position)) + "\t\tS" + key
            + "\t\t\t\t\t\t" + mark + "\t" + mark + "\r\n";
    }
    return bytes;
}

// Keys, rider and marks of each line, as "key:rider:status:mark".
QStringList linesOf(const PublishedOrder& order)
{
    QStringList result;
    for (const QStringList& line : order.lines)
        result << QStringList { line.value(column::Key), line.value(column::Position), line.value(3),
            line.value(column::Status), line.value(column::Mark) }
                      .join(u':');
    return result;
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// A class with planned times: "key@time" words ("P" a pause line, "~key" a starter not started, "key" alone a
// starter without a time), and the start time.
PublishedOrder timedClass(const QString& lines, const QString& begintijd)
{
    PublishedOrder order;
    order.rid = QStringLiteral("7");
    order.begintijd = begintijd;
    for (const QString& word : lines.split(u' ')) {
        QStringList line(column::Count);
        line[column::Key] = word.section(u'@', 0, 0).remove(u'~');
        line[column::Time] = word.section(u'@', 1);
        if (word.startsWith(u'~'))
            line[column::Mark] = QStringLiteral("N");
        order.lines.push_back(line);
    }
    return order;
}

} // namespace

class TestKantoorServe : public QObject
{
    Q_OBJECT

private slots:
    void readsMutation_data();
    void readsMutation();
    void refusesMalformed_data();
    void refusesMalformed();
    void keyBytesRoundTrip_data();
    void keyBytesRoundTrip();
    void takesInMutation_data();
    void takesInMutation();
    void refusesMutationThatDoesNotFit_data();
    void refusesMutationThatDoesNotFit();
    void roundTakesNewestOfItsKind();
    void roundLeavesRefusedFilesAndReportsOnce();
    void roundTouchesNothingOutsideTheFolder();
    void plansTimes_data();
    void plansTimes();
    void roundPlansTimesAfterANewOrderOnly();
};

void TestKantoorServe::readsMutation_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<QStringList>("notStarted");
    QTest::addColumn<QStringList>("started");

    QTest::newRow("lists split at tabs, pause lines included")
        << mutationFile("1002\t1001\tP\t1003", "1003", "1002\t1001\tP") << QStringList { "1002", "1001", "P", "1003" }
        << QStringList { "1003" } << QStringList { "1002", "1001", "P" };
    QTest::newRow("empty lists leave the key alone on its line")
        << mutationFile("", "", "") << QStringList() << QStringList() << QStringList();
    QTest::newRow("spaces, colons and high bytes belong to the key")
        << mutationFile(" a:b \t\xE9\x81", "", " a:b \t\xE9\x81")
        << QStringList { " a:b ", QString::fromUtf8("\xC3\xA9") + QChar(0x81) } << QStringList()
        << QStringList { " a:b ", QString::fromUtf8("\xC3\xA9") + QChar(0x81) };
}

void TestKantoorServe::readsMutation()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, order);
    QFETCH(QStringList, notStarted);
    QFETCH(QStringList, started);

    const MutationRead read = parseMutation(bytes);
    QCOMPARE(read.problem, QString());
    QVERIFY(read.mutation);
    QCOMPARE(read.mutation->wnr, QString("12"));
    QCOMPARE(read.mutation->rid, QString("7"));
    QCOMPARE(read.mutation->order, order);
    QCOMPARE(read.mutation->notStarted, notStarted);
    QCOMPARE(read.mutation->started, started);
}

void TestKantoorServe::refusesMalformed_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("problem");

    const QByteArray good = mutationFile("1\t2", "", "1\t2");
    QTest::newRow("cut short in the last line") << good.chopped(2) << "does not end in CR LF";
    QTest::newRow("cut short before the last line") << good.left(good.indexOf("text:")) << "5 lines, not 6";
    QTest::newRow("a line more") << good + "text:\r\n"
                                 << "7 lines, not 6";
    QTest::newRow("lines ended by LF only") << QByteArray(good).replace("\r\n", "\n").append("\r\n") << "lone CR or LF";
    QTest::newRow("lists in another order")
        << QByteArray("wnr:12\r\nrid:7\r\norder:1\t2\r\nstarted:1\t2\r\nnotstarted:\r\ntext:\r\n")
        << "line 4 does not start with \"notstarted:\"";
    QTest::newRow("key in capitals") << QByteArray(good).replace("order:", "ORDER:")
                                     << "line 3 does not start with \"order:\"";
    QTest::newRow("two tabs in a row") << mutationFile("1\t\t2", "", "1\t2") << "an empty key in the order list";
    QTest::newRow("trailing tab") << mutationFile("1\t2", "", "1\t2\t") << "an empty key in the started list";
    QTest::newRow("larger than any list") << mutationFile(QByteArray(maxMutationBytes, 'x'), "", "") << "larger than";
}

void TestKantoorServe::refusesMalformed()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, problem);

    const MutationRead read = parseMutation(bytes);
    QVERIFY(!read.mutation);
    QVERIFY2(read.problem.contains(problem), qPrintable(read.problem));
}

void TestKantoorServe::keyBytesRoundTrip_data()
{
    QTest::addColumn<char>("byte");
    for (int b = 0; b <= 0xFF; ++b) {
        // Tab, CR and LF end a key in both files; no key can hold them.
        if (b == '\t' || b == '\r' || b == '\n')
            continue;
        QTest::addRow("byte 0x%02X", b) << char(b);
    }
}

void TestKantoorServe::keyBytesRoundTrip()
{
    QFETCH(char, byte);
    // The byte inside a key (a space at either end would be trimmed by the reader of the class file, on
    // the station as here), and a key that is the byte alone where the reader keeps it.
    const QByteArray inside = QByteArray("k") + byte + "k";
    const QByteArray alone(1, byte);
    QList<QByteArray> keys { "10", inside, "20" };
    if (byte != ' ')
        keys.append(alone);
    PublishedOrder order = publishedOrderFromBytes(classBytes(keys));

    // The station sends the keys as its reader gave them, in reverse, the byte's starter not started.
    MutationRecord sent;
    sent.wnr = "12";
    sent.rid = "7";
    for (auto line = order.lines.crbegin(); line != order.lines.crend(); ++line) {
        sent.order << line->at(column::Key);
        (line->at(column::Key) == platform::decodeCp1252(inside) ? sent.notStarted : sent.started)
            << line->at(column::Key);
    }
    const QByteArray file = mutationBytes(sent);
    QVERIFY(file.contains("\t" + inside + "\t"));
    const MutationRead read = parseMutation(file);
    QVERIFY2(read.mutation, qPrintable(read.problem));
    QCOMPARE(read.mutation->order, sent.order);
    QCOMPARE(read.mutation->notStarted, sent.notStarted);
    QCOMPARE(applyMutation(order, *read.mutation), QString());

    const QByteArray published = runningOrderBytes(order);
    QVERIFY(published.contains("\r\nrij:" + inside + "\t"));
    QVERIFY(published.contains("\tS" + inside + "\t\t\t\t\t\tN\tN\r\n"));
    QVERIFY(published.contains("\r\nrij:" + keys.last() + "\t"));
    QVERIFY(published.indexOf("\r\nrij:" + inside + "\t") < published.indexOf("\r\nrij:10\t"));
}

void TestKantoorServe::takesInMutation_data()
{
    QTest::addColumn<QByteArray>("mutation");
    QTest::addColumn<QStringList>("lines");

    // The class: 1 2 P 3 4, with 4 not started at the office.
    QTest::newRow("pause lines stay, starters take the ring's order") << mutationFile("4\t1\tP\t3\t2", "4",
        "1\tP\t3\t2") << QStringList { "4:1:S4:N:N", "1:2:S1::", "P::SP::", "3:3:S3::", "2:4:S2::" };
    QTest::newRow("the ring's pause lines elsewhere do not move the office's") << mutationFile("P\t1\t2\t3\t4", "",
        "P\t1\t2\t3\t4") << QStringList { "1:1:S1::", "2:2:S2::", "P::SP::", "3:3:S3::", "4:4:S4::" };
    QTest::newRow("marked not started: N in both columns; started: the office's N goes")
        << mutationFile("1\t2\tP\t3\t4", "1\t3", "2\tP\t4")
        << QStringList { "1:1:S1:N:N", "2:2:S2::", "P::SP::", "3:3:S3:N:N", "4:4:S4::" };
    QTest::newRow("pause keys in the lists, or missing from them, do not count") << mutationFile("1\t2\t3\t4", "P\tP",
        "1\t2\t3\t4") << QStringList { "1:1:S1::", "2:2:S2::", "P::SP::", "3:3:S3::", "4:4:S4::" };
}

void TestKantoorServe::takesInMutation()
{
    QFETCH(QByteArray, mutation);
    QFETCH(QStringList, lines);

    PublishedOrder order = publishedOrderFromBytes(classBytes({ "1", "2", "P", "3", "4" }, "7", { "4" }));
    const MutationRead read = parseMutation(mutation);
    QVERIFY2(read.mutation, qPrintable(read.problem));
    QCOMPARE(applyMutation(order, *read.mutation), QString());
    numberPositions(order);
    QCOMPARE(linesOf(order), lines);
}

void TestKantoorServe::refusesMutationThatDoesNotFit_data()
{
    QTest::addColumn<QByteArray>("mutation");
    QTest::addColumn<QByteArray>("classRid");
    QTest::addColumn<QString>("problem");

    QTest::newRow("another class's rid") << mutationFile("1\t2\t3", "", "1\t2\t3", "8") << QByteArray("7")
                                         << "it is for rid \"8\", the class has rid \"7\"";
    QTest::newRow("a starter the class does not have") << mutationFile("1\t2\t3\t9", "", "1\t2\t3") << QByteArray("7")
                                                       << "the key \"9\" in the order is not one of the class's";
    QTest::newRow("a starter of the class missing (the office inserted one)") << mutationFile(
        "1\t3", "", "1\t2\t3") << QByteArray("7") << "the key \"2\" of the class is missing from the order";
    QTest::newRow("a starter twice in the order") << mutationFile("1\t2\t2\t3", "", "1\t2\t3") << QByteArray("7")
                                                  << "the key \"2\" stands more than once in the order";
    QTest::newRow("keys differing in case only") << mutationFile("1\t2\tA", "", "1\t2\t3") << QByteArray("7")
                                                 << "the key \"A\" in the order is not one of the class's";
    QTest::newRow("a starter both not started and started") << mutationFile("1\t2\t3", "2",
        "1\t2\t3") << QByteArray("7") << "the key \"2\" stands more than once in the notstarted and started lists";
    QTest::newRow("a starter in neither list") << mutationFile("1\t2\t3", "",
        "1\t3") << QByteArray("7") << "the key \"2\" of the class is missing from the notstarted and started lists";
    QTest::newRow("an unknown key among the not started") << mutationFile("1\t2\t3", "9",
        "1\t2\t3") << QByteArray("7") << "the key \"9\" in the notstarted and started lists is not one of the class's";
}

void TestKantoorServe::refusesMutationThatDoesNotFit()
{
    QFETCH(QByteArray, mutation);
    QFETCH(QByteArray, classRid);
    QFETCH(QString, problem);

    PublishedOrder order = publishedOrderFromBytes(classBytes({ "1", "2", "P", "3" }, classRid));
    const QStringList before = linesOf(order);
    const MutationRead read = parseMutation(mutation);
    QVERIFY2(read.mutation, qPrintable(read.problem));
    QCOMPARE(applyMutation(order, *read.mutation), problem);
    QCOMPARE(linesOf(order), before);
}

namespace {

struct Round
{
    int taken = 0;
    QString out;
    QString err;
};

Round serveOnce(const QString& folder, QChar kind = u's')
{
    Round round;
    QTextStream out(&round.out);
    QTextStream err(&round.err);
    OfficeServer server(folder, kind, out, err);
    round.taken = server.takeIn();
    out.flush();
    err.flush();
    return round;
}

} // namespace

void TestKantoorServe::plansTimes_data()
{
    // The class as published, its start time, the interval given (seconds, 0 for none), the new order of its keys
    // (pause lines where they are), and the times then, line by line ("-" for none).
    QTest::addColumn<QString>("published");
    QTest::addColumn<QString>("begintijd");
    QTest::addColumn<int>("interval");
    QTest::addColumn<QString>("order");
    QTest::addColumn<QString>("times");

    const QString plain = QStringLiteral("1@10:30 2@10:32 3@10:34 4@10:36");
    QTest::newRow("a move: from the start time, the interval the times show") << plain << "10:30" << 0 << "3 1 2 4"
                                                                              << "10:30 10:32 10:34 10:36";
    QTest::newRow("times out of order before come in order") << "1@10:32 2@10:30 3@10:34 4@10:36"
                                                             << "10:30" << 0 << "2 1 4 3"
                                                             << "10:30 10:32 10:34 10:36";
    QTest::newRow("the start time moved by the office counts") << plain << "11:00" << 0 << "2 1 3 4"
                                                               << "11:00 11:02 11:04 11:06";
    QTest::newRow("no start time: the first planned time") << "1@9:05 2@9:08 3@9:11"
                                                           << "morgen" << 0 << "3 2 1"
                                                           << "09:05 09:08 09:11";
    QTest::newRow("the interval most often between two starters") << "1@10:30 2@10:32 3@10:35 4@10:37 5@10:39"
                                                                  << "10:30" << 0 << "5 4 3 2 1"
                                                                  << "10:30 10:32 10:34 10:36 10:38";
    QTest::newRow("an interval given wins; seconds are cut off as the list writes minutes")
        << plain << "10:30" << 90 << "4 3 2 1"
        << "10:30 10:31 10:33 10:34";
    QTest::newRow("a list with seconds keeps them") << "1@10:30:00 2@10:31:30 3@10:33:00"
                                                    << "10:30" << 0 << "2 3 1"
                                                    << "10:30:00 10:31:30 10:33:00";
    QTest::newRow("a pause keeps its length and shows when it begins") << "1@10:30 2@10:32 P@10:34 3@10:49 4@10:51"
                                                                       << "10:30" << 0 << "4 3 P 2 1"
                                                                       << "10:30 10:32 10:34 10:49 10:51";
    QTest::newRow("a pause without a time: its length from the starters around it, still without a time")
        << "1@10:30 2@10:32 P 3@10:49 4@10:51"
        << "10:30" << 0 << "4 3 P 2 1"
        << "10:30 10:32 - 10:49 10:51";
    QTest::newRow("a pause the times say nothing of takes one interval") << "1@10:30 2@10:32 P@10:34 3 4"
                                                                         << "10:30" << 0 << "2 1 P 4 3"
                                                                         << "10:30 10:32 10:34 10:36 10:38";
    QTest::newRow("a starter not started keeps its place in the plan") << "1@10:30 ~2@10:32 3@10:34"
                                                                       << "10:30" << 0 << "3 2 1"
                                                                       << "10:30 10:32 10:34";
    QTest::newRow("across midnight") << "1@23:58 2@0:00 3@0:02"
                                     << "23:58" << 0 << "3 2 1"
                                     << "23:58 00:00 00:02";
    QTest::newRow("no times and no interval: no plan, the times stay with the starters") << "1 2@10:32 3"
                                                                                         << "10:30" << 0 << "3 2 1"
                                                                                         << "- 10:32 -";
    QTest::newRow("no times but an interval given: a plan from the start time") << "1 2 3"
                                                                                << "10:30" << 120 << "3 2 1"
                                                                                << "10:30 10:32 10:34";
}

void TestKantoorServe::plansTimes()
{
    QFETCH(QString, published);
    QFETCH(QString, begintijd);
    QFETCH(int, interval);
    QFETCH(QString, order);
    QFETCH(QString, times);

    const PublishedOrder before = timedClass(published, begintijd);
    // The ring's new order: the lines of the published class, by key.
    PublishedOrder after = before;
    after.lines.clear();
    for (const QString& key : order.split(u' ')) {
        for (const QStringList& line : before.lines) {
            if (line[column::Key] == key)
                after.lines.push_back(line);
        }
    }
    planTimes(after, before, interval > 0 ? std::optional<int>(interval) : std::nullopt);
    QStringList planned;
    for (const QStringList& line : after.lines)
        planned << (line[column::Time].isEmpty() ? QStringLiteral("-") : line[column::Time]);
    QCOMPARE(planned.join(u' '), times);
    // The starters keep their order; only their times changed.
    QCOMPARE(after.lines.size(), before.lines.size());
}

void TestKantoorServe::roundPlansTimesAfterANewOrderOnly()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString classPath = dir.filePath("baldovenaar rst-0007.dvz");
    PublishedOrder order = publishedOrderFromBytes(classBytes({ "1", "2", "3" }));
    order.begintijd = QStringLiteral("10:30");
    // The office gave starter 3 a time of its own, out of the plan.
    order.lines[0][column::Time] = QStringLiteral("10:30");
    order.lines[1][column::Time] = QStringLiteral("10:32");
    order.lines[2][column::Time] = QStringLiteral("10:40");
    QVERIFY(testsupport::writeFile(classPath, runningOrderBytes(order)));
    auto times = [&classPath] {
        QStringList result;
        for (const QStringList& line : publishedOrderFromBytes(testsupport::readFile(classPath)).lines)
            result << line[column::Key] + u'@' + line[column::Time];
        return result.join(u' ');
    };

    // Marks alone: the times stay as the office gave them.
    QVERIFY(testsupport::writeFile(
        dir.filePath("20261207-101500-7-baldovenaar-s.mut"), mutationFile("1\t2\t3", "2", "1\t3")));
    QCOMPARE(serveOnce(dir.path()).taken, 1);
    QCOMPARE(times(), QStringLiteral("1@10:30 2@10:32 3@10:40"));
    // A new order: the plan, two minutes apart from the start time.
    QVERIFY(testsupport::writeFile(
        dir.filePath("20261207-101600-7-baldovenaar-s.mut"), mutationFile("3\t1\t2", "2", "3\t1")));
    QCOMPARE(serveOnce(dir.path()).taken, 1);
    QCOMPARE(times(), QStringLiteral("3@10:30 1@10:32 2@10:34"));
}

void TestKantoorServe::roundTakesNewestOfItsKind()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString classPath = dir.filePath("baldovenaar rst-0007.dvz");
    QVERIFY(testsupport::writeFile(classPath, classBytes({ "1", "2", "3" })));
    QVERIFY(testsupport::writeFile(dir.filePath("baldovenaar rst-0008.dvz"), classBytes({ "1", "2" }, "8")));
    // Listed after the newest (the "x" is ignored as not of the name's shape), an older one of the
    // class, the other kind, another class, and a name a wildcard would take.
    const QStringList files { "20261207-101500-7-baldovenaar-s.mut", "20261207-091500-7-baldovenaar-s.mut",
        "20261206-235959-7-baldovenaar-s.mut", "20261207-101500-7-baldovenaar-h.mut",
        "20261207-101500-8-baldovenaar-s.mut", "x-7-baldovenaar-s.mut", "20261207-111500-7-baldovenaar-s.mut.tmp" };
    const QByteArray newest = mutationFile("3\t1\t2", "1", "3\t2");
    QVERIFY(testsupport::writeFile(dir.filePath(files[0]), newest));
    QVERIFY(testsupport::writeFile(dir.filePath(files[1]), mutationFile("2\t1\t3", "", "2\t1\t3")));
    QVERIFY(testsupport::writeFile(dir.filePath(files[2]), "not even a mutation"));
    QVERIFY(testsupport::writeFile(dir.filePath(files[3]), mutationFile("2\t3\t1", "", "2\t3\t1")));
    QVERIFY(testsupport::writeFile(dir.filePath(files[4]), mutationFile("1\t9", "", "1\t9", "8")));
    QVERIFY(testsupport::writeFile(dir.filePath(files[5]), mutationFile("2\t3\t1", "", "2\t3\t1")));
    // A copy the station has not moved into place yet.
    QVERIFY(testsupport::writeFile(dir.filePath(files[6]), mutationFile("1\t3", "", "1\t3")));
    // The station leaves its files hidden; they are read all the same.
    QVERIFY(platform::setFileAttributes(dir.filePath(files[0]), platform::AttrHidden | platform::AttrArchive));

    const Round round = serveOnce(dir.path());
    QCOMPARE(round.taken, 1);
    QCOMPARE(round.out,
        QString("20261207-101500-7-baldovenaar-s.mut: baldovenaar rst-0007.dvz published anew, 3 starters in the "
                "ring's order, 1 not started\n"));
    QVERIFY2(round.err.contains("20261207-101500-8-baldovenaar-s.mut refused"), qPrintable(round.err));
    QCOMPARE(linesOf(publishedOrderFromBytes(testsupport::readFile(classPath))),
        (QStringList { "3:1:S3::", "1:2:S1:N:N", "2:3:S2::" }));
    QCOMPARE(entries(dir.path()),
        (QStringList { "20261207-101500-7-baldovenaar-h.mut", "20261207-101500-8-baldovenaar-s.mut",
            "20261207-111500-7-baldovenaar-s.mut.tmp", "baldovenaar rst-0007.dvz", "baldovenaar rst-0008.dvz",
            "x-7-baldovenaar-s.mut" }));

    // The satellite's server takes in its own kind.
    const Round satellite = serveOnce(dir.path(), u'h');
    QCOMPARE(satellite.taken, 1);
    QCOMPARE(linesOf(publishedOrderFromBytes(testsupport::readFile(classPath))).join(u' '),
        QString("2:1:S2:: 3:2:S3:: 1:3:S1::"));
}

void TestKantoorServe::roundLeavesRefusedFilesAndReportsOnce()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString classPath = dir.filePath("baldovenaar rst-0007.dvz");
    const QByteArray classFile = classBytes({ "1", "2", "3" });
    QVERIFY(testsupport::writeFile(classPath, classFile));
    const QString name = "20261207-101500-7-baldovenaar-s.mut";
    QVERIFY(testsupport::writeFile(dir.filePath(name), mutationFile("1\t2", "", "1\t2")));
    const std::optional<platform::FileStamp> stamp = platform::fileStamp(classPath);

    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    OfficeServer server(dir.path(), u's', outStream, errStream);
    QCOMPARE(server.takeIn(), 0);
    QCOMPARE(server.takeIn(), 0);
    errStream.flush();
    QCOMPARE(err,
        QString("kantoor: %1 refused: the key \"3\" of the class is missing from the order; baldovenaar rst-0007.dvz "
                "left as it "
                "is\n")
            .arg(name));
    QCOMPARE(out, QString());
    QCOMPARE(testsupport::readFile(classPath), classFile);
    QCOMPARE(platform::fileStamp(classPath), stamp);
    QVERIFY(QFileInfo::exists(dir.filePath(name)));

    // A newer send that fits is taken in, the refused one with it.
    QVERIFY(testsupport::writeFile(
        dir.filePath("20261207-101600-7-baldovenaar-s.mut"), mutationFile("2\t1\t3", "", "2\t1\t3")));
    QCOMPARE(server.takeIn(), 1);
    QCOMPARE(entries(dir.path()), QStringList { "baldovenaar rst-0007.dvz" });
}

void TestKantoorServe::roundTouchesNothingOutsideTheFolder()
{
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString shared = root.filePath("GEDEELD");
    QVERIFY(QDir().mkpath(shared));
    // Outside the folder: a class file that a link in the folder points at, and a file a mutation's link
    // points at.
    const QByteArray outsideClass = classBytes({ "1", "2" }, "5");
    QVERIFY(testsupport::writeFile(root.filePath("elders.dvz"), outsideClass));
    QVERIFY(testsupport::writeFile(root.filePath("elders.mut"), mutationFile("1\t2", "", "1\t2", "9")));
    MAKE_SYMBOLIC_LINK_OR_SKIP(root.filePath("elders.dvz"), QDir(shared).filePath("baldovenaar rst-0005.dvz"));
    QVERIFY(testsupport::writeFile(
        QDir(shared).filePath("20261207-101500-5-baldovenaar-s.mut"), mutationFile("2\t1", "", "2\t1", "5")));
    QVERIFY(testsupport::writeFile(QDir(shared).filePath("baldovenaar rst-0009.dvz"), classBytes({ "1", "2" }, "9")));
    MAKE_SYMBOLIC_LINK_OR_SKIP(
        root.filePath("elders.mut"), QDir(shared).filePath("20261207-101500-9-baldovenaar-s.mut"));
    // A class whose rid would climb out of the folder if it were ever used as a path.
    QVERIFY(
        testsupport::writeFile(QDir(shared).filePath("baldovenaar rst-0010.dvz"), classBytes({ "1", "2" }, "../x")));
    QVERIFY(testsupport::writeFile(
        QDir(shared).filePath("20261207-101500-.._x-baldovenaar-s.mut"), mutationFile("2\t1", "", "2\t1", "../x")));
    // A rid too long for a name, which the station shortens.
    const QByteArray longRid = QByteArray(70, 'r') + "/x";
    QVERIFY(
        testsupport::writeFile(QDir(shared).filePath("baldovenaar rst-0011.dvz"), classBytes({ "1", "2" }, longRid)));
    QVERIFY(testsupport::writeFile(QDir(shared).filePath(mutationFileName("20261207", "101500", longRid, u's')),
        mutationFile("2\t1", "", "2\t1", longRid)));
    const QStringList rootBefore = entries(root.path());

    const Round round = serveOnce(shared);
    QCOMPARE(round.taken, 2);
    QVERIFY2(round.err.contains("20261207-101500-9-baldovenaar-s.mut refused: it is a link"), qPrintable(round.err));
    QCOMPARE(entries(root.path()), rootBefore);
    QCOMPARE(testsupport::readFile(root.filePath("elders.dvz")), outsideClass);
    QVERIFY(QFileInfo::exists(root.filePath("elders.mut")));
    QCOMPARE(entries(shared),
        (QStringList { "20261207-101500-5-baldovenaar-s.mut", "20261207-101500-9-baldovenaar-s.mut",
            "baldovenaar rst-0005.dvz", "baldovenaar rst-0009.dvz", "baldovenaar rst-0010.dvz",
            "baldovenaar rst-0011.dvz" }));
    QCOMPARE(linesOf(publishedOrderFromBytes(testsupport::readFile(QDir(shared).filePath("baldovenaar rst-0010.dvz"))))
                 .first(),
        QString("2:1:S2::"));
}

QTEST_GUILESS_MAIN(TestKantoorServe)
#include "tst_kantoorserve.moc"
