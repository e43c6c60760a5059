#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

namespace kantoor {

// A mutation file as the station writes it after a send: a full snapshot of the ring's running order
// and marks, six lines each ended by CR LF, Windows-1252:
//
//     wnr:<wnr>
//     rid:<rid>
//     order:<key> TAB <key> ...          every line of the ring's list, pause lines ("P") included
//     notstarted:<key> TAB ...           the lines the ring marked not started
//     started:<key> TAB ...              all other lines
//     text:<free text>
//
// Keys are taken byte for byte (decoded one byte to one character), so that they compare equal to the
// keys of the running-order file they came from.
struct Mutation
{
    QString wnr;
    QString rid;
    QStringList order;
    QStringList notStarted;
    QStringList started;
    QString text;
};

// What reading a mutation file's bytes gives: the mutation, or why the bytes are not one.
struct MutationRead
{
    std::optional<Mutation> mutation;
    QString problem;
};

// More than the ring's largest list can take up; a larger file is not a mutation.
inline constexpr qsizetype maxMutationBytes = 16 * 1024 * 1024;

// Reads the six lines. Refused: more than maxMutationBytes, a last line without CR LF (a file still being
// written, or cut short), a lone CR or LF, another number of lines, a line that does not start with its
// key, an empty key in a list (two TABs in a row, or one at either end).
MutationRead parseMutation(QByteArrayView bytes);

// The parts of a mutation file's name, "yyyyMMdd-HHmmss-<rid>-baldovenaar-<kind>.mut".
struct MutationName
{
    QString date; // 8 digits
    QString time; // 6 digits
    QString rid; // as it stands in the name (the station replaces characters a name cannot hold)
    QChar kind; // 's' or 'h', lower case
};

// The parts of a name of exactly that shape (the fixed parts in any case, as Windows matches them), or
// nothing: a wildcard such as "*-baldovenaar-s.mut" would also take "x-baldovenaar-s.mut" or a name
// whose date is not a date.
std::optional<MutationName> parseMutationName(QStringView name);

// The rid as it stands in the names of the class's mutation files: the station replaces every character
// that is a path separator, a wildcard or not allowed in a Windows file name by "_".
QString ridInFileName(const QString& rid);

} // namespace kantoor
