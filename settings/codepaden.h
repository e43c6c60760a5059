#pragma once

#include <QLocale>
#include <QString>

class AppState;
class SettingsStore;
class SpecialFolders;

// The station's two settings ("lastfile", "scale" in the section "Baldovenaar") and the suite's
// folders (the data folder and its shared folder "GEDEELD", from the office's section "Database"), on
// the settings store the office programs share. Folder paths use the platform's separator and always
// end in one. The window calls the three routines without arguments beside the state; the variants that
// take a store and a folder provider do the work.
void bepaalpaden(AppState& state);
void leesinstellingen(AppState& state);
void bewaarinstellingen(const AppState& state);

void bepaalpaden(AppState& state, const SettingsStore& store, const SpecialFolders& folders);
void leesinstellingen(AppState& state, const SettingsStore& store);
// False when a value could not be stored.
bool bewaarinstellingen(const AppState& state, SettingsStore& store);

// The path of a special folder by its name ("USER_DOCUMENTS", "COMMON_DOCUMENTS", ...; any case), without
// a trailing separator, or "" when the query fails. An unknown name means the user's desktop.
QString specialemap(const QString& name);
QString specialemap(const SpecialFolders& folders, const QString& name);
int specialFolderId(const QString& name);

// The zoom factor from its setting: "0,05", "0.05" and ".05" all give 0.05; a text without a number
// gives 0; the result is kept within 0.005..0.1.
double scaleFromSetting(const QString& text);
// The zoom factor as stored: in the system's notation ("0,025" where the decimal point is a comma),
// with fifteen significant digits.
QString scaleToSetting(double scale, const QLocale& locale = QLocale::system());
