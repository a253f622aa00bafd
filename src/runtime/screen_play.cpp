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

#include "runtime/qt_internal.h"

namespace tessaron::runtime {

namespace {

constexpr int kScreenWidth = PlayScreen::kWidth;
constexpr int kScreenHeight = PlayScreen::kHeight;

// Shows the frame last made visible; the back buffer is never seen half drawn.
class ScreenView : public QWidget {
public:
    ScreenView(const QImage& shown, QWidget* parent) : QWidget(parent), shown_(shown) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        painter.drawImage(event->rect(), shown_, event->rect());
    }

private:
    const QImage& shown_;
};

// A stretch of opaque pixels in one row of a sprite.
struct OpaqueRun {
    int start = 0;
    int length = 0;
};

struct Sprite {
    QImage image;  // premultiplied ARGB; transparent pixels are 0
    int width = 0;
    int height = 0;
    int wordsPerRow = 0;
    // One bit per opaque pixel, 64 pixels a word, bit i of a word is column 64 * word + i.
    std::vector<std::uint64_t> mask;
    // The opaque runs of each row: those of row y are runs[rowRuns[y]] .. runs[rowRuns[y + 1]].
    // Every pixel is either fully opaque or fully transparent, so drawing the sprite 1:1 over
    // the opaque back buffer is copying these runs, pixel for pixel what blending would give.
    std::vector<OpaqueRun> runs;
    std::vector<int> rowRuns;
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

QColor ToQColor(Rgb c) { return QColor(c.red, c.green, c.blue); }

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
        return std::hash<std::string>{}(key.text) ^
               (std::hash<const void*>{}(key.font) * 31u) ^ (std::size_t(key.colour) * 131u);
    }
};

struct TextImage {
    QImage image;  // the glyphs on transparent ground, with a margin on each side
    int width = 0;  // the advance
    int margin = 0;
};

constexpr std::size_t kTextCacheLimit = 4096;

// True when a w x h rectangle at (x, y) lies wholly outside the screen. Wide integers: callers
// may pass any position the program computes.
bool OffScreen(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) {
    return x >= kScreenWidth || y >= kScreenHeight || x + w <= 0 || y + h <= 0;
}

std::uint64_t MaskBits(const Sprite& s, int row, int column) {
    // 64 bits of a mask row starting at column (0 <= column < width).
    const std::uint64_t* words = s.mask.data() + std::size_t(row) * std::size_t(s.wordsPerRow);
    const int word = column >> 6;
    const int shift = column & 63;
    std::uint64_t bits = words[word] >> shift;
    if (shift != 0 && word + 1 < s.wordsPerRow) {
        bits |= words[word + 1] << (64 - shift);
    }
    return bits;
}

}  // namespace

struct PlayScreen::Impl {
    explicit Impl(Machine& m) : machine(m), defaultFont(MakeFont(QStringLiteral("DejaVu Sans"), 12)) {
        back.fill(Qt::black);
        shown.fill(Qt::black);
    }

    Machine& machine;
    QImage back{kScreenWidth, kScreenHeight, QImage::Format_RGB32};
    QImage shown{kScreenWidth, kScreenHeight, QImage::Format_RGB32};
    QPointer<ScreenView> view;

    NumberTable<Sprite> sprites;
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

    QImage& Back() {
        if (backIsOld) {
            std::memcpy(back.bits(), shown.constBits(), std::size_t(back.sizeInBytes()));
            backIsOld = false;
        }
        return back;
    }

