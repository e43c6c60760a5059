#pragma once

#include <QFileDialog>
#include <QString>

// The open dialog of the station: Qt's own file dialog (the desktop's native one matches filter patterns
// differently) in which the official may also type the name of a running-order file the office has not
// published yet, since the station follows a file that may appear later. A name the station could not
// follow (no ".dvz" at its end, or a wildcard, which would make the station's look-up match other
// classes) is refused with a message, and the dialog stays open.
class RunOrderFileDialog : public QFileDialog
{
public:
    RunOrderFileDialog(QWidget* parent, const QString& title, const QString& folder, const QString& filter);

    // Why the station cannot follow the chosen path, in the station's words; "" when it can.
    static QString refusal(const QString& path);

    void accept() override;
};
