// The widget that shows the play screen's frames in a window, and the ways a frame gets there.
// Internal to the runtime.
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>

namespace tessaron::runtime {

class SharedFrames;

// The play screen's two frame buffers as the view may see and replace them: the one drawn into
// and the one shown last.
struct FrameBuffers {
    QImage* back = nullptr;
    QImage* shown = nullptr;
    // Called before the view replaces the two images (their pixels stay): whoever draws into
    // the back buffer lets go of it.
    std::function<void()> releaseBack;
};

// Shows the frame last made visible, filling the widget keeping its shape (PlaceScreen), with
// black bars. Where the display server can take the frames from shared memory (X11 with MIT-SHM
// and RENDER), the frames live there and a frame is presented by one request, which scales it in
// the server; elsewhere the widget paints it.
class ScreenView : public QWidget {
  public:
    ScreenView(FrameBuffers frames, QWidget* parent);
    ~ScreenView() override;

    // `shown` holds a new frame: makes it visible.
    void Present();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    FrameBuffers frames_;
    std::unique_ptr<SharedFrames> shared_;
    bool triedShared_ = false;
};

}  // namespace tessaron::runtime
