// Windows, controls, events, the play screen with its sprites, 2D drawing, keyboard and sound:
// the half of the machine layer that shows and hears. No toolkit type appears here; the
// implementation behind it is Qt Widgets, SDL2 and SDL2_mixer.
//
// Windows, controls, sprites, blended sprites, fonts and sounds are numbered objects chosen by
// the caller (window 2, control 1000, sprite 1001, font 1, sound 1). Controls share one number
// space across all windows. Most window services act on the current window.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/collision_masks.h"
#include "runtime/files.h"
#include "runtime/requesters.h"
#include "runtime/sound_player.h"

namespace tessaron::runtime {

// ---------------------------------------------------------------------------------------------
// Start and end

struct StartOptions {
    // Qt's offscreen platform: no display is needed, nothing is shown on a screen.
    bool headless = false;
    // Program name and arguments as given to main (the toolkit reads its own options).
    int* argc = nullptr;
    char** argv = nullptr;
};

// The layer as a whole. Exactly one exists while the program runs; every other object of this
// header needs it. Each start step reports failure by its result.
class Machine {
  public:
    explicit Machine(const GameFolder& folder);
    ~Machine();
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    // The display connection and the play screen's drawing layer. False without a display.
    bool StartScreen(const StartOptions& options);
    // The key table (an application-wide event filter). False when the screen is not started.
    bool StartKeyboard();
    // Sound playback. A machine without a sound device falls back to silence and still succeeds;
    // false only when the audio layer itself cannot start at all.
    bool StartSound();
    // Game controllers: every pad plugged in now or later counts, its state read into the key
    // table with the keyboard's. False when the controller layer cannot start; the game then
    // runs on the keyboard alone.
    bool StartGamepads();
    // The name of the installed desktop entry and icon (without ".desktop"), by which the
    // desktop matches the program's windows to its menu entry and icon. After StartScreen.
    void UseDesktopEntry(std::string_view id);
    // From now on SIGINT and SIGTERM (Ctrl+C in a terminal, the session ending) do not end the
    // process at once: StopSignal() says which came, the toolkit's modal dialogs (a file
    // requester, a message box) are cancelled, and Windows::Wait returns without an event, so
    // that the program can end in order. End() gives the signals their default action back.
    void CatchStopSignals();
    // The signal that asked the program to stop; 0 while none has.
    int StopSignal() const;
    // Shuts every layer down; called once before the program exits.
    void End();

    bool Headless() const;
    const GameFolder& Folder() const { return folder_; }

    struct Impl;
    Impl& Internals() { return *impl_; }

  private:
    const GameFolder& folder_;
    std::unique_ptr<Impl> impl_;
};

// ---------------------------------------------------------------------------------------------
// Windows, controls and events

enum class WindowStyle {
    Borderless,  // no caption, no border, the size it was opened with (scripted runs' main window)
    Dialog,      // caption and system menu (close box)
    // Caption and border; the player may resize it, maximise it and make it fullscreen. Its
    // play screen fills the window keeping its shape, and the controls left of the play screen
    // form a strip that can be hidden (ShowControls).
    Resizable,
};

enum class EventCode : int {
    None = 0,
    Repaint = 15,
    Close = 16,
    // A mouse press over one of the program's windows; the event's number holds the
    // MouseModifiers held at the press.
    LeftButtonDown = 513,
    RightButtonDown = 516,
    // The middle button held down and let go again; a drag lies between the two.
    MiddleButtonDown = 519,
    MiddleButtonUp = 520,
    // A turn of the mouse wheel, and of a sideways wheel (or a touchpad's sideways swipe): the
    // event's number is the turn in eighths of a degree, 120 for one notch, positive away from
    // the user (up) and to the left.
    MouseWheel = 522,
    SidewaysWheel = 526,
    Control = 13100,
    Toolbar = 13101,
    // The keys of a command (SetCommandKeys) were pressed; the number is the command's.
    Command = 13102,
};

// The keyboard modifiers held at a mouse press, as the number of its event; they add up.
enum MouseModifiers : int {
    kShiftHeld = 1,
    kControlHeld = 2,
};

struct Event {
    EventCode code = EventCode::None;
    // The control number of a control event, the button number of a toolbar event, the
    // command of a command event, the modifiers of a left or right press, the turn of a wheel
    // event, else 0.
    int number = 0;
    // The window the event belongs to (the window whose close box, control or area it concerns).
    int window = 0;
};

enum class TextFieldFlags : unsigned { None = 0, DigitsOnly = 1, ReadOnly = 2 };
constexpr TextFieldFlags operator|(TextFieldFlags a, TextFieldFlags b) {
    return TextFieldFlags(unsigned(a) | unsigned(b));
}
constexpr bool HasFlag(TextFieldFlags set, TextFieldFlags flag) {
    return (unsigned(set) & unsigned(flag)) != 0;
}

enum class CheckBoxText { Left, RightAligned };

enum class FrameStyle { Titled, Sunken };

// The toolkit style's standard toolbar images, by the index the game uses for them. Undo and
// Redo are the desktop theme's pictures of those commands where it has them.
enum class StandardIcon : int { Undo = 3, Redo = 4, NewFile = 6, OpenFile = 7, SaveFile = 8 };

// The desktop's key combinations for a command: Undo is Ctrl+Z; Redo is Ctrl+Y and Ctrl+Shift+Z;
// Copy, Cut and Paste are Ctrl+C, Ctrl+X and Ctrl+V; Delete is the Delete key.
enum class CommandKeys {
    Undo,
    Redo,
    Copy,
    Cut,
    Paste,
    Delete,
};

class Windows {
  public:
    explicit Windows(Machine& machine);
    ~Windows();
    Windows(const Windows&) = delete;
    Windows& operator=(const Windows&) = delete;

