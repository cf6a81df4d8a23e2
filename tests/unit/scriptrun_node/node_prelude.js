// Prelude that lets JScript programs of the shared subset run under node:
// WriteLn prints each kind of value as the script engine's WriteLn does, and
// the library functions the programs call are written out here. The test
// also spells the handler of a try "catch (e)" where JScript writes "except".
"use strict";

// A real number as the engine prints it: at most 15 significant digits, no
// trailing zeros, "," before the decimals, "E" notation from 1E15 and below
// 1E-5. Whole numbers below 1E15 print all their digits, as the engine's
// integers do.
function RealText(v) {
  if (v === 0) return "0";
  if (Number.isInteger(v) && Math.abs(v) < 1e15) return String(v);
  var parts = Math.abs(v).toExponential(14).split("e");
  var digits = parts[0].replace(".", "").replace(/0+$/, "");
  if (digits === "") digits = "0";
  var exp = Number(parts[1]);
  var sign = v < 0 ? "-" : "";
  if (exp >= 15 || exp < -5)
    return sign + digits[0] + (digits.length > 1 ? "," + digits.slice(1) : "") + "E" + exp;
  if (exp < 0) return sign + "0," + "0".repeat(-exp - 1) + digits;
  if (digits.length <= exp + 1) return sign + digits + "0".repeat(exp + 1 - digits.length);
  return sign + digits.slice(0, exp + 1) + "," + digits.slice(exp + 1);
}

function WriteLn(v) {
  if (typeof v === "boolean") console.log(v ? "True" : "False");
  else if (typeof v === "number") console.log(RealText(v));
  else console.log(String(v));
}

function RaiseException(m) { throw new Error(m); }
function Length(s) { return s.length; }
function Copy(s, from, count) {
  if (from < 1) from = 1;
  return count <= 0 ? "" : s.substr(from - 1, count);
}
function Pos(sub, s) { return s.indexOf(sub) + 1; }
function UpperCase(s) { return s.replace(/[a-z]/g, function (c) { return c.toUpperCase(); }); }
function IntToStr(v) { return String(v); }
function Trunc(v) { return Math.trunc(v); }
// Halves round to the even neighbour, as the engine's Round does.
function Round(v) {
  var r = Math.round(v);
  if (Math.abs(v % 1) === 0.5 && r % 2 !== 0) r -= 1;
  return r;
}
function Sqrt(v) { return Math.sqrt(v); }
function Ord(s) { return s.charCodeAt(0); }
function Chr(c) { return String.fromCharCode(c); }
