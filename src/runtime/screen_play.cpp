// The play screen: a 1024 x 768 back buffer and the frame last shown, keyed and blended sprites,
// their collision masks, and 2D drawing with text.
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <optional>
#include <unordered_map>
#include <vector>

#include "runtime/files.h"
#include "runtime/qt_internal.h"
#include "runtime/screen_pixels.h"
#include "runtime/screen_present.h"

namespace tessaron::runtime {

namespace {

constexpr int kScreenWidth = PlayScreen::kWidth;
constexpr int kScreenHeight = PlayScreen::kHeight;

static_assert(kScreenWidth == pixels::kScreenWidth && kScreenHeight == pixels::kScreenHeight);

// Where an image's pixels lie, read once: the image's own accessors are calls through its
// shared data, and a frame draws hundreds of sprites.
struct PixelView {
    const pixels::Pixel* pixels = nullptr;
    int stride = 0;  // in pixels

    explicit PixelView(const QImage& image = QImage())
        : pixels(reinterpret_cast<const pixels::Pixel*>(image.constBits())),
          stride(int(image.bytesPerLine() / qsizetype(sizeof(pixels::Pixel)))) {}
};

struct Sprite {
    QImage image;    // premultiplied ARGB; transparent pixels are 0
    PixelView view;  // of image, which is never written once the sprite is made
    int width = 0;
    int height = 0;
    // The opaque runs of each row. Every pixel is either fully opaque or fully transparent, so
    // drawing the sprite 1:1 over the opaque back buffer is copying these runs, pixel for pixel
    // what blending would give.
    pixels::RunPicture runs;
    // The picture filtered to other sizes as the painter filters it, made when first drawn at
    // that size: see PlayScreen::Impl::DrawResized.
    struct Resized {
        int width = 0;
        int height = 0;
        QImage image;             // premultiplied ARGB, transparent pixels 0
        PixelView view;           // of image
        pixels::RunPicture runs;  // the pixels that are not 0
    };
    std::vector<Resized> resized;
};

// A keyed sprite waiting to be drawn: see PlayScreen::Impl::Flush.
struct QueuedSprite {
    int number = 0;
    int x = 0;
    int y = 0;
};

struct Blended {
    int sprite = 0;
    int width = 0;
    int height = 0;
    float rotation = 0.0f;
    RotationCentre centre = RotationCentre::Quad;
};

// Objects by number: small numbers index a flat table, so that a draw call costs no hashing.
template <typename T>
class NumberTable {
  public:
    static constexpr int kFlatLimit = 1 << 16;

    T* Find(int number) {
        if (number >= 0 && number < int(flat_.size())) {
            return flat_[std::size_t(number)] ? &*flat_[std::size_t(number)] : nullptr;
        }
        auto it = other_.find(number);
        return it == other_.end() ? nullptr : &it->second;
    }
    const T* Find(int number) const { return const_cast<NumberTable*>(this)->Find(number); }

    T& Put(int number, T value) {
        if (number >= 0 && number < kFlatLimit) {
            if (number >= int(flat_.size())) {
                flat_.resize(std::size_t(number) + 1);
            }
            flat_[std::size_t(number)] = std::move(value);
            return *flat_[std::size_t(number)];
        }
        return other_[number] = std::move(value);
    }

    void Remove(int number) {
        if (number >= 0 && number < int(flat_.size())) {
            flat_[std::size_t(number)].reset();
        } else {
            other_.erase(number);
        }
    }

  private:
    std::vector<std::optional<T>> flat_;
    std::unordered_map<int, T> other_;
};

struct FontEntry {
    explicit FontEntry(const QFont& f) : font(f), metrics(f) {}
    QFont font;
    QFontMetrics metrics;
};

QFont MakeFont(const QString& family, int pixelSize) {
    QFont font(family);
    font.setPixelSize(std::max(1, pixelSize));
    font.setWeight(QFont::Normal);
    // Crisp text without smoothing: the labels stay legible at 7 points, and their colours
    // are exact, so pixel tests can check them.
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QColor ToQColor(Rgb c) {
    return QColor(c.red, c.green, c.blue);
}

// A text as drawn once in a font and colour, kept for the next time: the editor writes the same
// few numbers on hundreds of cells every frame.
struct TextKey {
    const FontEntry* font = nullptr;
    QRgb colour = 0;
    std::string text;
    bool operator==(const TextKey&) const = default;
};

struct TextKeyHash {
    std::size_t operator()(const TextKey& key) const {
        return std::hash<std::string>{}(key.text) ^ (std::hash<const void*>{}(key.font) * 31u) ^
               (std::size_t(key.colour) * 131u);
    }
};

struct TextImage {
    QImage image;   // the glyphs on transparent ground, with a margin on each side
    int width = 0;  // the advance
    int margin = 0;
};

constexpr std::size_t kTextCacheLimit = 4096;

// True when a w x h rectangle at (x, y) lies wholly outside the screen. Wide integers: callers
// may pass any position the program computes.
bool OffScreen(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) {
    return x >= kScreenWidth || y >= kScreenHeight || x + w <= 0 || y + h <= 0;
}

}  // namespace

struct PlayScreen::Impl {
    explicit Impl(Machine& m)
        : machine(m), defaultFont(MakeFont(QStringLiteral("DejaVu Sans"), 12)) {
        back.fill(Qt::black);
        shown.fill(Qt::black);
        // Room for the sprites of a busy frame, so that a frame's queue allocates nothing.
        queued.reserve(kQueueRoom);
        visibleQueued.reserve(kQueueRoom);
    }