    QPainter& Painter() {
        if (!painter.isActive()) {
            painter.begin(&Back());
            paintedOpacity = 1.0;
            paintedTransformed = false;
            paintedSmooth = false;
            paintedComposition = QPainter::CompositionMode_SourceOver;
        }
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
    auto* view = new ScreenView(impl_->shown, parent);
    view->setGeometry(x, y, kScreenWidth, kScreenHeight);
    view->show();
    impl_->view = view;
    return true;
}

void PlayScreen::Show() {
    Impl& d = *impl_;
    d.EndPainter();
    // A back buffer that still holds the frame shown last has nothing new to show.
    if (!d.backIsOld) {
        d.back.swap(d.shown);
        d.backIsOld = true;
    }
    // Without a display nobody sees the window: it is drawn only when its picture is taken.
    if (d.view != nullptr && !machine_.Internals().HeadlessPlatform()) {
        d.view->update();
    }
}

void PlayScreen::Clear(Rgb colour) {
    impl_->EndPainter();
    impl_->backIsOld = false;
    impl_->back.fill(ToQColor(colour));
    // The painter opens here, whatever the frame draws first, so that a frame costs the same
    // painter set-up whatever it holds.
    impl_->Plain();
}

// ---------------------------------------------------------------------------------------------
// Sprites

bool PlayScreen::LoadSprite(int number, std::string_view path) {
    impl_->sprites.Remove(number);
    const QString file = PathToQString(machine_.Folder().ResolveShared(FixedPath(path)));
    QImage picture;
    if (!picture.load(file, "BMP") || picture.isNull()) {
        return false;
    }
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    Sprite sprite;
    sprite.width = image.width();
    sprite.height = image.height();
    sprite.wordsPerRow = (sprite.width + 63) / 64;
    sprite.mask.assign(std::size_t(sprite.wordsPerRow) * std::size_t(sprite.height), 0);
    for (int y = 0; y < sprite.height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::uint64_t* maskRow =
            sprite.mask.data() + std::size_t(y) * std::size_t(sprite.wordsPerRow);
        for (int x = 0; x < sprite.width; ++x) {
            // Black is the transparent colour; everything else is opaque, whatever alpha the
            // file may carry.
            if ((row[x] & 0x00FFFFFFu) == 0) {
                row[x] = 0;
            } else {
                row[x] |= 0xFF000000u;
                maskRow[x >> 6] |= std::uint64_t(1) << (x & 63);
            }
        }
    }
    sprite.rowRuns.push_back(0);
    for (int y = 0; y < sprite.height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < sprite.width;) {
            if (row[x] == 0) {
                ++x;
                continue;
            }
            OpaqueRun run{x, 0};
            while (x < sprite.width && row[x] != 0) {
                ++x;
            }
            run.length = x - run.start;
            sprite.runs.push_back(run);
        }
        sprite.rowRuns.push_back(int(sprite.runs.size()));
    }
    // Alpha is only 0 or 255, so the premultiplied form holds the same numbers.
    image.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
    sprite.image = std::move(image);
    impl_->largestSprite = std::max({impl_->largestSprite, sprite.width, sprite.height});
    impl_->sprites.Put(number, std::move(sprite));
    return true;
}

bool PlayScreen::HasSprite(int number) const { return impl_->sprites.Find(number) != nullptr; }

int PlayScreen::SpriteWidth(int number) const {
    const Sprite* s = impl_->sprites.Find(number);
    return s != nullptr ? s->width : 0;
}

int PlayScreen::SpriteHeight(int number) const {
    const Sprite* s = impl_->sprites.Find(number);
    return s != nullptr ? s->height : 0;
}

int PlayScreen::LargestSpriteExtent() const { return impl_->largestSprite; }

void PlayScreen::DrawSprite(int number, int x, int y) {
    const Sprite* s = impl_->sprites.Find(number);
    if (s == nullptr || OffScreen(x, y, s->width, s->height)) {
        return;
    }
    // Copied run by run into the back buffer, clipped to the screen. The painter's own drawing
    // reaches the same pixels at once, so the two may take turns freely.
    QImage& back = impl_->Back();
    uchar* const bits = back.bits();
    const qsizetype stride = back.bytesPerLine();
    const int firstRow = std::max(0, -y);
    const int lastRow = std::min(s->height, kScreenHeight - y);
    const int left = -x;                 // the sprite's first column on the screen
    const int right = kScreenWidth - x;  // one past its last
    for (int row = firstRow; row < lastRow; ++row) {
        auto* target = reinterpret_cast<QRgb*>(bits + stride * (y + row)) + x;
        const auto* source = reinterpret_cast<const QRgb*>(s->image.constScanLine(row));
        for (int r = s->rowRuns[std::size_t(row)]; r < s->rowRuns[std::size_t(row) + 1]; ++r) {
            const int from = std::max(s->runs[std::size_t(r)].start, left);
            const int to = std::min(s->runs[std::size_t(r)].start + s->runs[std::size_t(r)].length, right);
            if (from < to) {
                std::memcpy(target + from, source + from, std::size_t(to - from) * sizeof(QRgb));
            }
        }
    }
}

