// Code 39 and its full-ASCII form: nine elements per character, three wide,
// with a narrow gap between characters and an optional modulo 43 check.
#include <array>
#include <string>

#include "barcode/Symbologies.h"

namespace zentavo::barcode {
namespace {

struct Code39Char {
  char c;
  const char* wide;  // nine elements, bar first; 1 = wide
};

// In the order of their check values 0..42; "*" is start and stop only.
constexpr Code39Char kCode39[] = {
    {'0', "000110100"}, {'1', "100100001"}, {'2', "001100001"}, {'3', "101100000"},
    {'4', "000110001"}, {'5', "100110000"}, {'6', "001110000"}, {'7', "000100101"},
    {'8', "100100100"}, {'9', "001100100"}, {'A', "100001001"}, {'B', "001001001"},
    {'C', "101001000"}, {'D', "000011001"}, {'E', "100011000"}, {'F', "001011000"},
    {'G', "000001101"}, {'H', "100001100"}, {'I', "001001100"}, {'J', "000011100"},
    {'K', "100000011"}, {'L', "001000011"}, {'M', "101000010"}, {'N', "000010011"},
    {'O', "100010010"}, {'P', "001010010"}, {'Q', "000000111"}, {'R', "100000110"},
    {'S', "001000110"}, {'T', "000010110"}, {'U', "110000001"}, {'V', "011000001"},
    {'W', "111000000"}, {'X', "010010001"}, {'Y', "110010000"}, {'Z', "011010000"},
    {'-', "010000101"}, {'.', "110000100"}, {' ', "011000100"}, {'$', "010101000"},
    {'/', "010100010"}, {'+', "010001010"}, {'%', "000101010"},
};
constexpr const char* kStartStop = "010010100";

// Two Code 39 characters (or one) for each ASCII code 0..127. "-", "." and
// "/" go as "/M", "/N", "/O" although Code 39 has them: scanners in full
// ASCII mode read them back the same, and existing labels look this way.
constexpr std::array<const char*, 128> BuildFullAscii() {
  std::array<const char*, 128> t{};
  constexpr const char* kPairs =
      "%U$A$B$C$D$E$F$G$H$I$J$K$L$M$N$O$P$Q$R$S$T$U$V$W$X$Y$Z%A%B%C%D%E"
      "  /A/B/C/D/E/F/G/H/I/J/K/L/M/N/O0 1 2 3 4 5 6 7 8 9 /Z%F%G%H%I%J"
      "%VA B C D E F G H I J K L M N O P Q R S T U V W X Y Z %K%L%M%N%O"
      "%W+A+B+C+D+E+F+G+H+I+J+K+L+M+N+O+P+Q+R+S+T+U+V+W+X+Y+Z%P%Q%R%S%T";
  static_assert(std::char_traits<char>::length(kPairs) == 256);
  for (int i = 0; i < 128; ++i) t[i] = kPairs + 2 * i;
  return t;
}
constexpr auto kFullAscii = BuildFullAscii();

// The table written out as module characters ("5" narrow bar, "6" wide bar,
// "0" narrow space, "1" wide space), and each character's value, built once.
struct Code39Tables {
  char modules[44][10] = {};  // rows 0..42, then start/stop
  signed char value[256] = {};
};

constexpr void Write(char* out, const char* wide) {
  for (int k = 0; k < 9; ++k) {
    bool bar = k % 2 == 0;
    out[k] = bar ? (wide[k] == '1' ? '6' : '5') : (wide[k] == '1' ? '1' : '0');
  }
}

constexpr Code39Tables BuildTables() {
  Code39Tables t;
  for (auto& v : t.value) v = -1;
  for (int v = 0; v < 43; ++v) {
    Write(t.modules[v], kCode39[v].wide);
    t.value[static_cast<unsigned char>(kCode39[v].c)] = static_cast<signed char>(v);
  }
  Write(t.modules[43], kStartStop);
  return t;
}
constexpr Code39Tables kTables = BuildTables();
constexpr int kStartStopRow = 43;

void AppendRow(std::string& m, int row) { m.append(kTables.modules[row], 9); }

}  // namespace

void EncodeCode39(const EncodeRequest& request, BarcodeSymbol& out) {
  std::string data;
  data.reserve(2 * request.text.size());
  if (request.type == bcCode39Extended) {
    for (char c : request.text) {
      auto code = static_cast<unsigned char>(c);
      if (code >= 128) ThrowCannotEncode(request.type, c);
      const char* pair = kFullAscii[code];
      data += pair[0];
      if (pair[1] != ' ') data += pair[1];
    }
  } else {
    data = request.text;
  }
  std::string& m = out.modules;
  m.reserve(10 * (data.size() + 3));
  AppendRow(m, kStartStopRow);
  m += '0';
  int sum = 0;
  for (char c : data) {
    // Characters outside the table used to vanish from the symbol; a label
    // must carry all of its text, so they are refused. "*" would end the
    // symbol early in every scanner.
    int v = kTables.value[static_cast<unsigned char>(c)];
    if (v < 0) ThrowCannotEncode(request.type, c);
    AppendRow(m, v);
    m += '0';
    sum += v;
  }
  if (request.checksum) {
    AppendRow(m, sum % 43);
    m += '0';
  }
  AppendRow(m, kStartStopRow);
  out.text = request.text;
}

}  // namespace zentavo::barcode
