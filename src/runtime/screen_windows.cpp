// Windows, controls, the event queue, the message box and the file requesters on Qt Widgets.
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QStandardPaths>
#include <QStyle>
#include <QTextLayout>
#include <QToolBar>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <vector>

#include "runtime/qt_internal.h"

namespace tessaron::runtime {

namespace {

constexpr int kMaxTextCharacters = 5000;

// Focus changes of text fields are control events.
class FocusWatcher : public QObject {
  public:
    FocusWatcher(Machine::Impl& machine, int control, QObject* parent)
        : QObject(parent), machine_(machine), control_(control) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            auto* widget = qobject_cast<QWidget*>(watched);
            machine_.Post(Event{EventCode::Control, control_, machine_.WindowNumberOf(widget)});
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    Machine::Impl& machine_;
    int control_;
};

// Notes which row of a list was current when the left button went down on it, so that the
// list's press signal can tell a click on the row already chosen from one that chose a new row.
class ListPressWatcher : public QObject {
  public:
    explicit ListPressWatcher(QListWidget* list) : QObject(list), list_(list) {}

    int rowBeforePress = -2;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) {
            const auto* press = static_cast<QMouseEvent*>(event);
            rowBeforePress = press->button() == Qt::LeftButton ? list_->currentRow() : -2;
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QListWidget* list_;
};

// The sizes and folders in which a freedesktop icon theme keeps its full-colour action pictures.
constexpr int kThemeIconSizes[] = {16, 22, 24, 32, 48};
constexpr const char* kThemeIconContexts[] = {"actions", "legacy"};
// The freedesktop theme that every desktop's theme falls back on for edit pictures where the
// desktop names none (Debian's adwaita-icon-theme).
constexpr const char* kFallbackIconTheme = "Adwaita";

// The pictures of `name` in the fallback theme, from the toolkit's and the system's icon folders.
QIcon FallbackThemeIcon(const QString& name) {
    QStringList folders = QIcon::themeSearchPaths();
    folders += QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                         QStringLiteral("icons"), QStandardPaths::LocateDirectory);
    QIcon icon;
    for (const QString& folder : folders) {
        const QDir theme(QDir(folder).filePath(QLatin1String(kFallbackIconTheme)));
        for (const int size : kThemeIconSizes) {
            for (const char* context : kThemeIconContexts) {
                const QString file = theme.filePath(
                    QStringLiteral("%1x%1/%2/%3.png").arg(size).arg(QLatin1String(context), name));
                if (QFileInfo(file).isFile()) {
                    icon.addFile(file, QSize(size, size));
                }
            }
        }
        if (!icon.isNull()) {
            break;
        }
    }
    return icon;
}

// A hooked arrow, turning back to the left for undo and on to the right for redo, drawn in the
// style's text colour: the picture when no icon theme is at hand (a desktop without one).
QIcon DrawnCommandIcon(bool redo) {
    QIcon icon;
    for (const int size : {16, 32}) {
        QPixmap picture(size, size);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 16.0, size / 16.0);
        if (redo) {
            painter.translate(16, 0);
            painter.scale(-1, 1);
        }
        const QColor ink = QApplication::palette().color(QPalette::Active, QPalette::WindowText);
        painter.setPen(QPen(ink, 2.0, Qt::SolidLine, Qt::RoundCap));
        painter.setBrush(Qt::NoBrush);
        QPainterPath hook(QPointF(4.5, 6.0));
        hook.lineTo(QPointF(9.0, 6.0));
        hook.cubicTo(QPointF(15.0, 6.0), QPointF(15.0, 13.5), QPointF(9.0, 13.5));
        hook.lineTo(QPointF(6.0, 13.5));
        painter.drawPath(hook);
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawPolygon(QPolygonF({QPointF(1.0, 6.0), QPointF(6.0, 1.5), QPointF(6.0, 10.5)}));
        painter.end();
        icon.addPixmap(picture);
    }
    return icon;
}

// The desktop theme's picture of an edit command, else the fallback theme's, else one drawn.
QIcon CommandIcon(const char* name, bool redo) {
    const QString themeName = QLatin1String(name);
    QIcon icon = QIcon::fromTheme(themeName);
    if (icon.isNull()) {
        icon = FallbackThemeIcon(themeName);
    }
    return icon.isNull() ? DrawnCommandIcon(redo) : icon;
}

QIcon StandardIconFor(StandardIcon icon) {
    QStyle* style = QApplication::style();
    switch (icon) {
        case StandardIcon::Undo:
            return CommandIcon("edit-undo", false);
        case StandardIcon::Redo:
            return CommandIcon("edit-redo", true);
        case StandardIcon::NewFile:
            return style->standardIcon(QStyle::SP_FileIcon);
        case StandardIcon::OpenFile:
            return style->standardIcon(QStyle::SP_DialogOpenButton);
        case StandardIcon::SaveFile:
            return style->standardIcon(QStyle::SP_DialogSaveButton);
    }
    return {};
}

// The key combinations of a command, as the desktops' edit menus have them.
std::vector<QKeyCombination> KeysOf(CommandKeys keys) {
    switch (keys) {
        case CommandKeys::Undo:
            return {QKeyCombination(Qt::ControlModifier, Qt::Key_Z)};
        case CommandKeys::Redo:
            return {QKeyCombination(Qt::ControlModifier, Qt::Key_Y),
                    QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z)};
        case CommandKeys::Copy:
            return {QKeyCombination(Qt::ControlModifier, Qt::Key_C)};
        case CommandKeys::Cut:
            return {QKeyCombination(Qt::ControlModifier, Qt::Key_X)};
        case CommandKeys::Paste:
            return {QKeyCombination(Qt::ControlModifier, Qt::Key_V)};
        case CommandKeys::Delete:
            return {QKeyCombination(Qt::NoModifier, Qt::Key_Delete)};
    }
    return {};
}

