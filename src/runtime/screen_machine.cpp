// Start and end of the machine layer, the application-wide input filter and the keyboard.
#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QCloseEvent>
#include <QCursor>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QTimer>
#include <QTranslator>
#include <QWheelEvent>

#include <SDL_mixer.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

// The toolkit's headers above say whether it was built for X11.
#if defined(TESSARON_HAVE_XCB) && QT_CONFIG(xcb)
#define TESSARON_ASK_X_SERVER 1
#include <xcb/xcb.h>
#endif

#include "runtime/file_writer.h"
#include "runtime/files.h"
#include "runtime/qt_internal.h"

namespace tessaron::runtime {

namespace {

// The one QApplication of the process. Machines may come and go (tests make several); the
// application stays until the process ends and is never deleted: by the time static objects are
// destroyed, Qt has already torn down the global state its destructor needs.
QApplication* g_application = nullptr;

// QApplication keeps a reference to argc: it must outlive the application.
int g_argc = 1;
char g_programName[] = "tessaron";
char* g_argv[] = {g_programName, nullptr};

bool EnvironmentSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// Without a desktop session (scripted runs, CI) the toolkit warns at every start that it has no
// runtime folder, then makes one in the temporary folder. Making the same private folder first
// keeps a scripted run's output to what the run itself says.
void EnsureRuntimeFolder() {
    if (EnvironmentSet("XDG_RUNTIME_DIR")) {
        return;
    }
    const QString path = QDir::tempPath() + QStringLiteral("/runtime-") +
                         QString::fromLocal8Bit(qgetenv("USER").isEmpty() ? QByteArray("tessaron")
                                                                          : qgetenv("USER"));
    if (!QDir().mkpath(path)) {
        return;
    }
    QFile::setPermissions(path,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QFileInfo info(path);
    if (info.isDir() && info.isWritable()) {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(path));
    }
}

// The whole interface is German, whatever the user's language: the toolkit's own texts (the
// file requesters' and the message boxes' buttons and labels) too, from the distribution's
// translations of the toolkit where they are installed, with German dates and numbers in them.
void UseGermanToolkitTexts() {
    const QLocale german(QLocale::German, QLocale::Germany);
    QLocale::setDefault(german);
    auto* translator = new QTranslator(g_application);
    if (translator->load(german, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}

}  // namespace

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::string ToStdString(const QString& text) {
    return text.toUtf8().toStdString();
}

bool SavePng(const QImage& image, const std::filesystem::path& file, std::string* problem) {
    QByteArray png;
    QBuffer buffer(&png);
    std::string why;
    if (image.isNull() || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
        why = "the picture cannot be encoded";
    } else if (WriteWholeFile(file,
                              std::span(reinterpret_cast<const std::uint8_t*>(png.constData()),
                                        std::size_t(png.size())),
                              why)) {
        return true;
    }
    if (problem != nullptr) {
        *problem = why;
    }
    return false;
}

QString PathToQString(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return QString::fromUtf8(reinterpret_cast<const char*>(text.data()), qsizetype(text.size()));
}

int ScanCodeForQtKey(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Escape:
            return 0x01;
        case Qt::Key_1:
            return 0x02;
        case Qt::Key_2:
            return 0x03;
        case Qt::Key_3:
            return 0x04;
        case Qt::Key_4:
            return 0x05;
        case Qt::Key_5:
            return 0x06;
        case Qt::Key_6:
            return 0x07;
        case Qt::Key_7:
            return 0x08;
        case Qt::Key_8:
            return 0x09;
        case Qt::Key_9:
            return 0x0A;
        case Qt::Key_0:
            return 0x0B;
        case Qt::Key_Backspace:
            return 0x0E;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return 0x0F;
        case Qt::Key_Q:
            return 0x10;
        case Qt::Key_W:
            return 0x11;
        case Qt::Key_E:
            return 0x12;
        case Qt::Key_R:
            return 0x13;
        case Qt::Key_T:
            return 0x14;
        case Qt::Key_Z:
            return 0x15;  // the German layout's Z sits where the Y is elsewhere
        case Qt::Key_U:
            return 0x16;
        case Qt::Key_I:
            return 0x17;
        case Qt::Key_O:
            return 0x18;
        case Qt::Key_P:
            return 0x19;
        case Qt::Key_Return:
            return 0x1C;
        case Qt::Key_Control:
            return 0x1D;
        case Qt::Key_A:
            return 0x1E;
        case Qt::Key_S:
            return 0x1F;
        case Qt::Key_D:
            return 0x20;
        case Qt::Key_F:
            return 0x21;
        case Qt::Key_G:
            return 0x22;
        case Qt::Key_H:
            return 0x23;
        case Qt::Key_J:
            return 0x24;
        case Qt::Key_K:
            return 0x25;
        case Qt::Key_L:
            return 0x26;
        case Qt::Key_Shift:
            return 0x2A;
        case Qt::Key_Y:
            return 0x2C;
        case Qt::Key_X:
            return 0x2D;
        case Qt::Key_C:
            return 0x2E;
        case Qt::Key_V:
            return 0x2F;
        case Qt::Key_B:
            return 0x30;
        case Qt::Key_N:
            return 0x31;
        case Qt::Key_M:
            return 0x32;
        case Qt::Key_Alt:
            return 0x38;
        case Qt::Key_Space:
            return 0x39;
        case Qt::Key_F1:
            return 0x3B;
        case Qt::Key_F2:
            return 0x3C;
        case Qt::Key_F3:
            return 0x3D;
        case Qt::Key_F4:
            return 0x3E;
        case Qt::Key_F5:
            return 0x3F;
        case Qt::Key_F6:
            return 0x40;
        case Qt::Key_F7:
            return 0x41;
        case Qt::Key_F8:
            return 0x42;
        case Qt::Key_F9:
            return 0x43;
        case Qt::Key_F10:
            return 0x44;
        case Qt::Key_F11:
            return 0x57;
        case Qt::Key_F12:
            return 0x58;
        case Qt::Key_Enter:
            return 0x9C;
        case Qt::Key_Home:
            return 0xC7;
        case Qt::Key_Up:
            return 0xC8;
        case Qt::Key_PageUp:
            return 0xC9;
        case Qt::Key_Left:
            return 0xCB;
        case Qt::Key_Right:
            return 0xCD;
        case Qt::Key_End:
            return 0xCF;
        case Qt::Key_Down:
            return 0xD0;
        case Qt::Key_PageDown:
            return 0xD1;
        case Qt::Key_Insert:
            return 0xD2;
        case Qt::Key_Delete:
            return 0xD3;
        default:
            return 0;
    }
}

// ---------------------------------------------------------------------------------------------
// Windows and the input filter

WindowWidget::WindowWidget(Machine::Impl& machine, int number)
    : QWidget(nullptr), machine_(machine), number_(number) {}

void WindowWidget::closeEvent(QCloseEvent* event) {
    // The close box is a request to the program; the window stays until the program closes it.
    event->ignore();
    machine_.Post(Event{EventCode::Close, 0, number_});
}

bool InputFilter::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            if (!machine_.keyboardStarted) {
                break;
            }
            auto* key = static_cast<QKeyEvent*>(event);
            const int code = ScanCodeForQtKey(key->key());
            auto* widget = qobject_cast<QWidget*>(watched);
            const bool ours = widget != nullptr && machine_.WindowNumberOf(widget) != 0;
            // Escape in a dialog is its close box: a close request of that window, never a key
            // of the game (its release would otherwise open the pause menu after the dialog).
            if (ours && key->key() == Qt::Key_Escape && machine_.IsDialog(widget)) {
                if (event->type() == QEvent::KeyPress && !key->isAutoRepeat()) {
                    machine_.Post(Event{EventCode::Close, 0, machine_.WindowNumberOf(widget)});
                }
                // The window's own copy of the key event may have passed here first.
                machine_.keys[std::size_t(code)] = false;
                return true;
            }
            if (code != 0 && !key->isAutoRepeat()) {
                machine_.NoteKey(code, *key, ours);
            }
            if (!ours) {
                break;  // message boxes and file dialogs keep their own keys
            }
            // A toolbar button's keys press it, whichever control of its window has the
            // keyboard; a text field never sees them (its own undo would compete).
            if (event->type() == QEvent::KeyPress &&
                machine_.PressToolbarKeys(*key, machine_.WindowNumberOf(widget))) {
                return true;
            }
            // Command keys belong to the window, except in a text field, which edits its text
            // with them. A held key gives its command once.
            if (qobject_cast<QLineEdit*>(widget) == nullptr &&
                QApplication::activeModalWidget() == nullptr && event->type() == QEvent::KeyPress &&
                !key->isAutoRepeat() &&
                machine_.PostCommandKeys(*key, machine_.WindowNumberOf(widget))) {
                return true;
            }
            // Tab and Escape belong to the game: they never move the focus or close anything.
            const int k = key->key();
            if (k == Qt::Key_Tab || k == Qt::Key_Backtab || k == Qt::Key_Escape) {
                return true;
            }
            // The arrows scroll the editor's map. Only a text field, whose caret they move, may
            // see them: on a button they would walk the focus through the side panel, and on a
            // list, a drop-down list or a track bar they would change the element, the value
            // display or the brush size while the map scrolls.
            if ((k == Qt::Key_Up || k == Qt::Key_Down || k == Qt::Key_Left || k == Qt::Key_Right) &&
                qobject_cast<QLineEdit*>(widget) == nullptr) {
                return true;
            }
            // The editor's own keys: Home moves the map, O, S and P the overview, the start and
            // play from here, R and G the reach layer and its run. A list would jump to its
            // first row or to an entry of that letter.
            const bool editorKey = k == Qt::Key_Home ||  //
                                   k == Qt::Key_O ||     //
                                   k == Qt::Key_S ||     //
                                   k == Qt::Key_P ||     //
                                   k == Qt::Key_R ||     //
                                   k == Qt::Key_G;
            if (editorKey && qobject_cast<QLineEdit*>(widget) == nullptr) {
                return true;
            }
            break;
        }
        case QEvent::ApplicationDeactivate:
            // Another program took the keyboard: the releases of keys held now go there, and a
            // key would stay down here for ever (the ball rolling on). Every key counts as up.
            machine_.keys.fill(false);
            machine_.pressedSinceSnapshot.fill(false);
            machine_.releasePending.fill(false);
            machine_.leftButtonHeld = false;
            break;
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget == nullptr) {
                break;
            }
            const QPoint global = mouse->globalPosition().toPoint();
            machine_.mouse = global;
            machine_.pointer = mouse->globalPosition();
            machine_.mouseScripted = false;
            const bool middle = mouse->button() == Qt::MiddleButton;
            if (mouse->button() != Qt::LeftButton && mouse->button() != Qt::RightButton &&
                !middle) {
                break;
            }
            // One press may be offered to several widgets on its way up; count it once.
            const int window = machine_.WindowNumberOf(widget);
            if (window == 0 || !press_.First(mouse->timestamp(), mouse->globalPosition(), 0)) {
                break;
            }
            // The bars beside a scaled play screen are no part of it or of the panel.
            if (machine_.OnScreenBars(window, mouse->globalPosition())) {
                break;
            }
            if (middle) {
                machine_.Post(Event{EventCode::MiddleButtonDown, 0, window});
                break;
            }
            int modifiers = 0;
            if (mouse->modifiers().testFlag(Qt::ShiftModifier)) {
                modifiers |= kShiftHeld;
            }
            if (mouse->modifiers().testFlag(Qt::ControlModifier)) {
                modifiers |= kControlHeld;
            }
            const bool left = mouse->button() == Qt::LeftButton;
            if (left) {
                machine_.leftButtonHeld = true;
            }
            machine_.Post(Event{left ? EventCode::LeftButtonDown : EventCode::RightButtonDown,
                                modifiers, window});
            break;
        }
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton) {
                machine_.leftButtonHeld = false;
            }
            machine_.mouse = mouse->globalPosition().toPoint();
            machine_.mouseScripted = false;
            const int window = machine_.WindowNumberOf(qobject_cast<QWidget*>(watched));
            if (mouse->button() != Qt::MiddleButton || window == 0 ||
                !release_.First(mouse->timestamp(), mouse->globalPosition(), 0)) {
                break;
            }
            machine_.Post(Event{EventCode::MiddleButtonUp, 0, window});
            break;
        }
        case QEvent::Wheel: {
            auto* wheel = static_cast<QWheelEvent*>(event);
            const int window = machine_.WindowNumberOf(qobject_cast<QWidget*>(watched));
            const QPoint turn = wheel->angleDelta();
            // A wheel event that no widget takes is offered to each parent in turn.
            if (window == 0 || !wheel_.First(wheel->timestamp(), wheel->globalPosition(),
                                             turn.x() * 65536 + turn.y())) {
                break;
            }
            if (turn.y() != 0) {
                machine_.Post(Event{EventCode::MouseWheel, turn.y(), window});
            }
            if (turn.x() != 0) {
                machine_.Post(Event{EventCode::SidewaysWheel, turn.x(), window});
            }
            break;
        }
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            machine_.mouse = mouse->globalPosition().toPoint();
            machine_.pointer = mouse->globalPosition();
            machine_.mouseScripted = false;
            break;
        }
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

