#pragma once
// An animated picture opened through GDI+, for the animated-image control:
// its bytes are found the way a skin file's are (the resource folder, the
// skin archive, then the name as a plain path), copied into fixed global
// memory owned by a stream, and opened with GdipLoadImageFromStream.

#include <windows.h>

#include <memory>
#include <vector>

namespace Gdiplus {
class Image;
}

struct IStream;

namespace TarselUI {

class CGifImage {
public:
    ~CGifImage();
    CGifImage(const CGifImage&) = delete;
    CGifImage& operator=(const CGifImage&) = delete;

    // Null when no source has the name, or GDI+ cannot open the bytes or
    // decode every frame of them (a truncated file, something else than a
    // picture).
    static std::unique_ptr<CGifImage> Load(LPCWSTR name);

    UINT GetFrameCount() const { return static_cast<UINT>(m_frameDelaysMs.size()); }
    // How long each frame shows, in milliseconds (the file counts in
    // hundredths of a second); 0 for a frame that names no delay.
    const std::vector<UINT>& GetFrameDelays() const { return m_frameDelaysMs; }
    UINT GetWidth() const;
    UINT GetHeight() const;
    // Selects frame `index` (0-based) for drawing; false when out of range.
    bool SelectFrame(UINT index);
    // The GDI+ image, valid as long as this object; GDI+ is kept running
    // for that long.
    Gdiplus::Image* GetImage() const { return m_image.get(); }

private:
    struct ImageDeleter {
        void operator()(Gdiplus::Image* image) const;
    };
    struct StreamReleaser {
        void operator()(IStream* stream) const;
    };
    class GdiplusSession;

    CGifImage();

    // Declared first, destroyed last: GDI+ must outlive the image.
    std::unique_ptr<GdiplusSession> m_gdiplus;
    std::unique_ptr<IStream, StreamReleaser> m_stream;
    std::unique_ptr<Gdiplus::Image, ImageDeleter> m_image;
    std::vector<UINT> m_frameDelaysMs;
};

}  // namespace TarselUI