    // Opens a top-level window whose outer top-left corner is at (x, y) on the desktop and whose
    // inner area is width x height; it becomes the current window and the parent of the controls
    // created next. True on success.
    bool Open(int number, int x, int y, int innerWidth, int innerHeight, WindowStyle style,
              std::string_view title);
    // Makes an open window current (window services, control parent, mouse position).
    void Use(int number);
    int Current() const;
    bool IsOpen(int number) const;
    // Moves the current window's outer top-left corner to (x, y); x may be negative.
    void Move(int x, int y);
    // The current window's outer top-left corner.
    int X() const;
    int Y() const;
    // Makes the current window the active window that receives keyboard input.
    void Activate();
    // Shows or hides the strip of controls left of the play screen in the current window. A
    // resizable window hides it inside (the play screen then takes the whole window) and, in its
    // normal state, grows or shrinks by it, so that the play screen keeps its size; a window of
    // another style moves instead, its strip beyond the desktop's left edge while hidden
    // (x = -strip width) and at x = 0 while shown.
    void ShowControls(bool shown);
    // The current resizable window fills its screen without a frame, or stops doing so. Windows
    // of other styles never do.
    void SetFullScreen(bool fullScreen);
    bool FullScreen() const;
    // The current resizable window takes the size and state (maximised, fullscreen) kept in the
    // file, when the file holds them, and keeps them there when it closes. The file is small
    // text of the program's own, written through a safe save.
    void RememberPlacement(const std::filesystem::path& file);
    // Destroys the window with its controls; its control numbers become free.
    void Close(int number);

    // The mouse position in the current window's layout: the position minus the window's outer
    // top-left corner, as in a window of the size it was opened with. Over the play screen of a
    // resizable window the point is mapped back from whatever scale and place the screen is
    // shown at (ScreenPixelAt), so that it names the play-screen pixel under the pointer: x is
    // the screen's left edge in the layout plus that pixel's column.
    int MouseX() const;
    int MouseY() const;
    // Whether the left button is down: pressed over one of the program's windows and not let go.
    bool LeftButtonHeld() const;

    // Takes at most one event of any window off the queue; never waits. Toolkit work pending
    // (input, repaints) is done first, so that what the user did reaches the queue.
    Event Poll();
    // As Poll, but waits until an event arrives, or a stop signal (Machine::CatchStopSignals):
    // then the event is None.
    Event Wait();