void Machine::Impl::NoteKey(int code, const QKeyEvent& key, bool ours) {
    // A table, not a count: the same key event may pass here more than once.
    const auto i = std::size_t(code);
    if (key.type() == QEvent::KeyPress) {
        // Keys typed into a message box or a file requester (Return choosing a file, Escape
        // cancelling it) are its own: they neither count as a tap nor stay down for the game,
        // whose window may not be given their release once the requester has closed.
        if (!ours) {
            return;
        }
        // A press after a release that has not counted yet is the display server's repeat of a
        // key still held, or a tap that goes down again: either way the key is down.
        releasePending[i] = false;
        keys[i] = true;
        // A quick tap may go down and up between two passes; it still counts once.
        pressedSinceSnapshot[i] = true;
    } else if (keys[i]) {
        releasePending[i] = true;
        nativeKey[i] = key.nativeScanCode();
    }
}

namespace {

// Whether the X server holds the key with this code down right now; false without one.
// Elsewhere a held key's repeats come marked as such, or as presses alone.
bool KeyDownOnXServer(quint32 nativeKey) {
#if defined(TESSARON_ASK_X_SERVER)
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr || nativeKey == 0 || nativeKey > 255) {
        return false;
    }
    xcb_connection_t* connection = x11->connection();
    xcb_query_keymap_reply_t* reply =
        xcb_query_keymap_reply(connection, xcb_query_keymap(connection), nullptr);
    if (reply == nullptr) {
        return false;
    }
    const bool down = (reply->keys[nativeKey / 8] >> (nativeKey % 8)) & 1;
    std::free(reply);
    return down;
#else
    (void)nativeKey;
    return false;
#endif
}

}  // namespace

