#pragma once

#include <QByteArray>
#include <QString>

// The live page as plain files, for a show whose viewers outgrow one laptop: the station writes the page
// (index.html, and tv.html for the TV) and the order's JSON (api/stand) into a folder the official chose, and an
// ordinary web server publishes them. Each file is replaced whole (written beside it, then renamed over it), so
// a web server never hands out half a file. It writes these three names and nothing else, only inside the
// folder, and never creates the folder itself: a mistyped setting writes nowhere.
class LiveFolder
{
public:
    explicit LiveFolder(const QString& folder);

    QString folder() const { return m_folder; }
    // The folder exists and is a folder.
    bool exists() const;
    // False, with error(), when a file could not be written; the old one then stays as it was.
    bool writePage(const QByteArray& page);
    bool writeStand(const QByteArray& json);
    QString error() const { return m_error; }

private:
    bool write(const QString& name, const QByteArray& bytes);

    QString m_folder;
    QString m_error;
};