    // Controls, created in the current window at inner coordinates.
    void Frame(int number, int x, int y, int width, int height, std::string_view text,
               FrameStyle style = FrameStyle::Titled);
    void Label(int number, int x, int y, int width, int height, std::string_view text);
    void TextField(int number, int x, int y, int width, int height, std::string_view text,
                   TextFieldFlags flags);
    void PushButton(int number, int x, int y, int width, int height, std::string_view text);
    void CheckBox(int number, int x, int y, int width, int height, std::string_view text,
                  CheckBoxText placement = CheckBoxText::Left);
    // Options created one after another in a window form one group.
    void Option(int number, int x, int y, int width, int height, std::string_view text);
    void ListBox(int number, int x, int y, int width, int height);
    // height is the height of the open drop-down list.
    void ComboBox(int number, int x, int y, int width, int height);
    void TrackBar(int number, int x, int y, int width, int height, int minimum, int maximum);
    // A toolbar across the top of the current window, with the style's standard icons.
    void Toolbar();
    void ToolbarButton(int number, StandardIcon icon, std::string_view toolTip);
    void ToolbarSeparator();
    // A greyed toolbar button presses nothing, neither by a click, nor by its keys, nor by
    // PressToolbarButton. A button starts enabled.
    void EnableToolbarButton(int button, bool enabled);
    bool ToolbarButtonEnabled(int button) const;
    // The keys press the button while a control of its window has the keyboard: they give the
    // same toolbar event as a click, take precedence over a text field's own use of them, and
    // never reach a control. The key table sees them as any other key.
    void SetToolbarButtonKeys(int button, CommandKeys keys);
    // The keys give a Command event numbered `command` while a control of the current window
    // has the keyboard, unless it is a text field: a field keeps them for its own editing.
    void SetCommandKeys(int command, CommandKeys keys);

    // Rows of list and combo boxes.
    void AddRow(int control, std::string_view text);  // appends
    void ClearRows(int control);                      // the selection becomes none
    std::string RowText(int control, int row) const;  // empty for a row that does not exist
    // A list box row shows a picture before its text, scaled to the row's height: width x
    // height pixels, row by row, as 0xAARRGGBB.
    void SetRowPicture(int control, int row, int width, int height,
                       std::span<const std::uint32_t> pixels);

    // State: check box 0/1; option 1 when chosen; list box and combo box the selected row
    // (-1 none); track bar the position (a value outside its range is clamped).
    int State(int control) const;
    void SetState(int control, int value);
    // The whole text of a field, label, button or frame, at most 5000 characters.
    std::string Text(int control) const;
    void SetText(int control, std::string_view text);
    void Disable(int control, bool disabled);
    bool Exists(int control) const;
    // The window a control lives in, 0 when there is no such control.
    int WindowOf(int control) const;

    // In this window a pad moves the focus between the push buttons, from the top one down,
    // and its south button presses the focused button (a control event as from a click).
    void EnablePadNavigation(int number);

    // A modal box with an OK button over the foreground window. Headless: the title and the text
    // go to standard error and the call returns at once.
    void MessageBox(std::string_view title, std::string_view text);

    // Automation, for scripted runs and tests: the same effects as the user's hand.
    // The mouse position, in the current window's coordinates, that MouseX/MouseY report.
    void SetMousePosition(int windowX, int windowY);
    // The left button goes down or up without a press event (a click queues its own).
    void SetLeftButtonHeld(bool held);
    // A control's text becomes text as if typed (its control event follows).
    void TypeText(int control, std::string_view text);
    // A list, combo box or track bar takes a row or position; an option or check box a state;
    // the control event follows as if the user had chosen it.
    void Select(int control, int value);
    // A push button, check box or option is clicked.
    void Press(int control);
    void PressToolbarButton(int button);
    // Queues an event as if the toolkit had delivered it (a click, a close request).
    void Queue(const Event& event);
    // True when an event of that code waits in the queue.
    bool Queued(EventCode code) const;
    // Called whenever an event is taken off the queue (recording a run).
    void SetEventObserver(std::function<void(const Event&)> observer);

    // The window as the toolkit draws it, as a PNG file (through the file writer). False, with
    // the reason in problem when given, when it could not be written.
    bool SaveWindowPicture(int number, const std::filesystem::path& file,
                           std::string* problem = nullptr);

  private:
    Machine& machine_;
    struct Impl;
    std::unique_ptr<Impl> impl_;
    friend class PlayScreen;
};

// ---------------------------------------------------------------------------------------------
// The play screen: a 1024 x 768 back buffer, sprites, blended sprites, 2D drawing

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
};

// No picture is loaded that is wider or higher than this many pixels.
inline constexpr int kLargestPictureSide = 4096;