void Machine::Impl::SettleReleases() {
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (!releasePending[i]) {
            continue;
        }
        const bool down =
            keyDownOnDisplay ? keyDownOnDisplay(nativeKey[i]) : KeyDownOnXServer(nativeKey[i]);
        if (!down) {
            releasePending[i] = false;
            keys[i] = false;
        }
    }
}

int Machine::Impl::WindowNumberOf(const QWidget* widget) const {
    if (widget == nullptr) {
        return 0;
    }
    const QWidget* top = widget->window();
    for (const auto& [number, entry] : windows) {
        if (entry.widget == top) {
            return number;
        }
    }
    return 0;
}

bool Machine::Impl::IsDialog(const QWidget* widget) const {
    auto it = windows.find(WindowNumberOf(widget));
    return it != windows.end() && it->second.style == WindowStyle::Dialog;
}

WindowWidget* Machine::Impl::WindowWidgetOf(int number) const {
    auto it = windows.find(number);
    return it == windows.end() ? nullptr : it->second.widget.data();
}

void Machine::Impl::CloseWindow(int number) {
    auto it = windows.find(number);
    if (it == windows.end()) {
        return;
    }
    for (auto c = controls.begin(); c != controls.end();) {
        c = c->second.window == number ? controls.erase(c) : std::next(c);
    }
    for (auto b = toolbarButtons.begin(); b != toolbarButtons.end();) {
        b = b->second.window == number ? toolbarButtons.erase(b) : std::next(b);
    }
    std::erase_if(commandKeys,
                  [number](const auto& entry) { return entry.second.window == number; });
    KeepPlacement(number);
    QPointer<WindowWidget> widget = it->second.widget;
    windows.erase(it);
    // Keys tapped while a pause menu or a dialog was open were meant for it, not for the game
    // that goes on once it has closed.
    pressedSinceSnapshot.fill(false);
    if (gamepads) {
        gamepads->WindowClosed(number);
    }
    // Destroying the widgets may still report focus changes: they belong to the window too.
    const std::size_t queued = events.size();
    delete widget.data();
    events.resize(queued);
    // Events of a window that is gone would name controls that no longer exist.
    std::erase_if(events, [number](const Event& e) { return e.window == number; });
    if (currentWindow == number) {
        currentWindow = 0;
    }
}

