#pragma once

#include "mutatiebestand.h"

#include <QByteArrayView>
#include <QString>
#include <optional>

namespace kantoor {

// Reading a mutation file as the station writes it (mutationBytes): six lines, each ended by CR LF,
// Windows-1252:
//
//     wnr:<wnr>
//     rid:<rid>
//     order:<key> TAB <key> ...          every line of the ring's list, pause lines ("P") included
//     notstarted:<key> TAB ...           the lines the ring marked not started
//     started:<key> TAB ...              all other lines
//     text:<free text>
//
// Keys are taken byte for byte (one byte to one character), so that they compare equal to the keys of
// the running-order file they came from.
struct MutationRead
{
    std::optional<MutationRecord> mutation;
    QString problem; // why the bytes are not a mutation, when they are not
};

// More than the ring's largest list can take up; a larger file is not a mutation.
inline constexpr qsizetype maxMutationBytes = 16 * 1024 * 1024;

// Reads the six lines. Refused: more than maxMutationBytes, a last line without CR LF (a file still being
// written, or cut short), a lone CR or LF, another number of lines, a line that does not start with its
// key, an empty key in a list (two TABs in a row, or one at either end).
MutationRead parseMutation(QByteArrayView bytes);

} // namespace kantoor