// Packs a colour as red + 256 * green + 65536 * blue.
constexpr std::int32_t PackColour(Rgb c) {
    return c.red + 256 * c.green + 65536 * c.blue;
}

enum class RotationCentre {
    Picture = 0,  // the centre of the picture's own size
    Quad = 1,     // the centre of the quad's current size
};

// Drawing mode flags of a 2D drawing pass; they add up.
enum DrawingModeFlags : int {
    kTransparentText = 1,  // text without its background colour
    kInvert = 2,           // shapes invert the pixels instead of painting them
    kOutline = 4,          // shapes are outlined only, not filled
};

// How the play screen draws. With the shortcuts it copies and mixes pictures itself where the
// toolkit's painter would give the same pixels, and leaves out pictures that later opaque ones
// hide; without them every picture goes to the painter at once, as the model that the shortcuts
// are checked against. The pixels are the same either way.
enum class DrawingShortcuts { On, Off };

// Where the play screen's picture lies in an area of width x height device pixels: the largest
// picture of its shape that fits, centred, with black bars beside it. When a whole multiple of
// its size fills nearly as much (at least 97 % of the width), that multiple is taken instead, and
// every pixel of the screen shows as a square of device pixels (sharp); otherwise the picture is
// filtered smoothly to its size.
struct ScreenPlacement {
    int x = 0;
    int y = 0;
    int width = 1024;
    int height = 768;
    bool sharp = true;
};
ScreenPlacement PlaceScreen(int areaWidth, int areaHeight);

// The play-screen pixel shown at device pixel (x, y) of the area: the pixel whose square holds
// the device pixel's centre. Points on the bars give pixels outside the screen.
struct ScreenPoint {
    int x = 0;
    int y = 0;
};
ScreenPoint ScreenPixelAt(const ScreenPlacement& placement, int x, int y);

class PlayScreen {
  public:
    explicit PlayScreen(Machine& machine);
    ~PlayScreen();
    PlayScreen(const PlayScreen&) = delete;
    PlayScreen& operator=(const PlayScreen&) = delete;

    static constexpr int kWidth = 1024;
    static constexpr int kHeight = 768;

    void SetDrawingShortcuts(DrawingShortcuts shortcuts);

    // Places the screen in a window at inner (x, y): what Show makes visible appears there,
    // 1:1 in a window of a fixed size; in a resizable window the screen fills the window's area
    // right of x and below y (PlaceScreen). The screen can also be used without a window (tests,
    // the asset sheet).
    bool AttachTo(Windows& windows, int window, int x, int y);
    // Makes what was drawn into the back buffer visible.
    void Show();
    void Clear(Rgb colour);

    // Loads a Windows bitmap (a fixed path, relative to the shared folder) as a sprite; black
    // pixels are transparent. False when the file is missing, not a regular file, not a whole
    // bitmap or larger than kLargestPictureSide on a side: the sprite stays undefined and draws
    // nothing, and problem, when given, says why.
    bool LoadSprite(int number, std::string_view path, std::string* problem = nullptr);
    bool HasSprite(int number) const;
    // The sprite's pixels, row by row, as 0xAARRGGBB (its transparent pixels 0); false, with
    // `pixels` empty, for a sprite not loaded.
    bool CopySprite(int number, std::vector<std::uint32_t>& pixels) const;
    int SpriteWidth(int number) const;
    int SpriteHeight(int number) const;
    // The largest width or height of any sprite loaded so far: no sprite drawn 1:1 reaches
    // farther than that from its corner.
    int LargestSpriteExtent() const;
    // Draws a sprite 1:1 with its top-left corner at (x, y), transparent pixels left out,
    // clipped; a sprite wholly off the screen costs one bounds test.
    void DrawSprite(int number, int x, int y);
    // Copies a picture of `width` pixels a row, given row by row as 0xRRGGBB, 1:1 and opaque
    // into the back buffer with its top-left corner at (x, y), clipped to the screen.
    void DrawPixels(int x, int y, int width, std::span<const std::uint32_t> pixels);
    // True when a non-transparent pixel of sprite a at (ax, ay) covers a non-transparent pixel
    // of sprite b at (bx, by).
    bool SpritesCollide(int a, int ax, int ay, int b, int bx, int by) const;
    // The non-transparent pixels of every sprite loaded, by sprite number: what SpritesCollide
    // tests, as plain data that the game keeps a copy of.
    const CollisionMasks& Masks() const;

