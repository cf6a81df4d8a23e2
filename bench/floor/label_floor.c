/* The floor the label program is measured against: a minimal Cairo program
 * that draws a label comparable to LabBarkod3050 (a black title bar, a few
 * lines of text, 40 bars) into a 50 x 30 mm PDF, and exits.
 * usage: label_floor OUT.pdf */
#include <cairo-pdf.h>
#include <cairo.h>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const double mm = 72.0 / 25.4;
  cairo_surface_t* s = cairo_pdf_surface_create(argv[1], 50 * mm, 30 * mm);
  cairo_t* cr = cairo_create(s);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_rectangle(cr, 0, 1 * mm, 50 * mm, 4 * mm);
  cairo_fill(cr);
  cairo_select_font_face(cr, "Liberation Serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, 6.75);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_move_to(cr, 12 * mm, 4 * mm);
  cairo_show_text(cr, "ZIVERO LABORATUVARI");
  cairo_set_source_rgb(cr, 0, 0, 0);
  const char* lines[] = {"CAGRI IS SAGLIGI", "AYSE OZTURK  09.12.2026", "1234567890 / P1024", "T1 / Hemogram"};
  for (int i = 0; i < 4; ++i) {
    cairo_move_to(cr, 1 * mm, (8 + i * 6) * mm);
    cairo_show_text(cr, lines[i]);
  }
  for (int i = 0; i < 40; ++i) {
    cairo_rectangle(cr, (5 + i * 0.6) * mm, 12 * mm, ((i % 3) + 1) * 0.25 * mm, 10 * mm);
  }
  cairo_fill(cr);
  cairo_destroy(cr);
  cairo_surface_finish(s);
  int status = cairo_surface_status(s);
  cairo_surface_destroy(s);
  return status == CAIRO_STATUS_SUCCESS ? 0 : 1;
}
