// The play screen's view: the frame shown last, filling the widget keeping its shape, painted by
// the toolkit or, on X11, handed to the display server from shared memory and scaled there.
#include "runtime/screen_present.h"

#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

#include <cmath>
#include <cstring>

#include "runtime/screen.h"

#if defined(TESSARON_X11_FRAMES)
#include <QGuiApplication>

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/render.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <cstdlib>
#endif

namespace tessaron::runtime {

namespace {

int DevicePixels(int logical, qreal ratio) {
    return std::max(1, int(std::lround(logical * ratio)));
}

}  // namespace

#if defined(TESSARON_X11_FRAMES)

// The two frame buffers in memory shared with the X server, each a pixmap of the server with a
// RENDER picture on it. Presenting a frame is one composite request into the window, which also
// scales it (nearest pixel for a whole multiple, bilinear otherwise): the program copies no
// pixel, and a server with a GPU scales there.
class SharedFrames {
  public:
    static std::unique_ptr<SharedFrames> Start(QWidget& view, const FrameBuffers& frames);
    ~SharedFrames();
    SharedFrames(const SharedFrames&) = delete;
    SharedFrames& operator=(const SharedFrames&) = delete;

    // False when the frame is not one of the shared ones.
    bool Present(const QImage& shown, QWidget& view);

  private:
    struct Buffer {
        int id = -1;
        uchar* data = nullptr;
        xcb_shm_seg_t segment = 0;
        xcb_pixmap_t pixmap = 0;
        xcb_render_picture_t picture = 0;
        // The placement its picture's transform and filter were set for.
        int width = 0;
        int height = 0;
        bool sharp = true;
        // A request sent after the buffer's last composite: once answered, the server has read
        // the buffer and it may be drawn into.
        bool fenced = false;
        xcb_get_input_focus_cookie_t fence{};
    };

    explicit SharedFrames(xcb_connection_t* connection, const FrameBuffers& frames)
        : c_(connection), frames_(frames) {}
    bool Allocate(Buffer& buffer, xcb_window_t root);
    bool FindFormats(xcb_window_t window);
    void WaitFor(Buffer& buffer);

    xcb_connection_t* c_;
    FrameBuffers frames_;
    Buffer buffers_[2];
    xcb_render_pictformat_t frameFormat_ = 0;
    xcb_render_pictformat_t windowFormat_ = 0;
    xcb_window_t window_ = 0;
    xcb_render_picture_t windowPicture_ = 0;
};

namespace {

constexpr int kStride = PlayScreen::kWidth * 4;
constexpr std::size_t kFrameBytes = std::size_t(kStride) * PlayScreen::kHeight;

bool Checked(xcb_connection_t* c, xcb_void_cookie_t cookie) {
    xcb_generic_error_t* error = xcb_request_check(c, cookie);
    std::free(error);
    return error == nullptr;
}

// 16.16 fixed point.
xcb_render_fixed_t Fixed(double value) {
    return xcb_render_fixed_t(std::lround(value * 65536.0));
}

}  // namespace

std::unique_ptr<SharedFrames> SharedFrames::Start(QWidget& view, const FrameBuffers& frames) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr || frames.back == nullptr ||
        frames.shown == nullptr) {
        return nullptr;
    }
    xcb_connection_t* c = x11->connection();
    const xcb_query_extension_reply_t* shm = xcb_get_extension_data(c, &xcb_shm_id);
    const xcb_query_extension_reply_t* render = xcb_get_extension_data(c, &xcb_render_id);
    if (shm == nullptr || !shm->present || render == nullptr || !render->present) {
        return nullptr;
    }
    xcb_shm_query_version_reply_t* shmVersion =
        xcb_shm_query_version_reply(c, xcb_shm_query_version(c), nullptr);
    const bool sharedPixmaps = shmVersion != nullptr && shmVersion->shared_pixmaps != 0 &&
                               shmVersion->pixmap_format == XCB_IMAGE_FORMAT_Z_PIXMAP;
    std::free(shmVersion);
    // Filters and transforms came with RENDER 0.6.
    xcb_render_query_version_reply_t* renderVersion =
        xcb_render_query_version_reply(c, xcb_render_query_version(c, 0, 11), nullptr);
    const bool transforms = renderVersion != nullptr &&
                            (renderVersion->major_version > 0 || renderVersion->minor_version >= 6);
    std::free(renderVersion);
    if (!sharedPixmaps || !transforms) {
        return nullptr;
    }
    const xcb_window_t window = xcb_window_t(view.window()->winId());
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
    if (geometry == nullptr) {
        return nullptr;
    }
    const xcb_window_t root = geometry->root;
    std::free(geometry);

    std::unique_ptr<SharedFrames> shared(new SharedFrames(c, frames));
    if (!shared->FindFormats(window) || !shared->Allocate(shared->buffers_[0], root) ||
        !shared->Allocate(shared->buffers_[1], root)) {
        return nullptr;
    }
    // The frames move into the shared memory with the pixels they hold.
    if (frames.releaseBack) {
        frames.releaseBack();
    }
    QImage* images[2] = {frames.back, frames.shown};
    for (int i = 0; i < 2; ++i) {
        QImage moved(shared->buffers_[i].data, PlayScreen::kWidth, PlayScreen::kHeight, kStride,
                     QImage::Format_RGB32);
        const QImage& old = *images[i];
        for (int y = 0; y < PlayScreen::kHeight && y < old.height(); ++y) {
            std::memcpy(moved.scanLine(y), old.constScanLine(y),
                        std::size_t(std::min<qsizetype>(kStride, old.bytesPerLine())));
        }
        *images[i] = moved;
    }
    return shared;
}