// The combination a key press is. Keypad and group-switch states do not make another one.
QKeyCombination CombinationOf(const QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers =
        key.modifiers() &
        (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    return QKeyCombination(modifiers, Qt::Key(key.key()));
}

// A row's text as the program gave it: the bytes kept beside the row, else the text shown.
std::string GivenText(const QVariant& given, const QString& shown);

// The whole text, cut to at most 5000 characters without splitting a surrogate pair.
std::string LimitedText(const QString& text) {
    QString cut = text;
    int units = 0;
    int characters = 0;
    while (units < cut.size() && characters < kMaxTextCharacters) {
        units += cut.at(units).isHighSurrogate() && units + 1 < cut.size() ? 2 : 1;
        ++characters;
    }
    cut.truncate(units);
    return ToStdString(cut);
}

std::string GivenText(const QVariant& given, const QString& shown) {
    if (given.typeId() == QMetaType::QByteArray) {
        const QByteArray bytes = given.toByteArray();
        return std::string(bytes.constData(), std::size_t(bytes.size()));
    }
    return LimitedText(shown);
}

// Static text that breaks its lines between words and, where one word is wider than the label,
// inside the word, so that no text is cut off at the right edge.
class WrappingLabel : public QLabel {
  public:
    using QLabel::QLabel;

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                       QPalette::WindowText));
        QTextOption option(Qt::AlignLeft | Qt::AlignTop);
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        painter.drawText(QRectF(contentsRect()), text(), option);
    }
};

// The height the label's text takes when wrapped as WrappingLabel draws it.
int WrappedTextHeight(const QString& text, const QFont& font, int width) {
    QTextLayout layout(text, font);
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    qreal height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        height += line.height();
    }
    layout.endLayout();
    return static_cast<int>(std::ceil(height));
}

// Button and frame texts show an ampersand as it is; the toolkit would take it as a mnemonic.
// The toolkit's label that shows `text`: each ampersand doubled.
QString ToToolkitLabel(std::string_view text) {
    return ToQString(text).replace(QLatin1Char('&'), QLatin1String("&&"));
}

// The text a toolkit's label shows: each doubled ampersand single again.
QString FromToolkitLabel(const QString& text) {
    return QString(text).replace(QLatin1String("&&"), QLatin1String("&"));
}

}  // namespace

struct Windows::Impl {
    // The windows opened through this object: it closes them when it goes.
    std::set<int> opened;
};

Windows::Windows(Machine& machine) : machine_(machine), impl_(std::make_unique<Impl>()) {}

Windows::~Windows() {
    for (const int number : impl_->opened) {
        machine_.Internals().CloseWindow(number);
    }
}

bool Windows::Open(int number, int x, int y, int innerWidth, int innerHeight, WindowStyle style,
                   std::string_view title) {
    Machine::Impl& m = machine_.Internals();
    if (!m.screenStarted || innerWidth <= 0 || innerHeight <= 0) {
        return false;
    }
    m.CloseWindow(number);
    auto* window = new WindowWidget(m, number);
    WindowEntry entry;
    entry.widget = window;
    entry.style = style;
    Qt::WindowFlags flags = Qt::Window;
    if (style == WindowStyle::Borderless) {
        flags |= Qt::FramelessWindowHint;
    } else if (style == WindowStyle::Dialog) {
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint;
    }
    window->setWindowFlags(flags);
    window->setWindowTitle(ToQString(title));
    if (style == WindowStyle::Resizable) {
        // The window manager places it; the strip holds the controls made next.
        entry.resizable = true;
        entry.strip = new QWidget(window);
        window->setMinimumSize(kSmallestScreenArea);
        window->resize(innerWidth, innerHeight);
    } else {
        window->setFixedSize(innerWidth, innerHeight);
        // A top-level widget's position is that of its outer frame. A dialog's place is given
        // on the play screen (the menus sit in its middle): while a window of any size shows
        // the play screen, the dialog's middle goes where that place's middle is shown, kept on
        // the desktop.
        QPoint at(x, y);
        if (style == WindowStyle::Dialog) {
            const QPoint half(innerWidth / 2, innerHeight / 2);
            if (const std::optional<QPoint> middle = m.DesktopOfScreenPoint(at + half)) {
                at = *middle - half;
                if (const QScreen* desktop = QGuiApplication::screenAt(*middle)) {
                    const QRect area = desktop->availableGeometry();
                    at.setX(std::clamp(at.x(), area.left(),
                                       std::max(area.left(), area.right() + 1 - innerWidth)));
                    at.setY(std::clamp(at.y(), area.top(),
                                       std::max(area.top(), area.bottom() + 1 - innerHeight)));
                }
            }
        }
        window->move(at);
    }
    m.windows[number] = entry;
    m.LayOut(number);
    window->show();
    m.currentWindow = number;
    impl_->opened.insert(number);
    return true;
}

void Windows::Use(int number) {
    Machine::Impl& m = machine_.Internals();
    if (m.windows.count(number) != 0) {
        m.currentWindow = number;
    }
}

int Windows::Current() const {
    return machine_.Internals().currentWindow;
}

bool Windows::IsOpen(int number) const {
    return machine_.Internals().WindowWidgetOf(number) != nullptr;
}

