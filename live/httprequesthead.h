#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The head of one HTTP/1.x request (request line and header fields), read from the bytes a client sent so
// far, for a server that answers a few fixed GET routes and nothing else. It keeps only what such a server
// needs: the method, the path without its query, the Host field, If-None-Match, whether the connection is to
// close after the answer, and whether a body follows (which the server never reads, so it closes afterwards).
//
// It never reads past the head's limit: a head that does not end within it is TooLarge, whatever follows.
// Anything that is not a well-formed request line with header fields is Malformed; such a client gets its
// answer and the connection closes, so no stray byte is ever taken for the start of another request.
struct HttpRequestHead
{
    enum class Result { Incomplete, Complete, TooLarge, Malformed };

    QByteArray method;
    QByteArray path;
    // HTTP/1.0 or HTTP/1.1: the minor version.
    int minorVersion = 1;
    bool hasHost = false;
    QByteArray host;
    QByteArray ifNoneMatch;
    bool close = false;
    bool hasBody = false;
    // The bytes the head took, its blank line included.
    qsizetype length = 0;

    // Reads a head from the start of `bytes`, which must not end before `limit` unless the client sent no more.
    static Result parse(QByteArrayView bytes, qsizetype limit, HttpRequestHead& head);
};