void Machine::Impl::CloseAllWindows() {
    while (!windows.empty()) {
        CloseWindow(windows.begin()->first);
    }
}

bool Machine::Impl::HeadlessPlatform() const {
    return headless || QGuiApplication::platformName() == QLatin1String("offscreen") ||
           QGuiApplication::platformName() == QLatin1String("minimal");
}

// ---------------------------------------------------------------------------------------------
// Machine

Machine::Machine(const GameFolder& folder)
    : folder_(folder), impl_(std::make_unique<Impl>(folder)) {}

Machine::~Machine() {
    End();
}

bool Machine::StartScreen(const StartOptions& options) {
    if (impl_->screenStarted) {
        return true;
    }
    if (QApplication::instance() == nullptr) {
        if (options.headless) {
            // Must be set before the application exists: it picks its platform once.
            qputenv("QT_QPA_PLATFORM", "offscreen");
            EnsureRuntimeFolder();
        } else if (!EnvironmentSet("DISPLAY") && !EnvironmentSet("WAYLAND_DISPLAY") &&
                   !EnvironmentSet("QT_QPA_PLATFORM")) {
            // Qt would abort the process without a display; the caller reports it instead.
            return false;
        }
        int* argc = options.argc != nullptr ? options.argc : &g_argc;
        char** argv = options.argv != nullptr ? options.argv : g_argv;
        g_application = new QApplication(*argc, argv);
        UseGermanToolkitTexts();
        // The side panel was laid out for a small stock dialog font (about 5 px a character):
        // with the toolkit's larger default its two-line labels would be cut off.
        QFont controls(QStringLiteral("Liberation Sans"));
        controls.setPixelSize(11);
        QApplication::setFont(controls);
    } else if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return false;  // a non-widget application cannot hold windows
    }
    impl_->headless = options.headless;
    impl_->filter = new InputFilter(*impl_);
    qApp->installEventFilter(impl_->filter);
    impl_->mouse = options.headless ? QPoint(0, 0) : QCursor::pos();
    impl_->ended = false;
    impl_->screenStarted = true;
    return true;
}

