#include "platform/HeifImage.h"
#include "platform/RegularFile.h"

#include <dlfcn.h>
#include <QFile>

namespace {

// The few declarations of libheif's C interface the decoder needs; the library is opened with
// dlopen so it stays optional. The values are those of the library's stable ABI (version 1).
struct heif_context;
struct heif_image_handle;
struct heif_image;
struct heif_error {
    int code;
    int subcode;
    const char* message;
};
constexpr int kColorspaceRGB = 1;
constexpr int kChromaInterleavedRGB = 10;
constexpr int kChromaInterleavedRGBA = 11;
constexpr int kChannelInterleaved = 10;

struct Api {
    heif_context* (*contextAlloc)() = nullptr;
    void (*contextFree)(heif_context*) = nullptr;
    heif_error (*readFromMemory)(heif_context*, const void*, size_t, const void*) = nullptr;
    heif_error (*primaryHandle)(heif_context*, heif_image_handle**) = nullptr;
    int (*handleWidth)(const heif_image_handle*) = nullptr;
    int (*handleHeight)(const heif_image_handle*) = nullptr;
    // Optional: without it every picture is read opaque.
    int (*handleHasAlpha)(const heif_image_handle*) = nullptr;
    void (*handleRelease)(const heif_image_handle*) = nullptr;
    heif_error (*decode)(const heif_image_handle*, heif_image**, int, int, const void*) = nullptr;
    const uint8_t* (*planeReadonly)(const heif_image*, int, int*) = nullptr;
    int (*imageWidth)(const heif_image*, int) = nullptr;
    int (*imageHeight)(const heif_image*, int) = nullptr;
    void (*imageRelease)(const heif_image*) = nullptr;
    bool loaded = false;
};

template <typename F> bool bind(void* lib, const char* name, F& slot) {
    slot = reinterpret_cast<F>(::dlsym(lib, name));
    return slot != nullptr;
}

const Api& api() {
    static const Api loaded = [] {
        Api a;
        void* lib = ::dlopen("libheif.so.1", RTLD_NOW | RTLD_LOCAL);
        if (!lib)
            return a;
        a.loaded = bind(lib, "heif_context_alloc", a.contextAlloc) &&
                   bind(lib, "heif_context_free", a.contextFree) &&
                   bind(lib, "heif_context_read_from_memory_without_copy", a.readFromMemory) &&
                   bind(lib, "heif_context_get_primary_image_handle", a.primaryHandle) &&
                   bind(lib, "heif_image_handle_get_width", a.handleWidth) &&
                   bind(lib, "heif_image_handle_get_height", a.handleHeight) &&
                   bind(lib, "heif_image_handle_release", a.handleRelease) &&
                   bind(lib, "heif_decode_image", a.decode) &&
                   bind(lib, "heif_image_get_plane_readonly", a.planeReadonly) &&
                   bind(lib, "heif_image_get_width", a.imageWidth) &&
                   bind(lib, "heif_image_get_height", a.imageHeight) &&
                   bind(lib, "heif_image_release", a.imageRelease);
        bind(lib, "heif_image_handle_has_alpha_channel", a.handleHasAlpha);
        // The library stays loaded for the life of the process.
        return a;
    }();
    return loaded;
}

// An open file's primary image handle; releases both on destruction. The library reads the file
// mapped here rather than opening it itself, so the read leaves the access time alone.
class Primary {
public:
    explicit Primary(const QString& path) {
        const Api& a = api();
        if (!a.loaded)
            return;
        RegularFile opened(path);
        if (!opened.moveInto(m_file) || m_file.size() <= 0)
            return;
        const uchar* mapped = m_file.map(0, m_file.size());
        if (!mapped)
            return;
        m_context = a.contextAlloc();
        if (!m_context)
            return;
        if (a.readFromMemory(m_context, mapped, size_t(m_file.size()), nullptr).code != 0)
            return;
        if (a.primaryHandle(m_context, &m_handle).code != 0)
            m_handle = nullptr;
    }
    ~Primary() {
        const Api& a = api();
        if (m_handle)
            a.handleRelease(m_handle);
        if (m_context)
            a.contextFree(m_context);
    }
    Primary(const Primary&) = delete;
    Primary& operator=(const Primary&) = delete;

    const heif_image_handle* handle() const { return m_handle; }

private:
    // Declared first so that it is unmapped only after the context that reads it is freed.
    QFile m_file;
    heif_context* m_context = nullptr;
    heif_image_handle* m_handle = nullptr;
};

} // namespace

namespace HeifImage {

bool available() {
    return api().loaded;
}

std::optional<QSize> size(const QString& path) {
    const Primary primary(path);
    if (!primary.handle())
        return std::nullopt;
    const QSize s(api().handleWidth(primary.handle()), api().handleHeight(primary.handle()));
    return s.isValid() && !s.isEmpty() ? std::optional<QSize>(s) : std::nullopt;
}

std::optional<QImage> read(const QString& path, const QSize& bound) {
    const Primary primary(path);
    if (!primary.handle())
        return std::nullopt;
    const Api& a = api();
    // A picture with transparency keeps it, so that it is seen (and compared) as it shows.
    const bool alpha = a.handleHasAlpha && a.handleHasAlpha(primary.handle()) != 0;
    heif_image* decoded = nullptr;
    if (a.decode(primary.handle(), &decoded, kColorspaceRGB,
                 alpha ? kChromaInterleavedRGBA : kChromaInterleavedRGB, nullptr)
                .code != 0 ||
        !decoded)
        return std::nullopt;
    int stride = 0;
    const uint8_t* pixels = a.planeReadonly(decoded, kChannelInterleaved, &stride);
    const int width = a.imageWidth(decoded, kChannelInterleaved);
    const int height = a.imageHeight(decoded, kChannelInterleaved);
    std::optional<QImage> out;
    const int depth = alpha ? 4 : 3;
    if (pixels && width > 0 && height > 0 && stride >= width * depth) {
        // Wraps the library's buffer, then copies out of it before the image is released.
        const QImage view(pixels, width, height, stride,
                          alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
        QImage image = view.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        if (bound.isValid() && !bound.isEmpty() &&
            (image.width() > bound.width() || image.height() > bound.height()))
            image = image.scaled(bound, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        out = std::move(image);
    }
    a.imageRelease(decoded);
    return out;
}

} // namespace HeifImage
