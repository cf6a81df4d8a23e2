// The user interface without a display: no window, messages on stderr.
#include <cstdio>

#include "platform/Escaping.h"
#include "platform/Ui.h"

namespace zentavo {
namespace {

class HeadlessUi final : public Ui {
 public:
  bool WindowIsUp() const override { return false; }
  void RunMainWindow(const WindowDesign& design) override {
    if (design.onShow) design.onShow();
  }
  void CloseMainWindow() override {}
  void ShowMessage(const std::string& text, const std::string& caption, MessageKind) override {
    std::fprintf(stderr, "%s: %s\n", EscapeControls(caption).c_str(), EscapeControlsByLine(text).c_str());
  }
  void ProcessEvents() override {}
  void ShowProgress(const std::string&) override {}
  void UpdateProgress(const std::string&) override {}
  void HideProgress() override {}
  bool ProgressCancelled() const override { return false; }
  std::optional<std::string> AskPassword(const std::string&) override { return std::nullopt; }
};

}  // namespace

std::unique_ptr<Ui> CreateHeadlessUi() { return std::make_unique<HeadlessUi>(); }

}  // namespace zentavo
