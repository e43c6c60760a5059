#pragma once

#include <QByteArray>

// The live page's one file (HTML with its style and script inside, compiled into the program), and the content
// security policy it is served with: nothing from anywhere but the station itself, and of inline code only the
// page's own style and script, named by their SHA-256, so a text that found its way into the page could never run.
namespace livepage {

QByteArray html();
// "default-src 'self'; ..." for the page given.
QByteArray policy(const QByteArray& page);

} // namespace livepage
