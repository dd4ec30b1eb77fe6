// The look-alike search's own JPEG reader on any bytes: it must never crash, hang or read past
// the data, and a picture it returns has exactly the size its header promised, at an eighth.
// Like the search, pictures whose decode would need more than a bounded amount of memory are not
// decoded (the caller passes them over before decoding).
#include "platform/JpegDcImage.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<JpegDcImage::Header> header = JpegDcImage::header(bytes);
    if (!header || !header->decodable)
        return 0;
    if (header->size.isEmpty() || JpegDcImage::workingBytes(header->size) > 64 * 1024 * 1024)
        return 0;
    const std::optional<QImage> image = JpegDcImage::decode(bytes);
    if (!image)
        return 0;
    const QSize expected((header->size.width() + 7) / 8, (header->size.height() + 7) / 8);
    if (image->size() != expected)
        std::abort();
    return 0;
}
