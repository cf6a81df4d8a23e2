// Code 93 and its full-ASCII form: six-element characters of 9 modules and
// the two check characters C and K, always present.
#include <array>
#include <string>
#include <vector>

#include "barcode/Symbologies.h"

namespace zentavo::barcode {
namespace {

struct Code93Char {
  char c;
  const char* widths;
};

// Values 0..46. "[", "]", "{" and "}" stand for the shift characters ($),
// (%), (/) and (+); only the full-ASCII form writes them.
constexpr Code93Char kCode93[47] = {
    {'0', "131112"}, {'1', "111213"}, {'2', "111312"}, {'3', "111411"}, {'4', "121113"},
    {'5', "121212"}, {'6', "121311"}, {'7', "111114"}, {'8', "131211"}, {'9', "141111"},
    {'A', "211113"}, {'B', "211212"}, {'C', "211311"}, {'D', "221112"}, {'E', "221211"},
    {'F', "231111"}, {'G', "112113"}, {'H', "112212"}, {'I', "112311"}, {'J', "122112"},
    {'K', "132111"}, {'L', "111123"}, {'M', "111222"}, {'N', "111321"}, {'O', "121122"},
    {'P', "131121"}, {'Q', "212112"}, {'R', "212211"}, {'S', "211122"}, {'T', "211221"},
    {'U', "221121"}, {'V', "222111"}, {'W', "112122"}, {'X', "112221"}, {'Y', "122121"},
    {'Z', "123111"}, {'-', "121131"}, {'.', "311112"}, {' ', "311211"}, {'$', "321111"},
    {'/', "112131"}, {'+', "113121"}, {'%', "211131"}, {'[', "121221"}, {']', "312111"},
    {'{', "311121"}, {'}', "122211"},
};
constexpr int kFirstShift = 43;
constexpr const char* kStart = "111141";
constexpr const char* kStopAndBar = "1111411";

// Full ASCII by shift pairs, the Code 39 scheme with "[" "]" "{" "}" for
// "$" "%" "/" "+". "$%+-./" are shifted too although Code 93 has them; that
// still decodes to the same text in full-ASCII scanners.
constexpr const char* kPairs =
    "]U[A[B[C[D[E[F[G[H[I[J[K[L[M[N[O[P[Q[R[S[T[U[V[W[X[Y[Z]A]B]C]D]E"
    "  {A{B{C{D{E{F{G{H{I{J{K{L{M{N{O0 1 2 3 4 5 6 7 8 9 {Z]F]G]H]I]J"
    "]VA B C D E F G H I J K L M N O P Q R S T U V W X Y Z ]K]L]M]N]O"
    "]W}A}B}C}D}E}F}G}H}I}J}K}L}M}N}O}P}Q}R}S}T}U}V}W}X}Y}Z]P]Q]R]S]T";
static_assert(std::char_traits<char>::length(kPairs) == 256);

int Value(char c, bool shiftsAllowed) {
  for (int v = 0; v < 47; ++v)
    if (kCode93[v].c == c) return v < kFirstShift || shiftsAllowed ? v : -1;
  return -1;
}

}  // namespace

void EncodeCode93(const EncodeRequest& request, BarcodeSymbol& out) {
  bool extended = request.type == bcCode93Extended;
  std::string data;
  if (extended) {
    for (char c : request.text) {
      auto code = static_cast<unsigned char>(c);
      if (code >= 128) ThrowCannotEncode(request.type, c);
      data += kPairs[2 * code];
      if (kPairs[2 * code + 1] != ' ') data += kPairs[2 * code + 1];
    }
  } else {
    data = request.text;
  }
  std::vector<int> values;
  values.reserve(data.size() + 2);
  for (char c : data) {
    // A "[" in the text would be read by scanners as a shift, i.e. as some
    // other character: only the full-ASCII form may write the shifts.
    int v = Value(c, extended);
    if (v < 0)
      throw BarcodeError("TfrxBarcode:Code93 bad Data <" + barcode::ShownText(request.text) + ">");
    values.push_back(v);
  }
  int c = 0;
  int weight = 1;
  for (auto it = values.rbegin(); it != values.rend(); ++it) {
    c += *it * weight;
    weight = weight == 20 ? 1 : weight + 1;
  }
  c %= 47;
  int k = c;
  weight = 2;
  for (auto it = values.rbegin(); it != values.rend(); ++it) {
    k += *it * weight;
    weight = weight == 15 ? 1 : weight + 1;
  }
  k %= 47;
  std::string& m = out.modules;
  AppendWidthPattern(m, kStart);
  for (int v : values) AppendWidthPattern(m, kCode93[v].widths);
  AppendWidthPattern(m, kCode93[c].widths);
  AppendWidthPattern(m, kCode93[k].widths);
  AppendWidthPattern(m, kStopAndBar);
  out.text = request.text;
}

}  // namespace zentavo::barcode