    // Bilinear (true) or nearest-pixel (false) filtering of blended sprites.
    void SetBlendedFiltering(bool bilinear);
    // A blended sprite made from a sprite; it starts one pixel wider and higher than the picture.
    bool CreateBlendedSprite(int number, int sprite);
    void BeginScene();
    void EndScene();
    // Draws a blended sprite with its quad's top-left corner at (x, y), opacity 0..255.
    // Only between BeginScene and EndScene.
    void DrawBlended(int number, int x, int y, int opacity = 255);
    // The quad's size from now on; puts the quad upright again.
    void SetBlendedSize(int number, int width, int height);
    // Turns the quad to an absolute angle in degrees about the chosen centre.
    void SetBlendedRotation(int number, float degrees, RotationCentre centre);
    int BlendedWidth(int number) const;
    int BlendedHeight(int number) const;
    float BlendedRotation(int number) const;

    // 2D drawing, between BeginDrawing and EndDrawing (never inside a scene). A pass starts with
    // black text, pen and fill, an opaque text background, and the default font.
    void BeginDrawing();
    void EndDrawing();
    void SetDrawingMode(int flags);
    void SetFrontColour(Rgb colour);
    void SetBackColour(Rgb colour);
    void SetTextPosition(int x, int y);
    // Draws text with its top-left corner at the text position and moves the position to the
    // end of the text.
    void DrawText(std::string_view text);
    int TextWidth(std::string_view text) const;
    // Sets the front colour, then draws the rectangle outlined or filled by the mode.
    void Rectangle(int x, int y, int width, int height, Rgb colour);
    // Lays the colour at opacity 0..255 over the rectangle's pixels (filled, whatever the mode);
    // the front colour stays as it is.
    void TintRectangle(int x, int y, int width, int height, Rgb colour, int opacity);
    // Sets the front colour, then draws the circle centred on (x, y).
    void Circle(int x, int y, int radius, Rgb colour);
    // A font of normal weight from a face name and a size in points.
    bool LoadFont(int number, std::string_view face, int points);
    // Selects a loaded font for the following text; 0 selects the default font.
    void UseFont(int number);

    // The back buffer's pixel at (x, y) (what the pass is drawing), and the last frame shown.
    Rgb BackPixel(int x, int y) const;
    Rgb ShownPixel(int x, int y) const;
    // Copies pixels.size() pixels of the back buffer's row y, from column x on, as 0xRRGGBB;
    // pixels outside the screen are black.
    void ReadBackRow(int x, int y, std::span<std::uint32_t> pixels) const;
    // The back buffer as a PNG file (through the file writer). False, with the reason in problem
    // when given, when it could not be written.
    bool SaveBackBuffer(const std::filesystem::path& file, std::string* problem = nullptr) const;
    // The back buffer's pixels, row by row, as 0xAARRGGBB (alpha always 255).
    void CopyBackBuffer(std::vector<std::uint32_t>& pixels) const;
    bool SaveShown(const std::filesystem::path& file, std::string* problem = nullptr) const;

    struct Impl;

  private:
    Machine& machine_;
    std::unique_ptr<Impl> impl_;
};

// ---------------------------------------------------------------------------------------------
// Keyboard

// Keys by the scan codes the game uses.
enum class Key : int {
    Escape = 0x01,
    Tab = 0x0F,
    O = 0x18,
    P = 0x19,
    S = 0x1F,
    Shift = 0x2A,
    F5 = 0x3F,
    F6 = 0x40,
    F11 = 0x57,
    Home = 0xC7,
    Up = 0xC8,
    Left = 0xCB,
    Right = 0xCD,
    Down = 0xD0,
    M = 0x32,
    R = 0x13,  // the editor's reach layer
    G = 0x22,  // the reach layer's run shown
};

// The key table by scan code: true for a key that is down.
using KeyTable = std::array<bool, 256>;

class Keyboard {
  public:
    explicit Keyboard(Machine& machine);
    ~Keyboard();

    // Copies the key table once, with the keys that the pads hold (when started); the tests
    // below read the copy.
    void Snapshot();
    bool Held(Key key) const;
    // True when some key is down in the snapshot that was up in the one before: a key pressed
    // now, not one held on (nor one whose release went to another program's window).
    bool AnyPressed() const;
    // True once, on the first test after the key was seen down by an earlier test and is now up.
    bool Released(Key key);
    // True when a test has seen the key down since it was last released: only then can the
    // next test find it released.
    bool SeenDown(Key key) const;