bool SharedFrames::FindFormats(xcb_window_t window) {
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, window), nullptr);
    if (attributes == nullptr) {
        return false;
    }
    const xcb_visualid_t visual = attributes->visual;
    std::free(attributes);
    xcb_render_query_pict_formats_reply_t* formats =
        xcb_render_query_pict_formats_reply(c_, xcb_render_query_pict_formats(c_), nullptr);
    if (formats == nullptr) {
        return false;
    }
    // The frames: 32 bits a pixel, 0xffRRGGBB, the top byte unused.
    for (auto it = xcb_render_query_pict_formats_formats_iterator(formats); it.rem != 0;
         xcb_render_pictforminfo_next(&it)) {
        const xcb_render_pictforminfo_t& f = *it.data;
        if (f.type == XCB_RENDER_PICT_TYPE_DIRECT && f.depth == 24 && f.direct.red_shift == 16 &&
            f.direct.red_mask == 0xff && f.direct.green_shift == 8 && f.direct.green_mask == 0xff &&
            f.direct.blue_shift == 0 && f.direct.blue_mask == 0xff && f.direct.alpha_mask == 0) {
            frameFormat_ = f.id;
        }
    }
    // The window: the format of its visual.
    for (auto screen = xcb_render_query_pict_formats_screens_iterator(formats); screen.rem != 0;
         xcb_render_pictscreen_next(&screen)) {
        for (auto depth = xcb_render_pictscreen_depths_iterator(screen.data); depth.rem != 0;
             xcb_render_pictdepth_next(&depth)) {
            for (auto v = xcb_render_pictdepth_visuals_iterator(depth.data); v.rem != 0;
                 xcb_render_pictvisual_next(&v)) {
                if (v.data->visual == visual) {
                    windowFormat_ = v.data->format;
                }
            }
        }
    }
    std::free(formats);
    return frameFormat_ != 0 && windowFormat_ != 0;
}

