// The three label jobs of the main window.
#include <stdexcept>

#include "app/MainForm.h"

namespace zentavo {
namespace {

// Labels are laid out by the report engine, which this build does not carry
// yet; say so instead of pretending a label went out.
[[noreturn]] void LabelPrintingUnavailable() {
  throw std::runtime_error("Label printing is not available in this build yet; no label was printed");
}

}  // namespace

void TForm1::BtnLabBarkodClick() { LabelPrintingUnavailable(); }
void TForm1::BtnLabSonucPrintClick() { LabelPrintingUnavailable(); }
void TForm1::BtnLabBarkod3050Click() { LabelPrintingUnavailable(); }

}  // namespace zentavo