void Machine::UseDesktopEntry(std::string_view id) {
    if (!impl_->screenStarted) {
        return;
    }
    // The taskbar and the window switcher show the menu entry's name and icon.
    QGuiApplication::setDesktopFileName(ToQString(id));
    QApplication::setWindowIcon(QIcon::fromTheme(ToQString(id)));
}

bool Machine::StartKeyboard() {
    if (!impl_->screenStarted) {
        return false;
    }
    impl_->keys.fill(false);
    impl_->pressedSinceSnapshot.fill(false);
    impl_->keyboardStarted = true;
    return true;
}

namespace {

// Samples per device buffer. The silent driver's thread sleeps a buffer's time between two
// buffers, and closing the device waits for it: with a short buffer a headless run ends about
// a tenth of a second sooner. Nothing reads the device's progress, so the size changes no result.
enum class AudioBuffer { Device, Silent };

// The mixer on the audio driver chosen by the hints. It mixes in 32-bit floats, which SDL turns
// into the device's own format after the limiter has kept the sum under full scale.
bool OpenMixer(AudioBuffer buffer) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return false;
    }
    if (Mix_OpenAudioDevice(
            44100, AUDIO_F32SYS, 2, buffer == AudioBuffer::Silent ? 256 : 2048, nullptr,
            SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    return true;
}

void LimitMix(void* limiter, Uint8* stream, int length) {
    static_cast<PeakLimiter*>(limiter)->Process(reinterpret_cast<float*>(stream),
                                                length / static_cast<int>(sizeof(float)));
}

}  // namespace

