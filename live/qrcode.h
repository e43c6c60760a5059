#pragma once

#include <QByteArray>
#include <vector>

// A QR code as a square of modules, made by libqrencode (error correction M, so a screen's glare or a
// scratch on a printed copy still reads). Dark modules are true. Empty when the text cannot be encoded.
struct QrCode
{
    int size = 0;
    std::vector<bool> modules;

    bool isEmpty() const { return size == 0; }
    bool dark(int x, int y) const { return modules[size_t(y) * size_t(size) + size_t(x)]; }

    static QrCode encode(const QByteArray& text);
};
