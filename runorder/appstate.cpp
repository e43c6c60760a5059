#include "appstate.h"

#include "runorderfile.h"

void AppState::setBestandspad(const QString& pad)
{
    m_bestandspad = pad;
    const SplitPath split = splitspad(pad);
    m_bestandsmap = split.map;
    m_bestandsnaam = split.naam;
    m_zoekpatroon = zoekpatroonVoor(split.naam);
}