bool Machine::StartSound() {
    if (impl_->soundStarted) {
        return true;
    }
    // SDL would catch SIGINT and SIGTERM and turn them into quit events that nobody reads, and
    // the program could then be ended neither from a terminal nor by the session.
    SDL_SetHintWithPriority(SDL_HINT_NO_SIGNAL_HANDLERS, "1", SDL_HINT_OVERRIDE);
    const bool headless = impl_->HeadlessPlatform();
    if (headless) {
        // Headless runs and tests make no noise and need no sound server.
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    }
    // An interactive game keeps a device's buffer also on the silent driver: its thread wakes
    // once a buffer, and a short one would wake it eight times as often for as long as it plays.
    const AudioBuffer buffer = headless ? AudioBuffer::Silent : AudioBuffer::Device;
    bool opened = OpenMixer(buffer);
    if (!opened) {
        // No device: fall back to the silent driver, so that the game goes on without sound.
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
        opened = OpenMixer(buffer);
    }
    if (!opened) {
        return false;
    }
    int frequency = 0;
    Uint16 format = 0;
    int channels = 0;
    Mix_QuerySpec(&frequency, &format, &channels);
    impl_->audioSpec = SDL_AudioSpec{};
    impl_->audioSpec.freq = frequency;
    impl_->audioSpec.format = format;
    impl_->audioSpec.channels = static_cast<Uint8>(channels);
    // Voices are made as sounds ask for them.
    Mix_AllocateChannels(0);
    impl_->mixChannels = 0;
    impl_->freeMixChannels.clear();
    impl_->limiter = std::make_unique<PeakLimiter>(frequency, std::max(1, channels));
    Mix_SetPostMix(LimitMix, impl_->limiter.get());
    impl_->soundStarted = true;
    return true;
}

namespace {

// The stop signal that came, set by the handler (which may do nothing else) and taken up by the
// machine's watch.
volatile std::sig_atomic_t g_stopSignal = 0;

extern "C" void NoteStopSignal(int signal) {
    g_stopSignal = signal;
}

// How often the watch looks for a stop signal: a stop takes at most this long to be seen, also
// while a window waits for events.
constexpr int kStopWatchMilliseconds = 100;

}  // namespace