    static constexpr std::size_t kQueueRoom = 8192;

    Machine& machine;
    QImage back{kScreenWidth, kScreenHeight, QImage::Format_RGB32};
    QImage shown{kScreenWidth, kScreenHeight, QImage::Format_RGB32};
    QPointer<ScreenView> view;

    NumberTable<Sprite> sprites;
    // The opaque pixels of every sprite, for the collision tests.
    CollisionMasks masks;
    int largestSprite = 0;
    NumberTable<Blended> blended;
    bool bilinear = true;
    bool inScene = false;

    // One painter stays open on the back buffer across draw calls; the state it was last given
    // is remembered so that unchanged settings cost nothing.
    QPainter painter;
    qreal paintedOpacity = 1.0;
    bool paintedTransformed = false;
    bool paintedSmooth = false;
    QPainter::CompositionMode paintedComposition = QPainter::CompositionMode_SourceOver;

    // 2D drawing.
    bool drawing = false;
    int mode = 0;
    QColor front = Qt::black;
    QColor backColour = Qt::white;
    QPoint textPosition;
    FontEntry defaultFont;
    std::unordered_map<int, FontEntry> fonts;
    const FontEntry* font = &defaultFont;
    std::unordered_map<TextKey, TextImage, TextKeyHash> texts;
    TextKey lookup;  // reused, so that a short text costs no allocation to look up

    const TextImage& RenderedText(std::string_view text) {
        lookup.font = font;
        lookup.colour = front.rgb();
        lookup.text.assign(text);
        auto it = texts.find(lookup);
        if (it != texts.end()) {
            return it->second;
        }
        if (texts.size() >= kTextCacheLimit) {
            texts.clear();
        }
        const QString value = ToQString(text);
        const QFontMetrics& metrics = font->metrics;
        TextImage rendered;
        rendered.width = metrics.horizontalAdvance(value);
        // Glyphs may reach a little beyond their advance (overhangs, negative bearings).
        rendered.margin = metrics.height();
        rendered.image = QImage(rendered.width + 2 * rendered.margin, metrics.height(),
                                QImage::Format_ARGB32_Premultiplied);
        rendered.image.fill(Qt::transparent);
        QPainter painter(&rendered.image);
        painter.setFont(font->font);
        painter.setPen(front);
        painter.drawText(rendered.margin, metrics.ascent(), value);
        painter.end();
        return texts.emplace(lookup, std::move(rendered)).first->second;
    }

    // After Show the back buffer holds an older frame until it is cleared: Show swaps the two
    // images instead of copying 3 MB. Whoever reads or draws on it before a clear gets the
    // frame just shown, as if it had been copied.
    bool backIsOld = false;

    DrawingShortcuts shortcuts = DrawingShortcuts::On;

    // Keyed sprites and the clear are not drawn at once but queued until something else needs
    // the back buffer. They only ever put opaque pixels, so the picture drawn last at a pixel
    // is the one that shows there: Flush leaves out every sprite that later solid sprites hide
    // wholly and clears only the pixels that no solid sprite covers.
    std::vector<QueuedSprite> queued;
    std::vector<pixels::Placement> visibleQueued;  // those not hidden, from the last to the first
    bool clearQueued = false;
    QRgb clearColour = 0;
    pixels::CoverMask cover;

    static pixels::Placement PlacementOf(const PixelView& view, const pixels::RunPicture& runs,
                                         int x, int y, int width, int height) {
        pixels::Placement p;
        p.runs = &runs;
        p.pixels = view.pixels;
        p.stride = view.stride;
        p.x = x;
        p.y = y;
        p.visible = pixels::ClipToScreen(x, y, width, height);
        return p;
    }
    static pixels::Placement PlacementOf(const Sprite& s, int x, int y) {
        return PlacementOf(s.view, s.runs, x, y, s.width, s.height);
    }