    // Automation: a key goes down or up in the key table, as if typed.
    void SetKey(Key key, bool down);

  private:
    Machine& machine_;
    KeyTable snapshot_{};
    KeyTable seenDown_{};
    bool anyPressed_ = false;
};

// ---------------------------------------------------------------------------------------------
// Gamepads

// A game controller's state, in the terms of the common pad layout.
struct PadState {
    // The left stick, from -32768 (left, up) to 32767 (right, down).
    int stickX = 0;
    int stickY = 0;
    bool dpadUp = false;
    bool dpadDown = false;
    bool dpadLeft = false;
    bool dpadRight = false;
    bool south = false;  // A, Cross
    bool start = false;
    bool back = false;  // Back, Select, Share
};

// How far the stick must lean, of 32767, to count as a direction: half its travel, so that a
// stick resting off centre, or pushed mostly up or down, does not roll the ball.
inline constexpr int kStickThreshold = 16384;

// Marks the keys the pad holds down; keys already marked stay so. Left and Right: the stick or
// the D-pad (roll, scroll). Up: the south button or the D-pad (jump, swim up, scroll up); the
// stick's up is left out, so that rolling never jumps by accident. Down: the stick or the D-pad
// (scroll down). Escape: Start (the pause menu). Tab: Back (switch modes).
void HoldPadKeys(const PadState& pad, KeyTable& keys);

// What a pad asks of a menu of buttons.
struct PadMenuInput {
    bool previous = false;  // the stick or the D-pad up
    bool next = false;      // the stick or the D-pad down
    bool press = false;     // the south button
};

PadMenuInput MenuInputOf(const PadState& pad);

// ---------------------------------------------------------------------------------------------
// Sound

class Sound final : public SoundPlayer {
  public:
    explicit Sound(Machine& machine);
    ~Sound() override;

    // Loads a WAV file of at most 16 MB (a fixed path, relative to the shared folder). False when
    // it cannot be read; problem, when given, then says why.
    bool Load(int number, std::string_view path, std::string* problem = nullptr);

    static constexpr std::int64_t kLargestSoundFile = std::int64_t{16} << 20;
    // Stops the sound, rewinds it and plays it once; a number without a sound plays nothing.
    void Play(int number) override;
    // How often Play found a loaded sound (for tests and scripted runs).
    int PlayCount(int number) const;

    // Effects that overlap. Start plays the sound once beside whatever plays, on a voice of its
    // own; at most `voices` of one sound play at once (SetVoices; one until set), and a start
    // that finds them all busy plays nothing. Play uses the sound's first voice.
    static constexpr int kMostVoices = 8;
    void SetVoices(int number, int voices);
    void Start(int number);
    // How many voices of the sound play now.
    int Playing(int number) const;

    // The music: a WAV file (at most 16 MB, read as Load reads) played in a loop without a seam.
    // Nothing plays without a device; a file that cannot be read is refused.
    bool LoadMusic(std::string_view path, std::string* problem = nullptr);
    // Starts the loop, or resumes it where it was paused.
    void PlayMusic();
    void PauseMusic();
    bool MusicPlaying() const;

    // Levels from 0 (silent) to 100 of every effect (Play and Start alike) and of the music.
    void SetVolumes(int effects, int music);

    // The loudest sample, of 1.0 for full scale, that the mix sent to the device since the last
    // call (for tests): overlapping sounds are held under full scale, never clipped.
    float TakeLoudestOutput();

    struct Impl;

  private:
    Machine& machine_;
    std::unique_ptr<Impl> impl_;
};

// ---------------------------------------------------------------------------------------------
// File requesters as the toolkit's dialogs.

class DialogRequesters : public Requesters {
  public:
    explicit DialogRequesters(Machine& machine);
    std::string OpenFile(std::string_view title, std::string_view initialPath,
                         std::string_view pattern) override;
    std::string SaveFile(std::string_view title, std::string_view initialPath,
                         std::string_view pattern) override;
    // A message box over the foreground window; -1 without a display.
    int Ask(std::string_view title, std::string_view question,
            const std::vector<std::string>& buttons) override;

  private:
    Machine& machine_;
};

}  // namespace tessaron::runtime
