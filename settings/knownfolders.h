#pragma once

#include <QString>

// The platform's special folders by their Windows folder id (CSIDL). An abstract provider, so that the
// folder routines can be tried with any answer, failures included.
class SpecialFolders
{
public:
    // The ids the station's folder names map to.
    enum FolderId : int {
        UserDocuments = 5,
        UserDesktop = 16,
        Network = 18,
        NetHood = 19,
        CommonPrograms = 23,
        UserAppData = 26,
        UserLocalAppData = 28,
        CommonAppData = 35,
        ProgramFiles = 38,
        UserPictures = 39,
        CommonDocuments = 46,
    };

    virtual ~SpecialFolders();

    // The folder's path in the platform's notation, or "" when the platform has none or the query fails.
    virtual QString folderPath(int folderId) const = 0;
};
