// The live page's request reader under any bytes a client on the show's network may send: a request cut off
// anywhere, fields of any kind, garbage, a flood. Beyond the sanitizers' checks, it stops at the first broken
// promise:
// - nothing past the head's limit is ever taken for a head, and a head that is read lies within the bytes;
// - a head that is read has a path beginning with "/", with no space, control byte or query in it;
// - the head alone, without what followed it, reads the same;
// - more bytes never turn a refusal into a request: a malformed start stays malformed.
#include "httprequesthead.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

constexpr qsizetype limit = 8 * 1024;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // The server never holds more than the limit.
    const QByteArray held = bytes.left(limit);
    HttpRequestHead head;
    const HttpRequestHead::Result result = HttpRequestHead::parse(held, limit, head);
    if (result == HttpRequestHead::Result::Incomplete)
        require(held.size() < limit);
    if (result == HttpRequestHead::Result::Malformed) {
        HttpRequestHead more;
        require(HttpRequestHead::parse(held + "\r\n\r\n", limit, more) != HttpRequestHead::Result::Complete
            || held.size() + 4 > limit);
    }
    if (result != HttpRequestHead::Result::Complete)
        return 0;
    require(head.length > 0 && head.length <= held.size());
    require(head.path.startsWith('/') && !head.path.contains('?'));
    for (const char c : head.path)
        require(static_cast<unsigned char>(c) > 0x20 && static_cast<unsigned char>(c) < 0x7f);
    HttpRequestHead alone;
    require(HttpRequestHead::parse(held.left(head.length), limit, alone) == HttpRequestHead::Result::Complete);
    require(alone.method == head.method && alone.path == head.path && alone.host == head.host
        && alone.hasHost == head.hasHost && alone.close == head.close && alone.hasBody == head.hasBody
        && alone.length == head.length);
    return 0;
}
