#include "qrcode.h"

#include <qrencode.h>

QrCode QrCode::encode(const QByteArray& text)
{
    QrCode code;
    if (text.isEmpty())
        return code;
    QRcode* encoded = QRcode_encodeString8bit(text.constData(), 0, QR_ECLEVEL_M);
    if (!encoded)
        return code;
    code.size = encoded->width;
    code.modules.resize(size_t(code.size) * size_t(code.size));
    for (size_t i = 0; i < code.modules.size(); ++i)
        code.modules[i] = encoded->data[i] & 1; // bit 0: dark; the others say which part of the code it is
    QRcode_free(encoded);
    return code;
}
