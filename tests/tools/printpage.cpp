// Test helper: prints one drawn page through the printer layer.
//   printpage PRINTER DOCUMENT WIDTH_MM HEIGHT_MM [COPIES]
// PRINTER is looked up like a report's printer name; when it matches no
// queue the current (default) printer prints. The page's top-left quarter is
// black. Exit 1 with the error on stderr when anything fails.
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "platform/Canvas.h"
#include "print/frxPrinter.h"

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: printpage PRINTER DOCUMENT WIDTH_MM HEIGHT_MM [COPIES]\n");
    return 2;
  }
  try {
    zentavo::TfrxPrinters& list = zentavo::SharedPrinterList();
    int n = list.FindPrinter(argv[1]);
    if (n >= 0) list.SelectPrinterAt(n);
    zentavo::TfrxCustomPrinter& p = list.CurrentPrinter();
    p.DocumentName = argv[2];
    p.SelectPrintPaper(256, std::atof(argv[3]), std::atof(argv[4]), false, 7, 1, argc > 5 ? std::atoi(argv[5]) : 1);
    p.StartPrintDocument();
    p.StartPrintPage();
    zentavo::Canvas& c = p.PrintCanvas();
    c.SetBrush({zentavo::BrushStyle::Solid, {0, 0, 0}});
    c.FillRect({0, 0, c.Width() / 2, c.Height() / 2});
    p.EndPrintPage();
    p.EndPrintDocument();
    std::printf("%s\n", p.PrinterName.c_str());
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "printpage: %s\n", e.what());
    return 1;
  }
}
