// The user interface the program needs: one main window with buttons, message
// boxes. A GTK implementation when there is a display, a headless one otherwise.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zentavo {

struct WindowButton {
  std::string name;     // the control's name, also its accessible id
  std::string caption;
  int left, top, width, height;
  std::function<void()> onClick;
};

// Buttons are listed in tab order.
struct WindowDesign {
  std::string caption;
  int width, height;  // outer size
  int left, top;      // designed screen position
  std::string fontName;
  int fontHeight;  // negative: character height in pixels at 96 dpi
  std::vector<WindowButton> buttons;
  std::function<void()> onShow;  // once, when the window is first shown
};

enum class MessageKind { Error, Warning, Information };

class Ui {
 public:
  virtual ~Ui() = default;
  // True while a main window is up, so errors also go to a message box.
  virtual bool WindowIsUp() const = 0;
  // Shows the window and runs the event loop until CloseMainWindow.
  virtual void RunMainWindow(const WindowDesign& design) = 0;
  virtual void CloseMainWindow() = 0;
  // Modal message box over the main window (headless: one line on stderr).
  virtual void ShowMessage(const std::string& text, const std::string& caption, MessageKind kind) = 0;
  // Lets pending window events run during long work (progress, cancel).
  virtual void ProcessEvents() = 0;
  // The small progress window while labels print: a caption, one line of
  // text and a cancel button. Headless: nothing on screen (callers write
  // their own terminal progress). Cancelled() turns true once the button is
  // pressed, until the next ShowProgress.
  virtual void ShowProgress(const std::string& caption) = 0;
  virtual void UpdateProgress(const std::string& text) = 0;
  virtual void HideProgress() = 0;
  virtual bool ProgressCancelled() const = 0;
  // Asks for a password in a modal box; nothing when cancelled or when no
  // window can be shown.
  virtual std::optional<std::string> AskPassword(const std::string& prompt) = 0;
};

// The GTK interface, or null when no display can be opened. Sets the
// application name shown by the desktop (`title`).
std::unique_ptr<Ui> CreateGtkUi(const std::string& title);
std::unique_ptr<Ui> CreateHeadlessUi();

}  // namespace zentavo
