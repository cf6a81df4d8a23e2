// Fuzzes request decoding, field extraction and the --explain rendering with
// arbitrary bytes as the command-line argument.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/Explain.h"
#include "app/MainForm.h"
#include "app/Request.h"
#include "platform/Cp1254.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string argument(reinterpret_cast<const char*>(data), size);
  const std::string text = zentavo::DecodeRequest(argument);
  // Decoding never lengthens the text: every step maps runs to at most as many bytes.
  if (text.size() > argument.size()) std::abort();
  for (char separator : {'|', '$'}) {
    const int n = zentavo::RequestFieldCount(text, separator);
    std::size_t total = 0;
    for (int k = 0; k <= n + 1; ++k) total += zentavo::RequestField(text, separator, k).size();
    if (total > text.size()) std::abort();
  }
  const std::string sep = argument.substr(0, size % 3);
  const int n = static_cast<int>(size % 7) - 1;
  const int i = zentavo::GetStrIndex(argument, sep, n);
  if (i < 0 || static_cast<std::size_t>(i) > argument.size()) std::abort();
  (void)zentavo::GetFindStrAstm(argument, sep, "|", n, n + 2);
  (void)zentavo::DispatchFor(text);
  (void)zentavo::ExplainRequest(text);
  (void)zentavo::cp1254::FromUtf8(argument);
  return 0;
}