    pixels::Pixel* BackPixels() { return reinterpret_cast<pixels::Pixel*>(back.bits()); }
    int BackStride() const { return int(back.bytesPerLine() / qsizetype(sizeof(pixels::Pixel))); }

    void TakeShownIfOld() {
        if (backIsOld) {
            std::memcpy(back.bits(), shown.constBits(), std::size_t(back.sizeInBytes()));
            backIsOld = false;
        }
    }

    void Flush() {
        if (queued.empty() && !clearQueued) {
            return;
        }
        if (!clearQueued) {
            TakeShownIfOld();
        }
        pixels::Pixel* const screen = BackPixels();
        const int stride = BackStride();
        if (!clearQueued && queued.size() == 1) {
            const QueuedSprite& q = queued.front();
            pixels::CopyRuns(PlacementOf(*sprites.Find(q.number), q.x, q.y), screen, stride);
            queued.clear();
            return;
        }
        // From the last sprite to the first: one whose rectangle is covered already is hidden
        // by what follows it; a solid one covers its rectangle for those before it.
        cover.Reset();
        visibleQueued.clear();
        for (std::size_t i = queued.size(); i-- > 0;) {
            const QueuedSprite& q = queued[i];
            const Sprite& s = *sprites.Find(q.number);
            const pixels::Placement placement = PlacementOf(s, q.x, q.y);
            if (cover.Covers(placement.visible)) {
                continue;
            }
            visibleQueued.push_back(placement);
            if (s.runs.solid) {
                cover.Cover(placement.visible);
            }
        }
        if (clearQueued) {
            // Every pixel is written now, by the clear or by a solid sprite: whatever the
            // buffer held before (an older frame) no longer matters.
            const pixels::Pixel colour = clearColour;
            cover.ForEachUncoveredRun([&](int x, int y, int length) {
                pixels::FillPixels(screen + std::ptrdiff_t(y) * stride + x, length, colour);
            });
            clearQueued = false;
            backIsOld = false;
        }
        // In the order drawn: the first found from the end is the last to draw.
        for (auto p = visibleQueued.rbegin(); p != visibleQueued.rend(); ++p) {
            pixels::CopyRuns(*p, screen, stride);
        }
        queued.clear();
    }

    // A picture filtered to another size, upright, lying with all its columns on the screen.
    // The painter's filter finds each pixel's samples from the pixel's distance to the
    // picture's corner, so the filtered picture is the same wherever it lies, and drawn over
    // the screen at an opacity it mixes as the painter mixes. A picture cut by the screen's
    // left or right edge is sampled along a shorter row, which the painter may round
    // otherwise, so those draws stay with the painter, as do large pictures and sizes beyond
    // the few kept, which would take memory without bound.
    bool DrawResized(Sprite& s, int width, int height, int x, int y, int opacity) {
        constexpr std::size_t kSizesKept = 64;
        constexpr std::int64_t kLargestKept = 256 * 256;  // pixels
        if (width <= 0 || height <= 0 || std::int64_t(width) * height > kLargestKept || x < 0 ||
            x > kScreenWidth - width || !bilinear) {
            return false;
        }
        auto r = std::find_if(s.resized.begin(), s.resized.end(), [&](const Sprite::Resized& r) {
            return r.width == width && r.height == height;
        });
        if (r == s.resized.end()) {
            if (s.resized.size() >= kSizesKept) {
                return false;
            }
            Sprite::Resized made;
            made.width = width;
            made.height = height;
            made.image = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
            if (made.image.isNull()) {
                return false;
            }
            made.image.fill(0);
            QPainter filter(&made.image);
            filter.setCompositionMode(QPainter::CompositionMode_Source);
            filter.setRenderHint(QPainter::SmoothPixmapTransform, true);
            filter.drawImage(QRectF(0, 0, width, height), s.image, QRectF(0, 0, s.width, s.height));
            filter.end();
            made.view = PixelView(made.image);
            made.runs = pixels::FindRuns(made.view.pixels, width, height, made.view.stride);
            s.resized.push_back(std::move(made));
            r = s.resized.end() - 1;
        }
        Back();
        pixels::BlendRuns(PlacementOf(r->view, r->runs, x, y, width, height), opacity, BackPixels(),
                          BackStride());
        return true;
    }

    // The back buffer with everything queued drawn into it.
    QImage& Back() {
        Flush();
        TakeShownIfOld();
        return back;
    }

    // What the back buffer shows now, for reading.
    const QImage& Current() {
        EndPainter();
        Flush();
        return backIsOld ? shown : back;
    }

