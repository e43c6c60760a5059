#pragma once

class QCoreApplication;

// The station speaks Dutch, also in Qt's own texts: the buttons of the standard dialogs and message boxes
// ("Annuleren", "Openen"), the open dialog's labels, the context menus of text fields. Those come from Qt's
// translations (on Debian the package qt6-translations-l10n; on Windows the folder "translations" that
// windeployqt puts beside the program), installed whatever the system's language, as the rest of the station
// is Dutch too. False when no translation was found: the texts then stay English, nothing else changes.
bool installDutchQtTranslations(QCoreApplication& application);
