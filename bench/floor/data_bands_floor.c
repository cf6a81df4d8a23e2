/* The floor bench/data_bands.sh measures the report against: a minimal Cairo
 * program that draws the texts of bench/report/data_bands_report.cpp (group
 * headers, rows of three texts, a detail line, group totals, a grand total)
 * onto A4 pages with 10 mm margins into a PDF, breaking pages the same way,
 * and prints its time and peak memory.
 * usage: data_bands_floor ROWS OUT.pdf */
#include <cairo-pdf.h>
#include <cairo.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <time.h>

enum { kGroupRows = 20 };

static const double kPt = 0.75; /* points per 96-dpi pixel */
static const double kMm = 72.0 / 25.4;

static double y; /* pixels from the top margin */
static int pages = 1;

static void need(cairo_t* cr, double height) {
  if (y + height <= (297 - 20) / 25.4 * 96) return;
  cairo_show_page(cr);
  ++pages;
  y = 0;
}

/* Numbers as the report prints them, with the Turkish decimal comma. */
static void comma(char* s) {
  for (; *s; ++s)
    if (*s == '.') *s = ',';
}

static void text(cairo_t* cr, double left, const char* s) {
  cairo_move_to(cr, 10 * kMm + left * kPt, 10 * kMm + (y + 13) * kPt);
  cairo_show_text(cr, s);
}

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  struct timespec t0, t1;
  clock_gettime(CLOCK_MONOTONIC, &t0);
  const int rows = atoi(argv[1]);
  cairo_surface_t* s = cairo_pdf_surface_create(argv[2], 210 * kMm, 297 * kMm);
  cairo_t* cr = cairo_create(s);
  cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, 10);
  char buf[128];
  double groupSum = 0, total = 0;
  for (int i = 0; i < rows; ++i) {
    const double amount = (i % 100) + 0.5;
    if (i % kGroupRows == 0) {
      need(cr, 22);
      snprintf(buf, sizeof buf, "Grup %d", i / kGroupRows + 1);
      text(cr, 0, buf);
      y += 22;
      groupSum = 0;
    }
    need(cr, 18);
    snprintf(buf, sizeof buf, "%d", i + 1);
    text(cr, 0, buf);
    snprintf(buf, sizeof buf, "Hasta %d", i + 1);
    text(cr, 90, buf);
    snprintf(buf, sizeof buf, "%g", amount);
    comma(buf);
    text(cr, 400, buf);
    y += 18;
    need(cr, 18);
    snprintf(buf, sizeof buf, "Not %d", i + 1);
    text(cr, 90, buf);
    y += 18;
    groupSum += amount;
    total += amount;
    if (i % kGroupRows == kGroupRows - 1 || i == rows - 1) {
      need(cr, 22);
      snprintf(buf, sizeof buf, "Toplam %g / %d", groupSum, i % kGroupRows + 1);
      comma(buf);
      text(cr, 0, buf);
      y += 22;
    }
  }
  need(cr, 22);
  snprintf(buf, sizeof buf, "Genel toplam %.15g", total);
  comma(buf);
  text(cr, 0, buf);
  cairo_destroy(cr);
  cairo_surface_finish(s);
  int status = cairo_surface_status(s);
  cairo_surface_destroy(s);
  clock_gettime(CLOCK_MONOTONIC, &t1);
  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  printf("total_ms %.1f pages %d peak_kb %ld\n", (t1.tv_sec - t0.tv_sec) * 1e3 + (t1.tv_nsec - t0.tv_nsec) / 1e6, pages,
         usage.ru_maxrss);
  return status == CAIRO_STATUS_SUCCESS ? 0 : 1;
}
