#pragma once

#include <QString>

// The station's shared state: the followed file and its parts, the suite's folders, the header values
// and permissions of the last read, the zoom factor, and the two flags that keep a re-read from
// overlapping itself. One instance lives in the station object; every routine that needs it is given it.
//
// The followed file's folder, name and look-up pattern are derived from its path when the path is set
// (splitspad), so they never disagree with it.
class AppState
{
public:
    // The full path of the followed running-order file; its folder, with the trailing separator ("" when
    // the path has none); its base name without extension; and the look-up pattern, the first 20
    // characters of the base name followed by "*.dvz".
    const QString& bestandspad() const { return m_bestandspad; }
    const QString& bestandsmap() const { return m_bestandsmap; }
    const QString& bestandsnaam() const { return m_bestandsnaam; }
    const QString& zoekpatroon() const { return m_zoekpatroon; }
    void setBestandspad(const QString& pad);

    QString datamap; // the suite's data folder, ending in a separator
    QString gedeeldemap; // the shared folder: datamap followed by "GEDEELD" and a separator
    QString owner;
    QString wnr;
    QString rid;
    // A read of the followed file has counted since it was chosen (or since start-up): owner, wnr and
    // rid are that class's own, so a send may report it. Until then nothing is sent.
    bool klasbekend = false;
    qint16 editvolgorde = 0; // 1: the ring may reorder lines
    qint16 editnietgestart = 0; // 1: the ring may mark starters as not started
    double scale = 0; // zoom factor of the grid, 0.005 to 0.1
    bool timerbezig = false; // the re-read timer's handler is running
    bool bezigmetladen = false; // toonbestand is reading

private:
    QString m_bestandspad;
    QString m_bestandsmap;
    QString m_bestandsnaam;
    QString m_zoekpatroon;
};
