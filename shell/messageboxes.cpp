#include "messageboxes.h"

#include <QMessageBox>
#include <QPushButton>

namespace messageboxes {

namespace {

QString title()
{
    return QStringLiteral("Korvalen 3.5 Baldovenaar");
}

} // namespace

void tell(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, title(), text, QMessageBox::Ok, parent);
    box.exec();
}

bool ask(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Question, title(), text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Nee"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

QString leaveQuestion(bool closing)
{
    return QStringLiteral(
        "Het secretariaat heeft nog niet alle wijzigingen van de ring verwerkt. %1 ruimt de verzonden wijzigingen "
        "van deze klasse in de gedeelde map op; wat niet verzonden is, komt terug als deze klasse weer geopend "
        "wordt.\n\n%2")
        .arg(closing ? QStringLiteral("Afsluiten") : QStringLiteral("Een andere klasse openen"),
            closing ? QStringLiteral("Toch afsluiten?") : QStringLiteral("Toch een andere klasse openen?"));
}

} // namespace messageboxes