    // Opens the painter on the back buffer without drawing what is queued.
    void OpenPainter() {
        if (!painter.isActive()) {
            painter.begin(&back);
            paintedOpacity = 1.0;
            paintedTransformed = false;
            paintedSmooth = false;
            paintedComposition = QPainter::CompositionMode_SourceOver;
        }
    }

    QPainter& Painter() {
        Back();
        OpenPainter();
        return painter;
    }

    void EndPainter() {
        if (painter.isActive()) {
            painter.end();
        }
    }

    void SetOpacity(qreal opacity) {
        if (opacity != paintedOpacity) {
            painter.setOpacity(opacity);
            paintedOpacity = opacity;
        }
    }

    void SetComposition(QPainter::CompositionMode composition) {
        if (composition != paintedComposition) {
            painter.setCompositionMode(composition);
            paintedComposition = composition;
        }
    }

    void ResetTransform() {
        if (paintedTransformed) {
            painter.resetTransform();
            paintedTransformed = false;
        }
    }

    // The painter as keyed sprites and 2D drawing need it: opaque, untransformed, painting over.
    QPainter& Plain() {
        Painter();
        SetOpacity(1.0);
        ResetTransform();
        SetComposition(QPainter::CompositionMode_SourceOver);
        return painter;
    }

    QPainter& Shapes() {
        Plain();
        SetComposition((mode & kInvert) != 0 ? QPainter::RasterOp_NotDestination
                                             : QPainter::CompositionMode_SourceOver);
        return painter;
    }
};

PlayScreen::PlayScreen(Machine& machine)
    : machine_(machine), impl_(std::make_unique<Impl>(machine)) {}

PlayScreen::~PlayScreen() {
    impl_->EndPainter();
    delete impl_->view.data();
}

bool PlayScreen::AttachTo(Windows& /*windows*/, int window, int x, int y) {
    WindowWidget* parent = machine_.Internals().WindowWidgetOf(window);
    if (parent == nullptr) {
        return false;
    }
    delete impl_->view.data();
    // The view shows the frame last made visible; the back buffer is never seen half drawn.
    Impl* d = impl_.get();
    auto* view =
        new ScreenView(FrameBuffers{&d->back, &d->shown, [d] { d->EndPainter(); }}, parent);
    view->setGeometry(x, y, kScreenWidth, kScreenHeight);
    view->show();
    impl_->view = view;
    WindowEntry& entry = machine_.Internals().windows[window];
    entry.screen = view;
    entry.screenAt = QPoint(x, y);
    machine_.Internals().LayOut(window);
    return true;
}

void PlayScreen::Show() {
    Impl& d = *impl_;
    d.EndPainter();
    d.Flush();
    // A back buffer that still holds the frame shown last has nothing new to show.
    if (!d.backIsOld) {
        d.back.swap(d.shown);
        d.backIsOld = true;
    }
    // Without a display nobody sees the window: it is drawn only when its picture is taken.
    if (d.view != nullptr && !machine_.Internals().HeadlessPlatform()) {
        d.view->Present();
    }
}

void PlayScreen::Clear(Rgb colour) {
    Impl& d = *impl_;
    d.EndPainter();
    // Whatever was queued would be painted over.
    d.queued.clear();
    d.backIsOld = false;
    if (d.shortcuts == DrawingShortcuts::Off) {
        d.clearQueued = false;
        d.back.fill(ToQColor(colour));
    } else {
        d.clearQueued = true;
        d.clearColour = ToQColor(colour).rgb();
    }
    // The painter opens here, whatever the frame draws first, so that a frame costs the same
    // painter set-up whatever it holds.
    d.OpenPainter();
}

void PlayScreen::SetDrawingShortcuts(DrawingShortcuts shortcuts) {
    impl_->Flush();
    impl_->shortcuts = shortcuts;
}

// ---------------------------------------------------------------------------------------------
// Sprites

bool PlayScreen::LoadSprite(int number, std::string_view path, std::string* problem) {
    // Sprites queued to be drawn are drawn with the picture they had.
    impl_->Flush();
    impl_->sprites.Remove(number);
    impl_->masks.Remove(number);
    QImage picture;
    std::string why;
    if (!ReadPicture(machine_.Folder().ResolveShared(FixedPath(path)), picture, why)) {
        if (problem != nullptr) {
            *problem = why;
        }
        return false;
    }
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    Sprite sprite;
    sprite.width = image.width();
    sprite.height = image.height();
    CollisionMask mask = CollisionMask::Empty(sprite.width, sprite.height);
    for (int y = 0; y < sprite.height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < sprite.width; ++x) {
            // Black is the transparent colour; everything else is opaque, whatever alpha the
            // file may carry.
            if ((row[x] & 0x00FFFFFFu) == 0) {
                row[x] = 0;
            } else {
                row[x] |= 0xFF000000u;
                mask.Set(x, y);
            }
        }
    }
    sprite.runs =
        pixels::FindRuns(reinterpret_cast<const pixels::Pixel*>(image.constBits()), sprite.width,
                         sprite.height, int(image.bytesPerLine() / qsizetype(sizeof(QRgb))));
    // Alpha is only 0 or 255, so the premultiplied form holds the same numbers.
    image.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
    sprite.image = std::move(image);
    sprite.view = PixelView(sprite.image);
    impl_->largestSprite = std::max({impl_->largestSprite, sprite.width, sprite.height});
    impl_->sprites.Put(number, std::move(sprite));
    impl_->masks.Put(number, std::move(mask));
    return true;
}

bool PlayScreen::HasSprite(int number) const {
    return impl_->sprites.Find(number) != nullptr;
}

bool PlayScreen::CopySprite(int number, std::vector<std::uint32_t>& pixels) const {
    pixels.clear();
    const Sprite* s = impl_->sprites.Find(number);
    if (s == nullptr) {
        return false;
    }
    // Alpha is only 0 or 255, so the premultiplied pixels are the plain ones.
    pixels.reserve(std::size_t(s->width) * std::size_t(s->height));
    for (int y = 0; y < s->height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(s->image.constScanLine(y));
        pixels.insert(pixels.end(), row, row + s->width);
    }
    return true;
}

int PlayScreen::SpriteWidth(int number) const {
    const Sprite* s = impl_->sprites.Find(number);
    return s != nullptr ? s->width : 0;
}

int PlayScreen::SpriteHeight(int number) const {
    const Sprite* s = impl_->sprites.Find(number);
    return s != nullptr ? s->height : 0;
}

int PlayScreen::LargestSpriteExtent() const {
    return impl_->largestSprite;
}

void PlayScreen::DrawSprite(int number, int x, int y) {
    Impl& d = *impl_;
    const Sprite* s = d.sprites.Find(number);
    if (s == nullptr || OffScreen(x, y, s->width, s->height)) {
        return;
    }
    if (d.shortcuts == DrawingShortcuts::Off) {
        d.Plain().drawImage(QPoint(x, y), s->image);
        return;
    }
    // Copied run by run into the back buffer when something needs it. The painter's own
    // drawing reaches the same pixels at once, so the two may take turns freely.
    d.queued.push_back(QueuedSprite{number, x, y});
}

void PlayScreen::DrawPixels(int x, int y, int width, std::span<const std::uint32_t> pixels) {
    Impl& d = *impl_;
    if (width <= 0) {
        return;
    }
    const std::int64_t height = std::int64_t(pixels.size()) / width;
    if (OffScreen(x, y, width, height)) {
        return;
    }
    // What is queued lies under the picture; the painter's own drawing reaches the same pixels.
    d.Back();
    pixels::Pixel* const screen = d.BackPixels();
    const int stride = d.BackStride();
    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t(x) + width, kScreenWidth);
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t(y) + height, kScreenHeight);
    for (std::int64_t row = top; row < bottom; ++row) {
        const std::uint32_t* from = pixels.data() + (row - y) * width + (left - x);
        pixels::Pixel* to = screen + row * stride + left;
        for (std::int64_t column = left; column < right; ++column) {
            *to++ = 0xFF000000u | (*from++ & 0x00FFFFFFu);
        }
    }
}

