#pragma once

#include <QStringList>

// The ring official's guide and the program's own description, for the Help menu.
namespace handleiding {

// Where the guide may be, most likely first: installed beside the program's prefix (/usr/share/doc from
// /usr/bin), beside the program (a Windows folder), the source tree of a build, and where the package puts it.
QStringList candidates();
// The text of Help > Over Baldovenaar.
QString overBaldovenaarText();

} // namespace handleiding