void Machine::CatchStopSignals() {
    if (!impl_->screenStarted || impl_->stopSignalsCaught) {
        return;
    }
    g_stopSignal = 0;
    impl_->stopSignal = 0;
    std::signal(SIGINT, NoteStopSignal);
    std::signal(SIGTERM, NoteStopSignal);
    impl_->stopSignalsCaught = true;
    Impl* m = impl_.get();
    m->stopWatch = new QTimer();
    m->stopWatch->setInterval(kStopWatchMilliseconds);
    QObject::connect(m->stopWatch, &QTimer::timeout, [m] {
        if (g_stopSignal == 0 || m->stopSignal != 0) {
            return;
        }
        m->stopSignal = g_stopSignal;
        // A file requester or a message box runs the toolkit's own loop: cancelled, it returns
        // to the program, which then ends.
        for (int guard = 0; guard < 8; ++guard) {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) {
                break;
            }
            dialog->reject();
        }
    });
    m->stopWatch->start();
}

int Machine::StopSignal() const {
    return impl_->stopSignal;
}

void Machine::End() {
    if (impl_->stopSignalsCaught) {
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        delete impl_->stopWatch;
        impl_->stopWatch = nullptr;
        impl_->stopSignalsCaught = false;
    }
    if (impl_->soundStarted) {
        Mix_HaltMusic();
        Mix_HaltChannel(-1);
        Mix_SetPostMix(nullptr, nullptr);
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        impl_->soundStarted = false;
    }
    if (impl_->screenStarted) {
        impl_->CloseAllWindows();
        if (QCoreApplication::instance() != nullptr) {
            qApp->removeEventFilter(impl_->filter);
        }
        delete impl_->filter;
        impl_->filter = nullptr;
        impl_->events.clear();
        impl_->screenStarted = false;
        impl_->keyboardStarted = false;
    }
    impl_->gamepads.reset();
    impl_->ended = true;
}

bool Machine::Headless() const {
    return impl_->headless;
}

// ---------------------------------------------------------------------------------------------
// Keyboard

Keyboard::Keyboard(Machine& machine) : machine_(machine) {}

Keyboard::~Keyboard() = default;

void Keyboard::Snapshot() {
    Machine::Impl& m = machine_.Internals();
    m.SettleReleases();
    const KeyTable before = snapshot_;
    for (std::size_t i = 0; i < m.keys.size(); ++i) {
        snapshot_[i] = m.keys[i] || m.pressedSinceSnapshot[i];
    }
    m.pressedSinceSnapshot.fill(false);
    if (m.gamepads) {
        m.gamepads->HoldKeys(snapshot_);
    }
    anyPressed_ = false;
    for (std::size_t i = 0; i < snapshot_.size(); ++i) {
        anyPressed_ = anyPressed_ || (snapshot_[i] && !before[i]);
    }
}

bool Keyboard::Held(Key key) const {
    const int code = int(key);
    return code >= 0 && code < 256 && snapshot_[code];
}

bool Keyboard::AnyPressed() const {
    return anyPressed_;
}

bool Keyboard::Released(Key key) {
    const int code = int(key);
    if (code < 0 || code >= 256) {
        return false;
    }
    if (snapshot_[code]) {
        seenDown_[code] = true;
        return false;
    }
    if (seenDown_[code]) {
        seenDown_[code] = false;
        return true;
    }
    return false;
}

bool Keyboard::SeenDown(Key key) const {
    const int code = int(key);
    return code >= 0 && code < 256 && seenDown_[code];
}

void Keyboard::SetKey(Key key, bool down) {
    const int code = int(key);
    if (code >= 0 && code < 256) {
        machine_.Internals().keys[std::size_t(code)] = down;
        machine_.Internals().releasePending[std::size_t(code)] = false;
    }
}

}  // namespace tessaron::runtime