void Windows::Move(int x, int y) {
    Machine::Impl& m = machine_.Internals();
    if (WindowWidget* window = m.WindowWidgetOf(m.currentWindow)) {
        window->move(x, y);
    }
}

int Windows::X() const {
    Machine::Impl& m = machine_.Internals();
    WindowWidget* window = m.WindowWidgetOf(m.currentWindow);
    return window != nullptr ? window->pos().x() : 0;
}

int Windows::Y() const {
    Machine::Impl& m = machine_.Internals();
    WindowWidget* window = m.WindowWidgetOf(m.currentWindow);
    return window != nullptr ? window->pos().y() : 0;
}

void Windows::Activate() {
    Machine::Impl& m = machine_.Internals();
    if (WindowWidget* window = m.WindowWidgetOf(m.currentWindow)) {
        if (window->isMinimized()) {
            // A window manager may offer to minimise a dialog. The pause menu and the new-level
            // dialog can only be left through their buttons: hidden, they would leave the program
            // waiting with nothing to click, so the next turn of their loop brings them back.
            window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        }
        if (!m.HeadlessPlatform()) {
            window->raise();  // the offscreen platform has no stacking order
        }
        window->activateWindow();
    }
}

void Windows::Close(int number) {
    machine_.Internals().CloseWindow(number);
    impl_->opened.erase(number);
}

namespace {

QPointF ExactMousePosition(const Machine::Impl& m) {
    if (m.HeadlessPlatform() || m.mouseScripted) {
        return QPointF(m.mouse);
    }
    // The last position an event gave, where it is still the pointer's pixel.
    const QPoint now = QCursor::pos();
    return m.pointer.toPoint() == now ? m.pointer : QPointF(now);
}

}  // namespace

int Windows::MouseX() const {
    Machine::Impl& m = machine_.Internals();
    return m.LayoutPoint(m.currentWindow, ExactMousePosition(m)).x();
}

int Windows::MouseY() const {
    Machine::Impl& m = machine_.Internals();
    return m.LayoutPoint(m.currentWindow, ExactMousePosition(m)).y();
}

bool Windows::LeftButtonHeld() const {
    return machine_.Internals().leftButtonHeld;
}

// ---------------------------------------------------------------------------------------------
// Events

namespace {

// The oldest queued event, told to the observer; none when nothing is queued.
Event TakeEvent(Machine::Impl& m) {
    if (m.events.empty()) {
        return {};
    }
    const Event event = m.events.front();
    m.events.pop_front();
    if (m.observer) {
        m.observer(event);
    }
    return event;
}

}  // namespace

