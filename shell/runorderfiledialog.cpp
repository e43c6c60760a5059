#include "runorderfiledialog.h"

#include "runorderfile.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

RunOrderFileDialog::RunOrderFileDialog(
    QWidget* parent, const QString& title, const QString& folder, const QString& filter)
    : QFileDialog(parent, title, folder, filter)
{
    setOption(QFileDialog::DontUseNativeDialog, true);
    // Any name, also one that does not exist yet: accept() keeps out what cannot be followed.
    setFileMode(QFileDialog::AnyFile);
    setAcceptMode(QFileDialog::AcceptOpen);
}

QString RunOrderFileDialog::refusal(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    // The station finds the file again by the start of its name followed by "*.dvz".
    if (name.contains(u'*') || name.contains(u'?'))
        return QStringLiteral("\"%1\": de naam van het bestand mag geen * of ? bevatten.").arg(name);
    if (!hasRunOrderExtension(name) || name.size() <= 4)
        return QStringLiteral("\"%1\" is geen baldovenaar bestand: geef een naam die eindigt op \".dvz\", "
                              "zoals \"baldovenaar rst-0001.dvz\".")
            .arg(name);
    return QString();
}

void RunOrderFileDialog::accept()
{
    const QStringList files = selectedFiles();
    // A folder is opened by the dialog itself.
    if (files.size() == 1 && !QFileInfo(files.constFirst()).isDir()) {
        const QString why = refusal(files.constFirst());
        if (!why.isEmpty()) {
            // As every message of the station: no icon, OK only.
            QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Korvalen 3.5 Baldovenaar"), why, QMessageBox::Ok, this);
            box.exec();
            return;
        }
    }
    QFileDialog::accept();
}
