#pragma once

#include <QString>

class QWidget;

// The main window's message boxes, under the suite's title: a text for the official with OK only, and a
// yes-or-no question whose default (and Escape) is No, so a stray Enter never costs work.
namespace messageboxes {

void tell(QWidget* parent, const QString& text);
bool ask(QWidget* parent, const QString& text);

// Why leaving the class would cost work the office has not taken in, asked before the close (`closing`) or
// before another class is opened.
QString leaveQuestion(bool closing);

} // namespace messageboxes