bool SharedFrames::Allocate(Buffer& buffer, xcb_window_t root) {
    buffer.id = shmget(IPC_PRIVATE, kFrameBytes, IPC_CREAT | 0600);
    if (buffer.id < 0) {
        return false;
    }
    void* address = shmat(buffer.id, nullptr, 0);
    if (address == reinterpret_cast<void*>(-1)) {
        shmctl(buffer.id, IPC_RMID, nullptr);
        buffer.id = -1;
        return false;
    }
    buffer.data = static_cast<uchar*>(address);
    buffer.segment = xcb_generate_id(c_);
    const bool attached = Checked(c_, xcb_shm_attach_checked(c_, buffer.segment, buffer.id, 0));
    // The segment goes when both sides let go of it, also if the program is killed.
    shmctl(buffer.id, IPC_RMID, nullptr);
    if (!attached) {
        buffer.segment = 0;
        return false;
    }
    buffer.pixmap = xcb_generate_id(c_);
    if (!Checked(c_, xcb_shm_create_pixmap_checked(c_, buffer.pixmap, root, PlayScreen::kWidth,
                                                   PlayScreen::kHeight, 24, buffer.segment, 0))) {
        buffer.pixmap = 0;
        return false;
    }
    buffer.picture = xcb_generate_id(c_);
    // Bilinear filtering at the edges takes the edge pixels, not black beyond them.
    const std::uint32_t repeat = XCB_RENDER_REPEAT_PAD;
    if (!Checked(c_,
                 xcb_render_create_picture_checked(c_, buffer.picture, buffer.pixmap, frameFormat_,
                                                   XCB_RENDER_CP_REPEAT, &repeat))) {
        buffer.picture = 0;
        return false;
    }
    buffer.width = PlayScreen::kWidth;
    buffer.height = PlayScreen::kHeight;
    buffer.sharp = true;
    return true;
}

SharedFrames::~SharedFrames() {
    // The frames go back into memory of the program's own, with their pixels.
    if (frames_.back != nullptr && frames_.shown != nullptr) {
        if (frames_.releaseBack) {
            frames_.releaseBack();
        }
        for (QImage* image : {frames_.back, frames_.shown}) {
            for (const Buffer& buffer : buffers_) {
                if (buffer.data != nullptr && image->constBits() == buffer.data) {
                    *image = image->copy();
                }
            }
        }
    }
    for (Buffer& buffer : buffers_) {
        WaitFor(buffer);
        if (buffer.picture != 0) {
            xcb_render_free_picture(c_, buffer.picture);
        }
        if (buffer.pixmap != 0) {
            xcb_free_pixmap(c_, buffer.pixmap);
        }
        if (buffer.segment != 0) {
            xcb_shm_detach(c_, buffer.segment);
        }
    }
    if (windowPicture_ != 0) {
        xcb_render_free_picture(c_, windowPicture_);
    }
    // Nothing of the server reads the memory once it has answered.
    xcb_get_input_focus_reply_t* sync =
        xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr);
    std::free(sync);
    for (Buffer& buffer : buffers_) {
        if (buffer.data != nullptr) {
            shmdt(buffer.data);
        }
    }
}

void SharedFrames::WaitFor(Buffer& buffer) {
    if (buffer.fenced) {
        std::free(xcb_get_input_focus_reply(c_, buffer.fence, nullptr));
        buffer.fenced = false;
    }
}