bool PlayScreen::SpritesCollide(int a, int ax, int ay, int b, int bx, int by) const {
    return impl_->masks.Collide(a, ax, ay, b, bx, by);
}

const CollisionMasks& PlayScreen::Masks() const {
    return impl_->masks;
}

// ---------------------------------------------------------------------------------------------
// Blended sprites

void PlayScreen::SetBlendedFiltering(bool bilinear) {
    impl_->bilinear = bilinear;
}

bool PlayScreen::CreateBlendedSprite(int number, int sprite) {
    const Sprite* s = impl_->sprites.Find(sprite);
    if (s == nullptr) {
        return false;
    }
    Blended b;
    b.sprite = sprite;
    b.width = s->width + 1;
    b.height = s->height + 1;
    impl_->blended.Put(number, b);
    return true;
}

void PlayScreen::BeginScene() {
    impl_->inScene = true;
}

void PlayScreen::EndScene() {
    impl_->inScene = false;
}

void PlayScreen::DrawBlended(int number, int x, int y, int opacity) {
    Impl& d = *impl_;
    if (!d.inScene || opacity <= 0) {
        return;
    }
    const Blended* b = d.blended.Find(number);
    if (b == nullptr || b->width <= 0 || b->height <= 0) {
        return;
    }
    Sprite* s = d.sprites.Find(b->sprite);
    if (s == nullptr) {
        return;
    }
    // Drawn 1:1, upright, at a whole pixel, the picture is not filtered: at full opacity it is
    // a keyed sprite, below it each opaque pixel is mixed as the painter mixes it.
    if (d.shortcuts == DrawingShortcuts::On && b->rotation == 0.0f && b->width == s->width &&
        b->height == s->height) {
        if (OffScreen(x, y, b->width, b->height)) {
            return;
        }
        if (opacity >= 255) {
            d.queued.push_back(QueuedSprite{b->sprite, x, y});
            return;
        }
        d.Back();
        pixels::MixRuns(d.PlacementOf(*s, x, y), opacity, d.BackPixels(), d.BackStride());
        return;
    }
    // Spinning pickups and flickering sensors: filtered to their size.
    if (d.shortcuts == DrawingShortcuts::On && b->rotation == 0.0f &&
        !OffScreen(x, y, b->width, b->height) &&
        d.DrawResized(*s, b->width, b->height, x, y, std::min(opacity, 255))) {
        return;
    }
    float cx = 0.0f;
    float cy = 0.0f;
    if (b->rotation != 0.0f) {
        cx = (b->centre == RotationCentre::Quad ? float(b->width) : float(s->width)) / 2.0f;
        cy = (b->centre == RotationCentre::Quad ? float(b->height) : float(s->height)) / 2.0f;
        // The turned quad lies within a circle about the centre through its farthest corner.
        const float rx = std::max(cx, float(b->width) - cx);
        const float ry = std::max(cy, float(b->height) - cy);
        const std::int64_t reach = std::int64_t(std::ceil(std::sqrt(rx * rx + ry * ry))) + 1;
        const std::int64_t centreX = std::int64_t(x) + std::int64_t(cx);
        const std::int64_t centreY = std::int64_t(y) + std::int64_t(cy);
        if (OffScreen(centreX - reach, centreY - reach, 2 * reach, 2 * reach)) {
            return;
        }
    } else if (OffScreen(x, y, b->width, b->height)) {
        return;
    }
    QPainter& p = d.Painter();
    d.SetComposition(QPainter::CompositionMode_SourceOver);
    d.SetOpacity(std::min(opacity, 255) / 255.0);
    if (d.paintedSmooth != d.bilinear) {
        p.setRenderHint(QPainter::SmoothPixmapTransform, d.bilinear);
        d.paintedSmooth = d.bilinear;
    }
    const QRectF source(0, 0, s->width, s->height);
    if (b->rotation == 0.0f) {
        d.ResetTransform();
        p.drawImage(QRectF(x, y, b->width, b->height), s->image, source);
        return;
    }
    // A growing angle turns the quad clockwise on the screen (y grows downwards).
    QTransform turn;
    turn.translate(x + cx, y + cy);
    turn.rotate(b->rotation);
    turn.translate(-cx, -cy);
    p.setTransform(turn);
    d.paintedTransformed = true;
    p.drawImage(QRectF(0, 0, b->width, b->height), s->image, source);
}