bool PlayScreen::SpritesCollide(int a, int ax, int ay, int b, int bx, int by) const {
    const Sprite* sa = impl_->sprites.Find(a);
    const Sprite* sb = impl_->sprites.Find(b);
    if (sa == nullptr || sb == nullptr) {
        return false;
    }
    // The overlapping rectangle in screen coordinates (64-bit: positions may be far apart).
    const std::int64_t left = std::max<std::int64_t>(ax, bx);
    const std::int64_t top = std::max<std::int64_t>(ay, by);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t(ax) + sa->width,
                                                      std::int64_t(bx) + sb->width);
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t(ay) + sa->height,
                                                       std::int64_t(by) + sb->height);
    if (left >= right || top >= bottom) {
        return false;
    }
    const int width = int(right - left);
    const int columnA = int(left - ax);
    const int columnB = int(left - bx);
    for (std::int64_t y = top; y < bottom; ++y) {
        const int rowA = int(y - ay);
        const int rowB = int(y - by);
        for (int done = 0; done < width; done += 64) {
            const int span = std::min(64, width - done);
            const std::uint64_t keep = span == 64 ? ~std::uint64_t(0)
                                                  : (std::uint64_t(1) << span) - 1;
            if ((MaskBits(*sa, rowA, columnA + done) & MaskBits(*sb, rowB, columnB + done) &
                 keep) != 0) {
                return true;
            }
        }
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Blended sprites

void PlayScreen::SetBlendedFiltering(bool bilinear) { impl_->bilinear = bilinear; }

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

void PlayScreen::BeginScene() { impl_->inScene = true; }

void PlayScreen::EndScene() { impl_->inScene = false; }

void PlayScreen::DrawBlended(int number, int x, int y, int opacity) {
    Impl& d = *impl_;
    if (!d.inScene || opacity <= 0) {
        return;
    }
    const Blended* b = d.blended.Find(number);
    if (b == nullptr || b->width <= 0 || b->height <= 0) {
        return;
    }
    const Sprite* s = d.sprites.Find(b->sprite);
    if (s == nullptr) {
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

void PlayScreen::EndDrawing() { impl_->drawing = false; }

void PlayScreen::SetDrawingMode(int flags) { impl_->mode = flags; }

void PlayScreen::SetFrontColour(Rgb colour) { impl_->front = ToQColor(colour); }

void PlayScreen::SetBackColour(Rgb colour) { impl_->backColour = ToQColor(colour); }

void PlayScreen::SetTextPosition(int x, int y) { impl_->textPosition = QPoint(x, y); }

void PlayScreen::DrawText(std::string_view text) {
    Impl& d = *impl_;
    if (!d.drawing || text.empty()) {
        return;
    }
    const TextImage& rendered = d.RenderedText(text);
    const int height = rendered.image.height();
    const int x = d.textPosition.x();
    const int y = d.textPosition.y();
    d.textPosition.rx() = int(std::clamp<std::int64_t>(std::int64_t(x) + rendered.width, INT_MIN, INT_MAX));
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
        p.fillRect(QRect(int(left), int(top), int(right - left + 1), int(bottom - top + 1)), colour);
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
        const std::int64_t inner = std::min<std::int64_t>(
            {half - 1, DiscHalfWidth(r, dy - 1), DiscHalfWidth(r, dy + 1)});
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
    impl_->EndPainter();
    return PixelOf(impl_->backIsOld ? impl_->shown : impl_->back, x, y);
}

Rgb PlayScreen::ShownPixel(int x, int y) const { return PixelOf(impl_->shown, x, y); }

void PlayScreen::ReadBackRow(int x, int y, std::span<std::uint32_t> pixels) const {
    impl_->EndPainter();
    std::fill(pixels.begin(), pixels.end(), 0u);
    if (y < 0 || y >= kScreenHeight) {
        return;
    }
    // The part of the wanted run that lies on the screen (64-bit: x may be anywhere).
    const std::int64_t first = std::max<std::int64_t>(x, 0);
    const std::int64_t last =
        std::min<std::int64_t>(std::int64_t(x) + std::int64_t(pixels.size()), kScreenWidth);
    // The back buffer is 0xffRRGGBB; the top byte is dropped.
    const auto* row = reinterpret_cast<const QRgb*>(impl_->back.constScanLine(y));
    for (std::int64_t column = first; column < last; ++column) {
        pixels[std::size_t(column - x)] = row[column] & 0x00FFFFFFu;
    }
}

bool PlayScreen::SaveBackBuffer(const std::filesystem::path& file) const {
    impl_->EndPainter();
    const QImage& back = impl_->backIsOld ? impl_->shown : impl_->back;
    return back.save(PathToQString(file), "PNG");
}

void PlayScreen::CopyBackBuffer(std::vector<std::uint32_t>& pixels) const {
    impl_->EndPainter();
    const QImage& back = impl_->backIsOld ? impl_->shown : impl_->back;
    const auto* bits = reinterpret_cast<const std::uint32_t*>(back.constBits());
    pixels.assign(bits, bits + std::size_t(kScreenWidth) * std::size_t(kScreenHeight));
}

bool PlayScreen::SaveShown(const std::filesystem::path& file) const {
    return impl_->shown.save(PathToQString(file), "PNG");
}

}  // namespace tessaron::runtime