bool SharedFrames::Present(const QImage& shown, QWidget& view) {
    Buffer* frame = nullptr;
    Buffer* other = nullptr;
    for (int i = 0; i < 2; ++i) {
        if (shown.constBits() == buffers_[i].data) {
            frame = &buffers_[i];
            other = &buffers_[1 - i];
        }
    }
    if (frame == nullptr) {
        return false;
    }
    const xcb_window_t window = xcb_window_t(view.window()->winId());
    if (window != window_) {
        if (windowPicture_ != 0) {
            xcb_render_free_picture(c_, windowPicture_);
        }
        windowPicture_ = xcb_generate_id(c_);
        xcb_render_create_picture(c_, windowPicture_, window, windowFormat_, 0, nullptr);
        window_ = window;
    }
    const qreal ratio = view.devicePixelRatioF();
    const QPoint origin = view.mapTo(view.window(), QPoint(0, 0));
    const ScreenPlacement p =
        PlaceScreen(DevicePixels(view.width(), ratio), DevicePixels(view.height(), ratio));
    if (p.width != frame->width || p.height != frame->height || p.sharp != frame->sharp) {
        // The transform takes a window pixel to the frame's: the frame's size over the shown.
        const xcb_render_transform_t scale = {Fixed(double(PlayScreen::kWidth) / p.width),
                                              0,
                                              0,
                                              0,
                                              Fixed(double(PlayScreen::kHeight) / p.height),
                                              0,
                                              0,
                                              0,
                                              Fixed(1.0)};
        xcb_render_set_picture_transform(c_, frame->picture, scale);
        const char* filter = p.sharp ? "nearest" : "bilinear";
        xcb_render_set_picture_filter(c_, frame->picture, std::uint16_t(std::strlen(filter)),
                                      filter, 0, nullptr);
        frame->width = p.width;
        frame->height = p.height;
        frame->sharp = p.sharp;
    }
    xcb_render_composite(c_, XCB_RENDER_PICT_OP_SRC, frame->picture, XCB_RENDER_PICTURE_NONE,
                         windowPicture_, 0, 0, 0, 0,
                         std::int16_t(std::lround(origin.x() * ratio) + p.x),
                         std::int16_t(std::lround(origin.y() * ratio) + p.y),
                         std::uint16_t(p.width), std::uint16_t(p.height));
    frame->fence = xcb_get_input_focus(c_);
    frame->fenced = true;
    xcb_flush(c_);
    // The other buffer becomes the one drawn into: the server must be done reading it. Its
    // composite went out a pass ago, so the answer is almost always here already.
    WaitFor(*other);
    return true;
}

#else

class SharedFrames {
  public:
    static std::unique_ptr<SharedFrames> Start(QWidget&, const FrameBuffers&) { return nullptr; }
    bool Present(const QImage&, QWidget&) { return false; }
};

#endif

ScreenView::ScreenView(FrameBuffers frames, QWidget* parent)
    : QWidget(parent), frames_(std::move(frames)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    // A click on the map takes the keyboard from a number field, so that the editor's command
    // keys (Ctrl+C, Delete, ...) then act on the map rather than on the field's text.
    setFocusPolicy(Qt::ClickFocus);
}

ScreenView::~ScreenView() = default;

void ScreenView::Present() {
    if (!triedShared_ && isVisible()) {
        triedShared_ = true;
        shared_ = SharedFrames::Start(*this, frames_);
    }
    if (shared_ != nullptr && isVisible() && shared_->Present(*frames_.shown, *this)) {
        return;
    }
    update();
}

void ScreenView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QImage& shown = *frames_.shown;
    const qreal ratio = devicePixelRatioF();
    const int areaWidth = DevicePixels(width(), ratio);
    const int areaHeight = DevicePixels(height(), ratio);
    const ScreenPlacement p = PlaceScreen(areaWidth, areaHeight);
    if (ratio == 1.0 && p.x == 0 && p.y == 0 && p.width == areaWidth && p.height == areaHeight &&
        p.width == shown.width() && p.height == shown.height()) {
        // Pixel for pixel: only the part asked for.
        painter.drawImage(event->rect(), shown, event->rect());
        return;
    }
    // In device pixels, so that a whole multiple stays sharp at any device pixel ratio.
    painter.setTransform(QTransform::fromScale(1.0 / ratio, 1.0 / ratio));
    const QRect picture(p.x, p.y, p.width, p.height);
    for (const QRect& bar : QRegion(0, 0, areaWidth, areaHeight) - QRegion(picture)) {
        painter.fillRect(bar, Qt::black);
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, !p.sharp);
    painter.drawImage(picture, shown);
}

}  // namespace tessaron::runtime
