// The settings-file reader under any bytes: a file edited by hand, saved by another program in another code
// page, cut off, or not a settings file at all. Each input is read as the station reads it at start-up (the
// followed file, the zoom factor, the office's data folder) and then written as the station writes it at
// exit. Beyond the sanitizers' checks, it stops at the first broken promise:
// - a value the station writes reads back exactly as written;
// - writing one of the station's values never changes what the office's section holds;
// - the zoom factor always lands within its bounds.
// An input may carry a value for the station to write after two NUL bytes.
#include "codepaden.h"
#include "cp1252.h"
#include "inisettingsstore.h"

#include <QByteArrayView>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QString value = QStringLiteral("/mnt/korvalen/GEDEELD/baldovenaar rst-0001.dvz");
    if (const qsizetype split = bytes.indexOf(QByteArrayView("\0\0", 2)); split >= 0) {
        value = platform::decodeCp1252(bytes.sliced(split + 2));
        value.remove(u'\r');
        value.remove(u'\n');
        bytes = bytes.first(split);
    }

    const auto scale = IniSettingsStore::findValue(bytes, u"Baldovenaar", u"scale");
    const double zoom = scaleFromSetting(scale.value_or(QStringLiteral("0.025")));
    require(zoom >= 0.005 && zoom <= 0.1);
    const auto installPath = IniSettingsStore::findValue(bytes, u"Database", u"InstallPath");
    const auto installPathIndex = IniSettingsStore::findValue(bytes, u"Database", u"InstallPathIndex");

    const QByteArray written = IniSettingsStore::withValue(bytes, u"Baldovenaar", u"lastfile", value);
    require(IniSettingsStore::findValue(written, u"Baldovenaar", u"lastfile") == value);
    require(IniSettingsStore::findValue(written, u"Database", u"InstallPath") == installPath);
    require(IniSettingsStore::findValue(written, u"Database", u"InstallPathIndex") == installPathIndex);
    const QByteArray twice = IniSettingsStore::withValue(written, u"Baldovenaar", u"scale", scaleToSetting(zoom));
    require(IniSettingsStore::findValue(twice, u"Baldovenaar", u"lastfile") == value);
    // Fifteen significant digits, as the office writes numbers.
    const double reread
        = scaleFromSetting(IniSettingsStore::findValue(twice, u"Baldovenaar", u"scale").value_or(QString()));
    require(std::abs(reread - zoom) <= 1e-13 * zoom);
    return 0;
}