void PlayScreen::SetBlendedSize(int number, int width, int height) {
    if (Blended* b = impl_->blended.Find(number)) {
        b->width = width;
        b->height = height;
        b->rotation = 0.0f;
    }
}

void PlayScreen::SetBlendedRotation(int number, float degrees, RotationCentre centre) {
    if (Blended* b = impl_->blended.Find(number)) {
        b->rotation = degrees;
        b->centre = centre;
    }
}

int PlayScreen::BlendedWidth(int number) const {
    const Blended* b = impl_->blended.Find(number);
    return b != nullptr ? b->width : 0;
}

int PlayScreen::BlendedHeight(int number) const {
    const Blended* b = impl_->blended.Find(number);
    return b != nullptr ? b->height : 0;
}

float PlayScreen::BlendedRotation(int number) const {
    const Blended* b = impl_->blended.Find(number);
    return b != nullptr ? b->rotation : 0.0f;
}

// ---------------------------------------------------------------------------------------------
// 2D drawing

void PlayScreen::BeginDrawing() {
    Impl& d = *impl_;
    d.drawing = true;
    d.mode = 0;
    d.front = Qt::black;
    d.backColour = Qt::white;
    d.font = &d.defaultFont;
}

void PlayScreen::EndDrawing() {
    impl_->drawing = false;
}

