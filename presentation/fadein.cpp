#include "fadein.h"

int FadeIn::step()
{
    m_alphaNiveau += increment;
    if (m_alphaNiveau >= opaque)
        m_alphaNiveau = opaque;
    return m_alphaNiveau;
}
