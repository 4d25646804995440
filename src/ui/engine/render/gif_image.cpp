#include "ui/engine/render/gif_image.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <new>

#include "ui/engine/base/gdiplus_include.h"
#include "ui/engine/render/image_bytes.h"
#include "util/unique_handle.h"

namespace TarselUI {

namespace {

struct GlobalMemTraits {
    using Type = HGLOBAL;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::GlobalFree(h); }
};
using UniqueGlobalMem = Util::UniqueResource<GlobalMemTraits>;

// The GIF time dimension GUID; images of other formats have pages instead,
// and both are asked for by the first dimension the image lists.
bool FirstFrameDimension(Gdiplus::Image& image, GUID& dimension) {
    if (image.GetFrameDimensionsCount() == 0) return false;
    return image.GetFrameDimensionsList(&dimension, 1) == Gdiplus::Ok;
}

// The per-frame delays in hundredths of a second, as the file stores them
// (an array of 32-bit values); empty when the image names none.
std::vector<UINT> DelaysInHundredths(Gdiplus::Image& image, UINT frames) {
    std::vector<UINT> delays(frames, 0);
    const UINT size = image.GetPropertyItemSize(PropertyTagFrameDelay);
    if (size < sizeof(Gdiplus::PropertyItem)) return delays;
    std::vector<std::uint8_t> buffer(size);
    auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
    if (image.GetPropertyItem(PropertyTagFrameDelay, size, item) != Gdiplus::Ok || !item->value) return delays;
    const std::size_t count = item->length / sizeof(UINT);
    for (std::size_t i = 0; i < count && i < frames; ++i) {
        UINT value = 0;
        std::memcpy(&value, static_cast<const std::uint8_t*>(item->value) + i * sizeof(UINT), sizeof value);
        delays[i] = value;
    }
    return delays;
}

}  // namespace

class CGifImage::GdiplusSession {
public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&m_token, &input, nullptr) != Gdiplus::Ok) m_token = 0;
    }
    ~GdiplusSession() {
        if (m_token != 0) Gdiplus::GdiplusShutdown(m_token);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool Running() const { return m_token != 0; }

private:
    ULONG_PTR m_token = 0;
};

void CGifImage::ImageDeleter::operator()(Gdiplus::Image* image) const { delete image; }

void CGifImage::StreamReleaser::operator()(IStream* stream) const { stream->Release(); }

CGifImage::CGifImage() = default;
CGifImage::~CGifImage() = default;

std::unique_ptr<CGifImage> CGifImage::Load(LPCWSTR name) {
    if (!name || !*name) return nullptr;
    try {
        // Skin files have no module-resource source, so neither has this.
        std::vector<std::uint8_t> bytes;
        if (!ReadImageBytes(STRINGorID(name), nullptr, bytes) || bytes.empty()) return nullptr;

        UniqueGlobalMem block(::GlobalAlloc(GMEM_FIXED, bytes.size()));
        if (!block) return nullptr;
        // Fixed memory: the handle is the address.
        std::memcpy(block.get(), bytes.data(), bytes.size());

        std::unique_ptr<CGifImage> gif(new CGifImage());
        gif->m_gdiplus = std::make_unique<GdiplusSession>();
        if (!gif->m_gdiplus->Running()) return nullptr;

        IStream* stream = nullptr;
        if (FAILED(::CreateStreamOnHGlobal(block.get(), TRUE, &stream)) || !stream) return nullptr;
        block.release();  // the stream frees it with its last reference
        gif->m_stream.reset(stream);

        // The same as GdipLoadImageFromStream, with GDI+'s own allocation.
        gif->m_image.reset(new Gdiplus::Image(stream));
        Gdiplus::Image& image = *gif->m_image;
        if (image.GetLastStatus() != Gdiplus::Ok) return nullptr;

        GUID dimension{};
        if (!FirstFrameDimension(image, dimension)) return nullptr;
        const UINT frames = image.GetFrameCount(&dimension);
        if (frames == 0) return nullptr;
        // Decoding every frame now finds a damaged one while the caller can
        // still fall back, rather than in the middle of an animation.
        for (UINT i = 0; i < frames; ++i) {
            if (image.SelectActiveFrame(&dimension, i) != Gdiplus::Ok) return nullptr;
        }
        if (image.SelectActiveFrame(&dimension, 0) != Gdiplus::Ok) return nullptr;

        gif->m_frameDelaysMs = DelaysInHundredths(image, frames);
        for (UINT& delay : gif->m_frameDelaysMs) delay = delay > UINT_MAX / 10 ? UINT_MAX : delay * 10;
        return gif;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

UINT CGifImage::GetWidth() const { return m_image->GetWidth(); }

UINT CGifImage::GetHeight() const { return m_image->GetHeight(); }

bool CGifImage::SelectFrame(UINT index) {
    GUID dimension{};
    if (index >= GetFrameCount() || !FirstFrameDimension(*m_image, dimension)) return false;
    return m_image->SelectActiveFrame(&dimension, index) == Gdiplus::Ok;
}

}  // namespace TarselUI
