// The print request: decoding of the one command-line argument into the
// request text (single-byte Windows-1254) and the cutting of numbered fields.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zentavo {

// "+" to blank, then %XX escapes to bytes; malformed escapes vanish.
std::string PercentDecode(std::string_view text);

// The twelve UTF-8 Turkish letters to their Windows-1254 bytes, tab to "_".
std::string DeCodeSTR(std::string_view text);

// Every well-formed UTF-8 sequence still left whose character the code page
// has becomes that byte ("Kâmil", "é"); everything else stays raw.
std::string DecodeRemainingUtf8(std::string_view text);

// The whole road from the argument to the request text.
std::string DecodeRequest(std::string_view argument);

// 1-based position of the N-th occurrence of Separator; 0 when absent.
int GetStrIndex(std::string_view text, std::string_view separator, int n);

// Text strictly between the StartN-th StartSeparator and the EndN-th EndSeparator.
std::string GetFindStrAstm(std::string_view text, std::string_view startSeparator,
                           std::string_view endSeparator, int startN, int endN);

// Field k for a one-character separator, as every job reads it.
std::string RequestField(std::string_view text, char separator, int k);

// Number of fields a request carries for a separator: separators minus one.
int RequestFieldCount(std::string_view text, char separator);

// Fields 1 to RequestFieldCount, each as RequestField gives it, in one pass.
std::vector<std::string> RequestFields(std::string_view text, char separator);

}  // namespace zentavo