Event Windows::Poll() {
    Machine::Impl& m = machine_.Internals();
    if (!m.screenStarted) {
        return {};
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return TakeEvent(m);
}

Event Windows::Wait() {
    Machine::Impl& m = machine_.Internals();
    if (!m.screenStarted) {
        return {};
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    while (m.events.empty() && m.stopSignal == 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return TakeEvent(m);
}

void Windows::Queue(const Event& event) {
    machine_.Internals().Post(event);
}

bool Windows::Queued(EventCode code) const {
    const std::deque<Event>& events = machine_.Internals().events;
    return std::any_of(events.begin(), events.end(),
                       [code](const Event& event) { return event.code == code; });
}

void Windows::SetEventObserver(std::function<void(const Event&)> observer) {
    machine_.Internals().observer = std::move(observer);
}

// ---------------------------------------------------------------------------------------------
// Controls

namespace {

// The parent of a new control: the current window. An open option group ends unless the new
// control is an option too.
QWidget* PrepareControl(Machine::Impl& m, ControlKind kind) {
    if (m.WindowWidgetOf(m.currentWindow) == nullptr) {
        return nullptr;
    }
    // A number may be given again (the side panel's frames and labels share 99): the earlier
    // control stays in its window, and the number names the newest one from now on.
    WindowEntry& entry = m.windows[m.currentWindow];
    if (kind != ControlKind::Option) {
        entry.openGroup = nullptr;
    }
    return entry.ControlParent();
}

void Register(Machine::Impl& m, int number, ControlKind kind, QWidget* widget, int x, int y,
              int width, int height) {
    widget->setGeometry(x, y, width, height);
    widget->show();
    ControlEntry entry;
    entry.kind = kind;
    entry.window = m.currentWindow;
    entry.widget = widget;
    m.controls[number] = entry;
}

}  // namespace

void Windows::Frame(int number, int x, int y, int width, int height, std::string_view text,
                    FrameStyle style) {
    Machine::Impl& m = machine_.Internals();
    const ControlKind kind =
        style == FrameStyle::Titled ? ControlKind::Frame : ControlKind::SunkenFrame;
    QWidget* parent = PrepareControl(m, kind);
    if (parent == nullptr) {
        return;
    }
    QWidget* widget = nullptr;
    if (style == FrameStyle::Titled) {
        widget = new QGroupBox(ToToolkitLabel(text), parent);
    } else {
        auto* frame = new QFrame(parent);
        frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        widget = frame;
    }
    // A frame surrounds controls made before or after it: it must never cover them.
    widget->setAttribute(Qt::WA_TransparentForMouseEvents);
    Register(m, number, kind, widget, x, y, width, height);
    widget->lower();
    m.controls[number].text = ToQString(text);
}

void Windows::Label(int number, int x, int y, int width, int height, std::string_view text) {
    Machine::Impl& m = machine_.Internals();
    QWidget* parent = PrepareControl(m, ControlKind::Label);
    if (parent == nullptr) {
        return;
    }
    auto* label = new WrappingLabel(ToQString(text), parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // A text longer than its box grows the box downward rather than losing its last line: the
    // side panel's labels were written for a narrower font than any the host may have.
    const int needed = WrappedTextHeight(label->text(), label->font(), width);
    Register(m, number, ControlKind::Label, label, x, y, width, std::max(height, needed));
}

void Windows::TextField(int number, int x, int y, int width, int height, std::string_view text,
                        TextFieldFlags flags) {
    Machine::Impl& m = machine_.Internals();
    QWidget* parent = PrepareControl(m, ControlKind::TextField);
    if (parent == nullptr) {
        return;
    }
    auto* edit = new QLineEdit(ToQString(text), parent);
    edit->setTextMargins(0, 0, 0, 0);
    if (HasFlag(flags, TextFieldFlags::DigitsOnly)) {
        // Not QIntValidator: it lets "+12" and group separators through.
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    }
    edit->setReadOnly(HasFlag(flags, TextFieldFlags::ReadOnly));
    Machine::Impl* machine = &m;
    QObject::connect(edit, &QLineEdit::textChanged, edit, [machine, number, edit] {
        machine->Post(Event{EventCode::Control, number, machine->WindowNumberOf(edit)});
    });
    edit->installEventFilter(new FocusWatcher(m, number, edit));
    Register(m, number, ControlKind::TextField, edit, x, y, width, height);
}

namespace {

void ConnectClicks(Machine::Impl& m, int number, QAbstractButton* button) {
    Machine::Impl* machine = &m;
    QObject::connect(button, &QAbstractButton::clicked, button, [machine, number, button] {
        machine->Post(Event{EventCode::Control, number, machine->WindowNumberOf(button)});
    });
}

}  // namespace

void Windows::PushButton(int number, int x, int y, int width, int height, std::string_view text) {
    Machine::Impl& m = machine_.Internals();
    QWidget* parent = PrepareControl(m, ControlKind::PushButton);
    if (parent == nullptr) {
        return;
    }
    auto* button = new QPushButton(ToToolkitLabel(text), parent);
    button->setAutoDefault(false);
    ConnectClicks(m, number, button);
    Register(m, number, ControlKind::PushButton, button, x, y, width, height);
}

void Windows::CheckBox(int number, int x, int y, int width, int height, std::string_view text,
                       CheckBoxText placement) {
    Machine::Impl& m = machine_.Internals();
    QWidget* parent = PrepareControl(m, ControlKind::CheckBox);
    if (parent == nullptr) {
        return;
    }
    auto* box = new QCheckBox(ToToolkitLabel(text), parent);
    if (placement == CheckBoxText::RightAligned) {
        // Text at the left, the box at the right edge of the rectangle.
        box->setLayoutDirection(Qt::RightToLeft);
    }
    ConnectClicks(m, number, box);
    Register(m, number, ControlKind::CheckBox, box, x, y, width, height);
}

void Windows::Option(int number, int x, int y, int width, int height, std::string_view text) {
    Machine::Impl& m = machine_.Internals();
    QWidget* parent = PrepareControl(m, ControlKind::Option);
    if (parent == nullptr) {
        return;
    }
    WindowEntry& window = m.windows[m.currentWindow];
    if (window.openGroup == nullptr) {
        window.openGroup = new QButtonGroup(parent);
        window.openGroup->setExclusive(true);
    }
    auto* option = new QRadioButton(ToToolkitLabel(text), parent);
    // The group decides exclusivity, not the shared parent widget.
    option->setAutoExclusive(false);
    window.openGroup->addButton(option);
    ConnectClicks(m, number, option);
    Register(m, number, ControlKind::Option, option, x, y, width, height);
    m.controls[number].group = window.openGroup;
}

void Windows::ListBox(int number, int x, int y, int width, int height) {
    Machine::Impl& m = machine_.Internals();
    QWidget* parent = PrepareControl(m, ControlKind::ListBox);
    if (parent == nullptr) {
        return;
    }
    auto* list = new QListWidget(parent);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setUniformItemSizes(true);
    Machine::Impl* machine = &m;
    // Programmatic changes block the widget's signals, so these come from the user only.
    QObject::connect(list, &QListWidget::currentRowChanged, list, [machine, number, list] {
        machine->Post(Event{EventCode::Control, number, machine->WindowNumberOf(list)});
    });
    QObject::connect(list, &QListWidget::itemDoubleClicked, list, [machine, number, list] {
        machine->Post(Event{EventCode::Control, number, machine->WindowNumberOf(list)});
    });
    // A click on the row already chosen is an event too (the list reports every click), so
    // choosing a movement preset again brings its values back after they were edited. A click
    // that chooses another row is reported once, by the row change above.
    auto* watcher = new ListPressWatcher(list);
    list->viewport()->installEventFilter(watcher);
    QObject::connect(
        list, &QAbstractItemView::pressed, list,
        [machine, number, list, watcher](const QModelIndex& index) {
            if (index.row() == watcher->rowBeforePress && index.row() == list->currentRow()) {
                machine->Post(Event{EventCode::Control, number, machine->WindowNumberOf(list)});
            }
            watcher->rowBeforePress = -2;
        });
    Register(m, number, ControlKind::ListBox, list, x, y, width, height);
}

void Windows::ComboBox(int number, int x, int y, int width, int height) {
    Machine::Impl& m = machine_.Internals();
    QWidget* parent = PrepareControl(m, ControlKind::ComboBox);
    if (parent == nullptr) {
        return;
    }
    auto* combo = new QComboBox(parent);
    Machine::Impl* machine = &m;
    QObject::connect(combo, &QComboBox::activated, combo, [machine, number, combo] {
        machine->Post(Event{EventCode::Control, number, machine->WindowNumberOf(combo)});
    });
    const int closedHeight = combo->sizeHint().height();
    const int rowHeight = std::max(1, combo->fontMetrics().height() + 2);
    combo->setMaxVisibleItems(std::max(1, (height - closedHeight) / rowHeight));
    Register(m, number, ControlKind::ComboBox, combo, x, y, width, closedHeight);
}

void Windows::TrackBar(int number, int x, int y, int width, int height, int minimum, int maximum) {
    Machine::Impl& m = machine_.Internals();
    QWidget* parent = PrepareControl(m, ControlKind::TrackBar);
    if (parent == nullptr) {
        return;
    }
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setRange(std::min(minimum, maximum), std::max(minimum, maximum));
    slider->setSingleStep(1);
    slider->setPageStep(1);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(1);
    slider->setValue(slider->minimum());
    Machine::Impl* machine = &m;
    QObject::connect(slider, &QSlider::valueChanged, slider, [machine, number, slider] {
        machine->Post(Event{EventCode::Control, number, machine->WindowNumberOf(slider)});
    });
    Register(m, number, ControlKind::TrackBar, slider, x, y, width, height);
}

void Windows::Toolbar() {
    Machine::Impl& m = machine_.Internals();
    WindowWidget* window = m.WindowWidgetOf(m.currentWindow);
    if (window == nullptr) {
        return;
    }
    WindowEntry& entry = m.windows[m.currentWindow];
    delete entry.toolbar.data();
    entry.openGroup = nullptr;
    auto* toolbar = new QToolBar(entry.ControlParent());
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->setIconSize(QSize(16, 16));
    toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolbar->setGeometry(0, 0, 1000, 30);
    toolbar->show();
    entry.toolbar = toolbar;
}

void Windows::ToolbarButton(int number, StandardIcon icon, std::string_view toolTip) {
    Machine::Impl& m = machine_.Internals();
    auto window = m.windows.find(m.currentWindow);
    if (window == m.windows.end() || window->second.toolbar == nullptr) {
        return;
    }
    auto old = m.toolbarButtons.find(number);
    if (old != m.toolbarButtons.end()) {
        delete old->second.action.data();
        m.toolbarButtons.erase(old);
    }
    QToolBar* toolbar = window->second.toolbar;
    QAction* action = toolbar->addAction(StandardIconFor(icon), ToQString(toolTip));
    action->setToolTip(ToQString(toolTip));
    const int windowNumber = m.currentWindow;
    Machine::Impl* machine = &m;
    QObject::connect(action, &QAction::triggered, toolbar, [machine, number, windowNumber] {
        machine->Post(Event{EventCode::Toolbar, number, windowNumber});
    });
    m.toolbarButtons[number] = ToolbarButtonEntry{windowNumber, action, {}};
}

void Windows::EnableToolbarButton(int button, bool enabled) {
    Machine::Impl& m = machine_.Internals();
    auto it = m.toolbarButtons.find(button);
    if (it != m.toolbarButtons.end() && it->second.action != nullptr) {
        it->second.action->setEnabled(enabled);
    }
}

bool Windows::ToolbarButtonEnabled(int button) const {
    Machine::Impl& m = machine_.Internals();
    auto it = m.toolbarButtons.find(button);
    return it != m.toolbarButtons.end() && it->second.action != nullptr &&
           it->second.action->isEnabled();
}

void Windows::SetToolbarButtonKeys(int button, CommandKeys keys) {
    Machine::Impl& m = machine_.Internals();
    auto it = m.toolbarButtons.find(button);
    if (it != m.toolbarButtons.end()) {
        it->second.keys = KeysOf(keys);
    }
}

bool Machine::Impl::PressToolbarKeys(const QKeyEvent& key, int window) {
    const QKeyCombination pressed = CombinationOf(key);
    for (auto& [number, button] : toolbarButtons) {
        if (button.window != window || button.action == nullptr ||
            std::find(button.keys.begin(), button.keys.end(), pressed) == button.keys.end()) {
            continue;
        }
        // A window the toolkit blocks behind a message box or a file requester takes no
        // command; trigger() does nothing on a greyed button.
        if (QApplication::activeModalWidget() == nullptr) {
            button.action->trigger();
        }
        return true;
    }
    return false;
}

bool Machine::Impl::PostCommandKeys(const QKeyEvent& key, int window) {
    const QKeyCombination pressed = CombinationOf(key);
    for (const auto& [number, entry] : commandKeys) {
        if (entry.window == window &&
            std::find(entry.keys.begin(), entry.keys.end(), pressed) != entry.keys.end()) {
            Post(Event{EventCode::Command, number, window});
            return true;
        }
    }
    return false;
}

void Windows::SetCommandKeys(int command, CommandKeys keys) {
    Machine::Impl& m = machine_.Internals();
    m.commandKeys[command] = CommandKeysEntry{m.currentWindow, KeysOf(keys)};
}

void Windows::ToolbarSeparator() {
    Machine::Impl& m = machine_.Internals();
    auto window = m.windows.find(m.currentWindow);
    if (window != m.windows.end() && window->second.toolbar != nullptr) {
        window->second.toolbar->addSeparator();
    }
}

namespace {

const ControlEntry* FindControl(const Machine::Impl& m, int number) {
    auto it = m.controls.find(number);
    if (it == m.controls.end() || it->second.widget == nullptr) {
        return nullptr;
    }
    return &it->second;
}

// Sets an option's state without the group refusing to clear its chosen button.
void SetOptionChecked(const ControlEntry& entry, bool checked) {
    auto* option = static_cast<QRadioButton*>(entry.widget.data());
    if (checked || entry.group == nullptr) {
        option->setChecked(checked);
        return;
    }
    entry.group->setExclusive(false);
    option->setChecked(false);
    entry.group->setExclusive(true);
}

void SetStateQuietly(const ControlEntry& entry, int value) {
    QWidget* widget = entry.widget;
    const QSignalBlocker blocker(widget);
    switch (entry.kind) {
        case ControlKind::CheckBox:
            static_cast<QCheckBox*>(widget)->setChecked(value != 0);
            break;
        case ControlKind::Option:
            SetOptionChecked(entry, value != 0);
            break;
        case ControlKind::ListBox: {
            auto* list = static_cast<QListWidget*>(widget);
            if (value >= 0 && value < list->count()) {
                list->setCurrentRow(value);
            } else {
                list->setCurrentRow(-1);
                list->clearSelection();
            }
            break;
        }
        case ControlKind::ComboBox: {
            auto* combo = static_cast<QComboBox*>(widget);
            combo->setCurrentIndex(value >= 0 && value < combo->count() ? value : -1);
            break;
        }
        case ControlKind::TrackBar:
            // The slider clamps a value outside its range to the nearer end.
            static_cast<QSlider*>(widget)->setValue(value);
            break;
        default:
            break;
    }
}

bool TakesInput(const QWidget* widget) {
    return widget->isEnabled();
}

}  // namespace

void Windows::AddRow(int control, std::string_view text) {
    const ControlEntry* entry = FindControl(machine_.Internals(), control);
    if (entry == nullptr) {
        return;
    }
    const QSignalBlocker blocker(entry->widget.data());
    // The row shows the text decoded; RowText gives back the bytes as they were given, so that
    // a file name that is not valid UTF-8 (a preset's) still names its file.
    const QByteArray bytes(text.data(), qsizetype(text.size()));
    if (entry->kind == ControlKind::ListBox) {
        auto* item = new QListWidgetItem(ToQString(text));
        item->setData(Qt::UserRole, bytes);
        static_cast<QListWidget*>(entry->widget.data())->addItem(item);
    } else if (entry->kind == ControlKind::ComboBox) {
        auto* combo = static_cast<QComboBox*>(entry->widget.data());
        const int selected = combo->currentIndex();
        combo->addItem(ToQString(text), bytes);
        // Adding a row never chooses it (Qt would choose the first row added).
        combo->setCurrentIndex(selected);
    }
}

void Windows::SetRowPicture(int control, int row, int width, int height,
                            std::span<const std::uint32_t> pixels) {
    const ControlEntry* entry = FindControl(machine_.Internals(), control);
    if (entry == nullptr || entry->kind != ControlKind::ListBox || width <= 0 || height <= 0 ||
        pixels.size() != std::size_t(width) * std::size_t(height)) {
        return;
    }
    auto* list = static_cast<QListWidget*>(entry->widget.data());
    if (row < 0 || row >= list->count()) {
        return;
    }
    QImage picture(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        std::copy_n(pixels.data() + std::size_t(y) * std::size_t(width), width,
                    reinterpret_cast<QRgb*>(picture.scanLine(y)));
    }
    // As high as a row of text, so that the rows keep their height.
    const int side = list->fontMetrics().height();
    list->setIconSize(QSize(side, side));
    const QSignalBlocker blocker(list);
    list->item(row)->setIcon(QIcon(QPixmap::fromImage(
        picture.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation))));
}

void Windows::ClearRows(int control) {
    const ControlEntry* entry = FindControl(machine_.Internals(), control);
    if (entry == nullptr) {
        return;
    }
    const QSignalBlocker blocker(entry->widget.data());
    if (entry->kind == ControlKind::ListBox) {
        static_cast<QListWidget*>(entry->widget.data())->clear();
    } else if (entry->kind == ControlKind::ComboBox) {
        static_cast<QComboBox*>(entry->widget.data())->clear();
    }
}

std::string Windows::RowText(int control, int row) const {
    const ControlEntry* entry = FindControl(machine_.Internals(), control);
    if (entry == nullptr || row < 0) {
        return {};
    }
    if (entry->kind == ControlKind::ListBox) {
        auto* list = static_cast<QListWidget*>(entry->widget.data());
        return row < list->count()
                   ? GivenText(list->item(row)->data(Qt::UserRole), list->item(row)->text())
                   : std::string();
    }
    if (entry->kind == ControlKind::ComboBox) {
        auto* combo = static_cast<QComboBox*>(entry->widget.data());
        return row < combo->count() ? GivenText(combo->itemData(row), combo->itemText(row))
                                    : std::string();
    }
    return {};
}

int Windows::State(int control) const {
    const ControlEntry* entry = FindControl(machine_.Internals(), control);
    if (entry == nullptr) {
        return 0;
    }
    QWidget* widget = entry->widget;
    switch (entry->kind) {
        case ControlKind::CheckBox:
        case ControlKind::Option:
            return static_cast<QAbstractButton*>(widget)->isChecked() ? 1 : 0;
        case ControlKind::ListBox: {
            auto* list = static_cast<QListWidget*>(widget);
            const int row = list->currentRow();
            return row >= 0 && list->item(row)->isSelected() ? row : -1;
        }
        case ControlKind::ComboBox:
            return static_cast<QComboBox*>(widget)->currentIndex();
        case ControlKind::TrackBar:
            return static_cast<QSlider*>(widget)->value();
        default:
            return 0;
    }
}

void Windows::SetState(int control, int value) {
    const ControlEntry* entry = FindControl(machine_.Internals(), control);
    if (entry != nullptr) {
        SetStateQuietly(*entry, value);
    }
}

std::string Windows::Text(int control) const {
    const ControlEntry* entry = FindControl(machine_.Internals(), control);
    if (entry == nullptr) {
        return {};
    }
    QWidget* widget = entry->widget;
    switch (entry->kind) {
        case ControlKind::Frame:
            return LimitedText(entry->text);
        case ControlKind::SunkenFrame:
            return LimitedText(entry->text);
        case ControlKind::Label:
            return LimitedText(static_cast<QLabel*>(widget)->text());
        case ControlKind::TextField:
            return LimitedText(static_cast<QLineEdit*>(widget)->text());
        case ControlKind::PushButton:
        case ControlKind::CheckBox:
        case ControlKind::Option:
            return LimitedText(FromToolkitLabel(static_cast<QAbstractButton*>(widget)->text()));
        case ControlKind::ListBox: {
            auto* list = static_cast<QListWidget*>(widget);
            return list->currentItem() != nullptr ? LimitedText(list->currentItem()->text())
                                                  : std::string();
        }
        case ControlKind::ComboBox:
            return LimitedText(static_cast<QComboBox*>(widget)->currentText());
        case ControlKind::TrackBar:
            return {};
    }
    return {};
}

void Windows::SetText(int control, std::string_view text) {
    Machine::Impl& m = machine_.Internals();
    auto it = m.controls.find(control);
    if (it == m.controls.end() || it->second.widget == nullptr) {
        return;
    }
    ControlEntry& entry = it->second;
    QWidget* widget = entry.widget;
    const QString value = ToQString(text);
    switch (entry.kind) {
        case ControlKind::Frame:
            static_cast<QGroupBox*>(widget)->setTitle(ToToolkitLabel(text));
            entry.text = value;
            break;
        case ControlKind::SunkenFrame:
            entry.text = value;
            break;
        case ControlKind::Label:
            static_cast<QLabel*>(widget)->setText(value);
            break;
        case ControlKind::TextField:
            // A field whose text the program sets reports the change like a typed one.
            static_cast<QLineEdit*>(widget)->setText(value);
            break;
        case ControlKind::PushButton:
        case ControlKind::CheckBox:
        case ControlKind::Option:
            static_cast<QAbstractButton*>(widget)->setText(ToToolkitLabel(text));
            break;
        default:
            break;
    }
}

void Windows::Disable(int control, bool disabled) {
    const ControlEntry* entry = FindControl(machine_.Internals(), control);
    if (entry != nullptr) {
        entry->widget->setEnabled(!disabled);
    }
}

bool Windows::Exists(int control) const {
    return FindControl(machine_.Internals(), control) != nullptr;
}

int Windows::WindowOf(int control) const {
    const ControlEntry* entry = FindControl(machine_.Internals(), control);
    return entry != nullptr ? entry->window : 0;
}

// ---------------------------------------------------------------------------------------------
// Message box

void Windows::MessageBox(std::string_view title, std::string_view text) {
    Machine::Impl& m = machine_.Internals();
    // A program asked to stop shows no box that would hold it up.
    if (!m.screenStarted || m.HeadlessPlatform() || m.stopSignal != 0) {
        std::fprintf(stderr, "%.*s: %.*s\n", int(title.size()), title.data(), int(text.size()),
                     text.data());
        return;
    }
    QWidget* parent = QApplication::activeWindow();
    QMessageBox box(QMessageBox::NoIcon, ToQString(title), ToQString(text), QMessageBox::Ok,
                    parent);
    box.exec();
}

// ---------------------------------------------------------------------------------------------
// Automation

void Windows::SetMousePosition(int windowX, int windowY) {
    Machine::Impl& m = machine_.Internals();
    WindowWidget* window = m.WindowWidgetOf(m.currentWindow);
    const QPoint origin = window != nullptr ? window->pos() : QPoint(0, 0);
    m.mouse = origin + QPoint(windowX, windowY);
    m.mouseScripted = true;
}

void Windows::SetLeftButtonHeld(bool held) {
    machine_.Internals().leftButtonHeld = held;
}

void Windows::TypeText(int control, std::string_view text) {
    Machine::Impl& m = machine_.Internals();
    const ControlEntry* entry = FindControl(m, control);
    if (entry == nullptr || entry->kind != ControlKind::TextField || !TakesInput(entry->widget)) {
        return;
    }
    auto* edit = static_cast<QLineEdit*>(entry->widget.data());
    if (edit->isReadOnly()) {
        return;
    }
    // Each character is offered as a key press would be: the field's validator may refuse it.
    QString typed;
    const QString input = ToQString(text);
    for (const QChar c : input) {
        QString candidate = typed + c;
        int position = int(candidate.size());
        if (edit->validator() == nullptr ||
            edit->validator()->validate(candidate, position) != QValidator::Invalid) {
            typed = candidate;
        }
    }
    {
        const QSignalBlocker blocker(edit);
        edit->setText(typed);
    }
    m.Post(Event{EventCode::Control, control, entry->window});
}

void Windows::Select(int control, int value) {
    Machine::Impl& m = machine_.Internals();
    const ControlEntry* entry = FindControl(m, control);
    if (entry == nullptr || !TakesInput(entry->widget)) {
        return;
    }
    switch (entry->kind) {
        case ControlKind::CheckBox:
        case ControlKind::Option:
        case ControlKind::ListBox:
        case ControlKind::ComboBox:
        case ControlKind::TrackBar:
            SetStateQuietly(*entry, value);
            m.Post(Event{EventCode::Control, control, entry->window});
            break;
        default:
            break;
    }
}

void Windows::Press(int control) {
    const ControlEntry* entry = FindControl(machine_.Internals(), control);
    if (entry == nullptr) {
        return;
    }
    if (entry->kind == ControlKind::PushButton || entry->kind == ControlKind::CheckBox ||
        entry->kind == ControlKind::Option) {
        // click() toggles check boxes, chooses options and emits clicked like the user's hand;
        // it does nothing on a disabled control.
        static_cast<QAbstractButton*>(entry->widget.data())->click();
    }
}

void Windows::PressToolbarButton(int button) {
    Machine::Impl& m = machine_.Internals();
    auto it = m.toolbarButtons.find(button);
    if (it != m.toolbarButtons.end() && it->second.action != nullptr) {
        it->second.action->trigger();
    }
}

bool Windows::SaveWindowPicture(int number, const std::filesystem::path& file,
                                std::string* problem) {
    WindowWidget* window = machine_.Internals().WindowWidgetOf(number);
    if (window == nullptr) {
        if (problem != nullptr) {
            *problem = "there is no window " + std::to_string(number);
        }
        return false;
    }
    // Pending layout work (a toolbar places its buttons later) first, so the picture is current.
    QCoreApplication::processEvents();
    const QPixmap picture = window->grab();
    return SavePng(picture.toImage(), file, problem);
}

// ---------------------------------------------------------------------------------------------
// File requesters

DialogRequesters::DialogRequesters(Machine& machine) : machine_(machine) {}

namespace {

std::string RunFileDialog(Machine& machine, bool save, std::string_view title,
                          std::string_view initialPath, std::string_view pattern) {
    Machine::Impl& m = machine.Internals();
    if (!m.screenStarted || m.HeadlessPlatform() || m.stopSignal != 0) {
        return {};  // never a window that nobody can answer, nor one that would hold up a stop
    }
    // "/game/LEVEL/Name.TXT": the folder up to the last separator, then the proposed name.
#if defined(_WIN32)
    const std::size_t cut = initialPath.find_last_of("\\/");
#else
    const std::size_t cut = initialPath.find_last_of('/');
#endif
    const std::string_view folderPart =
        cut == std::string_view::npos ? std::string_view() : initialPath.substr(0, cut + 1);
    const std::string_view namePart =
        cut == std::string_view::npos ? initialPath : initialPath.substr(cut + 1);
    const QString folder = PathToQString(machine.Folder().Resolve(folderPart));

    QFileDialog dialog(QApplication::activeWindow(), ToQString(title), folder);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // Name filters match without regard to letter case: "*.TXT" also shows "a.txt".
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    const QString filter = ToQString(pattern);
    if (!filter.isEmpty()) {
        dialog.setNameFilter(filter);
        const qsizetype dot = filter.lastIndexOf(QLatin1Char('.'));
        const QString suffix = dot >= 0 ? filter.mid(dot + 1) : QString();
        if (save && !suffix.isEmpty() && !suffix.contains(QLatin1Char('*'))) {
            // A name typed without its extension still becomes a file the open requester lists.
            dialog.setDefaultSuffix(suffix);
        }
    }
    if (!namePart.empty()) {
        dialog.selectFile(ToQString(namePart));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    // The chosen name as the file system's bytes.
    const QByteArray chosen = QFile::encodeName(dialog.selectedFiles().constFirst());
    return std::string(chosen.constData(), std::size_t(chosen.size()));
}

}  // namespace

std::string DialogRequesters::OpenFile(std::string_view title, std::string_view initialPath,
                                       std::string_view pattern) {
    return RunFileDialog(machine_, false, title, initialPath, pattern);
}

std::string DialogRequesters::SaveFile(std::string_view title, std::string_view initialPath,
                                       std::string_view pattern) {
    return RunFileDialog(machine_, true, title, initialPath, pattern);
}

int DialogRequesters::Ask(std::string_view title, std::string_view question,
                          const std::vector<std::string>& buttons) {
    Machine::Impl& m = machine_.Internals();
    if (!m.screenStarted || m.HeadlessPlatform() || buttons.empty()) {
        return -1;  // never a window that nobody can answer
    }
    QMessageBox box(QMessageBox::Question, ToQString(title), ToQString(question),
                    QMessageBox::NoButton, QApplication::activeWindow());
    std::vector<QPushButton*> added;
    for (const std::string& text : buttons) {
        added.push_back(box.addButton(ToToolkitLabel(text), QMessageBox::ActionRole));
    }
    box.setDefaultButton(added.front());
    // Escape and the close box choose the last button, the one that changes nothing.
    box.setEscapeButton(added.back());
    box.exec();
    // Keys typed into the box were meant for it; their releases may never reach our windows.
    m.keys.fill(false);
    m.pressedSinceSnapshot.fill(false);
    const auto chosen = std::find(added.begin(), added.end(), box.clickedButton());
    return chosen == added.end() ? static_cast<int>(added.size()) - 1
                                 : static_cast<int>(chosen - added.begin());
}

}  // namespace tessaron::runtime
