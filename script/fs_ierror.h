// The script engine's error type: every compile-time and run-time failure of
// a script carries the system's message text in one of these.
#pragma once

#include <stdexcept>
#include <string>

namespace zentavo {

class ScriptError : public std::runtime_error {
 public:
  explicit ScriptError(const std::string& message) : std::runtime_error(message) {}
};

// Message texts of the value library, kept in one place so tests and hosts
// see the same words the scripts do.
namespace msg {
inline constexpr const char* kInvalidVarOp = "Invalid variant operation";
inline constexpr const char* kInvalidVarCast = "Invalid variant type conversion";
inline constexpr const char* kCouldNotConvert = "Could not convert variant of type (%s) into type (%s)";
inline constexpr const char* kRangeCheck = "Range check error converting variant of type (%s) into type (%s)";
inline constexpr const char* kArrayBounds = "Variant or safe array index out of bounds";
inline constexpr const char* kArrayCreate = "Error creating variant or safe array";
inline constexpr const char* kDivByZero = "Division by zero";
inline constexpr const char* kZeroDivide = "Floating point division by zero";
inline constexpr const char* kInvalidOp = "Invalid floating point operation";
inline constexpr const char* kOverflow = "Floating point overflow";
inline constexpr const char* kIntOverflow = "Integer overflow";
inline constexpr const char* kInvalidInteger = "'%s' is not a valid integer value";
inline constexpr const char* kInvalidFloat = "'%s' is not a valid floating point value";
inline constexpr const char* kInvalidDate = "'%s' is not a valid date";
inline constexpr const char* kInvalidTime = "'%s' is not a valid time";
inline constexpr const char* kInvalidDateTime = "'%s' is not a valid date and time";
inline constexpr const char* kDateEncode = "Invalid argument to date encode";
inline constexpr const char* kTimeEncode = "Invalid argument to time encode";
inline constexpr const char* kInvalidFormat = "Format '%s' invalid or incompatible with argument";
inline constexpr const char* kArgumentMissing = "No argument for format '%s'";
inline constexpr const char* kOutOfMemory = "Out of memory";
inline constexpr const char* kInvalidObject = "Invalid object reference";
inline constexpr const char* kNotAnObject = "Object reference required";
inline constexpr const char* kInvalidCast = "Invalid class typecast";
inline constexpr const char* kCannotCreate = "Class %s cannot be created by a script";
inline constexpr const char* kNotOwned = "Only objects the script created can be freed";
inline constexpr const char* kTooManyObjects = "Too many objects";
inline constexpr const char* kAutomation = "Automation is not supported on this platform";
inline constexpr const char* kExpressionTooComplex = "Expression too complex";
inline constexpr const char* kScriptStopped = "The script was stopped";
}  // namespace msg

// The host stopped the run (a time limit, a cancelled report). No handler of
// the script catches it: a loop inside try/except must still end.
class ScriptStopped : public ScriptError {
 public:
  ScriptStopped() : ScriptError(msg::kScriptStopped) {}
};

// Puts the texts in place of the "%s" markers, in order.
std::string FormatMessage(const char* pattern, const std::string& first,
                          const std::string& second = std::string());

}  // namespace zentavo