void PlayScreen::SetDrawingMode(int flags) {
    impl_->mode = flags;
}

void PlayScreen::SetFrontColour(Rgb colour) {
    impl_->front = ToQColor(colour);
}

void PlayScreen::SetBackColour(Rgb colour) {
    impl_->backColour = ToQColor(colour);
}

void PlayScreen::SetTextPosition(int x, int y) {
    impl_->textPosition = QPoint(x, y);
}

void PlayScreen::DrawText(std::string_view text) {
    Impl& d = *impl_;
    if (!d.drawing || text.empty()) {
        return;
    }
    const TextImage& rendered = d.RenderedText(text);
    const int height = rendered.image.height();
    const int x = d.textPosition.x();
    const int y = d.textPosition.y();
    d.textPosition.rx() =
        int(std::clamp<std::int64_t>(std::int64_t(x) + rendered.width, INT_MIN, INT_MAX));
    if (OffScreen(std::int64_t(x) - rendered.margin, y, rendered.image.width(), height)) {
        return;
    }
    QPainter& p = d.Plain();
    if ((d.mode & kTransparentText) == 0) {
        p.fillRect(QRect(x, y, rendered.width, height), d.backColour);
    }
    p.drawImage(x - rendered.margin, y, rendered.image);
}

int PlayScreen::TextWidth(std::string_view text) const {
    return impl_->font->metrics.horizontalAdvance(ToQString(text));
}

namespace {

// Fills the pixels left .. right, top .. bottom (inclusive) that lie on the screen.
void FillClipped(QPainter& p, std::int64_t left, std::int64_t top, std::int64_t right,
                 std::int64_t bottom, const QColor& colour) {
    left = std::max<std::int64_t>(left, 0);
    top = std::max<std::int64_t>(top, 0);
    right = std::min<std::int64_t>(right, kScreenWidth - 1);
    bottom = std::min<std::int64_t>(bottom, kScreenHeight - 1);
    if (left <= right && top <= bottom) {
        p.fillRect(QRect(int(left), int(top), int(right - left + 1), int(bottom - top + 1)),
                   colour);
    }
}

}  // namespace

void PlayScreen::Rectangle(int x, int y, int width, int height, Rgb colour) {
    Impl& d = *impl_;
    d.front = ToQColor(colour);
    if (!d.drawing || width <= 0 || height <= 0 || OffScreen(x, y, width, height)) {
        return;
    }
    QPainter& p = d.Shapes();
    const std::int64_t right = std::int64_t(x) + width - 1;
    const std::int64_t bottom = std::int64_t(y) + height - 1;
    if ((d.mode & kOutline) == 0 || width <= 2 || height <= 2) {
        FillClipped(p, x, y, right, bottom, d.front);
        return;
    }
    // The outline covers x .. x + width - 1 and y .. y + height - 1, every pixel once (an
    // inverting outline must not turn a corner back).
    FillClipped(p, x, y, right, y, d.front);
    FillClipped(p, x, bottom, right, bottom, d.front);
    FillClipped(p, x, std::int64_t(y) + 1, x, bottom - 1, d.front);
    FillClipped(p, right, std::int64_t(y) + 1, right, bottom - 1, d.front);
}

void PlayScreen::TintRectangle(int x, int y, int width, int height, Rgb colour, int opacity) {
    Impl& d = *impl_;
    if (!d.drawing || width <= 0 || height <= 0 || OffScreen(x, y, width, height)) {
        return;
    }
    d.Plain();
    d.SetComposition(QPainter::CompositionMode_SourceOver);
    QPainter& p = d.painter;
    QColor tint = ToQColor(colour);
    tint.setAlpha(std::clamp(opacity, 0, 255));
    FillClipped(p, x, y, std::int64_t(x) + width - 1, std::int64_t(y) + height - 1, tint);
}

namespace {

// Half the width of the disc's row dy (pixels -h .. h are in it), -1 for rows outside. A pixel
// is in the disc of radius r when its centre lies within r + 1/2 of the centre pixel's centre.
std::int64_t DiscHalfWidth(std::int64_t radius, std::int64_t dy) {
    const std::int64_t limit = radius * radius + radius - dy * dy;
    if (dy < -radius || dy > radius || limit < 0) {
        return -1;
    }
    auto half = std::int64_t(std::sqrt(double(limit)));
    while ((half + 1) * (half + 1) <= limit) {
        ++half;
    }
    while (half * half > limit) {
        --half;
    }
    return half;
}

}  // namespace

