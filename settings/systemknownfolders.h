#pragma once

#include "knownfolders.h"

#include <QString>

// The special folders of this computer. On Windows the shell's own answer (SHGetFolderPathW) for the
// current user. Elsewhere these stand-ins:
//
// | id | Windows folder             | here                                                     |
// |----|----------------------------|----------------------------------------------------------|
// |  5 | user's documents           | QStandardPaths::DocumentsLocation (~/Documents)          |
// | 16 | user's desktop             | QStandardPaths::DesktopLocation (~/Desktop)              |
// | 26 | user's roaming app data    | QStandardPaths::GenericDataLocation (~/.local/share)     |
// | 28 | user's local app data      | QStandardPaths::GenericDataLocation (~/.local/share)     |
// | 39 | user's pictures            | QStandardPaths::PicturesLocation (~/Pictures)            |
// | 46 | all users' documents       | QStandardPaths::PublicShareLocation (~/Public), the      |
// |    |                            | folder the desktop shares with other users               |
// | 23 | all users' start menu      | the system-wide entry of ApplicationsLocation            |
// |    |                            | (/usr/share/applications)                                |
// | 35 | all users' app data        | the system-wide entry of GenericDataLocation             |
// |    |                            | (/usr/share)                                             |
// | 38 | program files              | /opt, where add-on programs are installed                |
// | 18 | network (a virtual folder) | none                                                     |
// | 19 | network shortcuts          | none                                                     |
//
// Paths come without a trailing separator (a root folder excepted), in the platform's notation.
class SystemSpecialFolders : public SpecialFolders
{
public:
    QString folderPath(int folderId) const override;
};