void PlayScreen::Circle(int x, int y, int radius, Rgb colour) {
    Impl& d = *impl_;
    d.front = ToQColor(colour);
    const std::int64_t r = radius;
    if (!d.drawing || radius < 0 || OffScreen(x - r, y - r, 2 * r + 1, 2 * r + 1)) {
        return;
    }
    QPainter& p = d.Shapes();
    // Row by row, every pixel once, so that an inverting circle is exact and both halves match.
    const bool outline = (d.mode & kOutline) != 0;
    const std::int64_t first = std::max<std::int64_t>(-r, -std::int64_t(y));
    const std::int64_t last = std::min<std::int64_t>(r, kScreenHeight - 1 - std::int64_t(y));
    for (std::int64_t dy = first; dy <= last; ++dy) {
        const std::int64_t row = y + dy;
        const std::int64_t half = DiscHalfWidth(r, dy);
        if (!outline) {
            FillClipped(p, x - half, row, x + half, row, d.front);
            continue;
        }
        // The outline: pixels of the disc with a neighbour outside it.
        const std::int64_t inner =
            std::min<std::int64_t>({half - 1, DiscHalfWidth(r, dy - 1), DiscHalfWidth(r, dy + 1)});
        if (inner < 0) {
            FillClipped(p, x - half, row, x + half, row, d.front);
        } else {
            FillClipped(p, x - half, row, x - inner - 1, row, d.front);
            FillClipped(p, x + inner + 1, row, x + half, row, d.front);
        }
    }
}

bool PlayScreen::LoadFont(int number, std::string_view face, int points) {
    if (face.empty() || points <= 0) {
        return false;
    }
    // Points to pixels at 96 dots per inch, rounded to the nearest pixel, halves up (7 points
    // give 9).
    const int pixels = (points * 96 + 36) / 72;
    auto old = impl_->fonts.find(number);
    if (old != impl_->fonts.end()) {
        if (impl_->font == &old->second) {
            impl_->font = &impl_->defaultFont;
        }
        impl_->texts.clear();  // texts drawn in the font that is replaced
        impl_->fonts.erase(old);
    }
    impl_->fonts.emplace(number, FontEntry(MakeFont(ToQString(face), pixels)));
    return true;
}

void PlayScreen::UseFont(int number) {
    Impl& d = *impl_;
    auto it = d.fonts.find(number);
    d.font = number == 0 || it == d.fonts.end() ? &d.defaultFont : &it->second;
}

// ---------------------------------------------------------------------------------------------
// Reading back

namespace {

Rgb PixelOf(const QImage& image, int x, int y) {
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) {
        return {};
    }
    const QRgb p = image.pixel(x, y);
    return Rgb{std::uint8_t(qRed(p)), std::uint8_t(qGreen(p)), std::uint8_t(qBlue(p))};
}

}  // namespace

Rgb PlayScreen::BackPixel(int x, int y) const {
    return PixelOf(impl_->Current(), x, y);
}

Rgb PlayScreen::ShownPixel(int x, int y) const {
    return PixelOf(impl_->shown, x, y);
}

void PlayScreen::ReadBackRow(int x, int y, std::span<std::uint32_t> pixels) const {
    // Draws what is queued and reads the frame shown when the back buffer still stands for it.
    const QImage& back = impl_->Current();
    std::fill(pixels.begin(), pixels.end(), 0u);
    if (y < 0 || y >= kScreenHeight) {
        return;
    }
    // The part of the wanted run that lies on the screen (64-bit: x may be anywhere).
    const std::int64_t first = std::max<std::int64_t>(x, 0);
    const std::int64_t last =
        std::min<std::int64_t>(std::int64_t(x) + std::int64_t(pixels.size()), kScreenWidth);
    // The back buffer is 0xffRRGGBB; the top byte is dropped.
    const auto* row = reinterpret_cast<const QRgb*>(back.constScanLine(y));
    for (std::int64_t column = first; column < last; ++column) {
        pixels[std::size_t(column - x)] = row[column] & 0x00FFFFFFu;
    }
}

bool PlayScreen::SaveBackBuffer(const std::filesystem::path& file, std::string* problem) const {
    return SavePng(impl_->Current(), file, problem);
}

void PlayScreen::CopyBackBuffer(std::vector<std::uint32_t>& pixels) const {
    const QImage& back = impl_->Current();
    const auto* bits = reinterpret_cast<const std::uint32_t*>(back.constBits());
    pixels.assign(bits, bits + std::size_t(kScreenWidth) * std::size_t(kScreenHeight));
}

bool PlayScreen::SaveShown(const std::filesystem::path& file, std::string* problem) const {
    return SavePng(impl_->shown, file, problem);
}

}  // namespace tessaron::runtime
