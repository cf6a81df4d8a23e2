// Compile-time type rules: compatibility, the stricter storing rule, type
// texts in messages; and the helpers' element and character access.
#include <gtest/gtest.h>

#include "script/fs_ierror.h"
#include "script/fs_itypes.h"
#include "script/fs_ivariant.h"

namespace zentavo {
namespace {

// A class table where TfrxMemoView descends from TfrxView.
class Classes : public ClassRelation {
 public:
  bool IsClassOrDescendant(std::string_view cls, std::string_view ancestor) const override {
    if (cls == ancestor) return cls == "TfrxView" || cls == "TfrxMemoView";
    return cls == "TfrxMemoView" && ancestor == "TfrxView";
  }
};

struct Row {
  TypeRef target, value;
  bool compatible, storable;
  const char* why;
};

TEST(ScriptTypes, Compatibility) {
  const Row rows[] = {
      {{tcInteger, {}}, {tcFloat, {}}, true, false, "Integer meets Float in expressions, refuses it when storing"},
      {{tcFloat, {}}, {tcInteger, {}}, true, true, "Float takes Integer"},
      {{tcInteger, {}}, {tcEnum, "TfrxAlign"}, true, true, "Integer takes an enumeration"},
      {{tcEnum, "TfrxAlign"}, {tcEnum, "tfrxalign"}, true, true, "same enumeration, case ignored"},
      {{tcEnum, "TfrxAlign"}, {tcEnum, "TfrxHAlign"}, false, false, "another enumeration"},
      {{tcBoolean, {}}, {tcInteger, {}}, false, false, "no integers into Booleans"},
      {{tcString, {}}, {tcChar, {}}, true, true, "Char into String"},
      {{tcString, {}}, {tcInteger, {}}, false, false, "no numbers into Strings"},
      {{tcClass, "TfrxView"}, {tcClass, "TfrxMemoView"}, true, true, "a descendant"},
      {{tcClass, "TfrxMemoView"}, {tcClass, "TfrxView"}, false, false, "not an ancestor"},
      {{tcArray, {}}, {tcVariant, {}}, true, true, "Variant fits everything"},
      {{tcVariant, {}}, {tcConstructor, {}}, true, true, "Variant takes everything"},
      {{tcConstructor, {}}, {tcVariant, {}}, false, false, "nothing is stored into a constructor"},
  };
  Classes classes;
  for (const Row& r : rows) {
    EXPECT_EQ(TypesCompatible(r.target, r.value, &classes), r.compatible) << r.why;
    EXPECT_EQ(AssignmentCompatible(r.target, r.value, &classes), r.storable) << r.why;
  }
}

TEST(ScriptTypes, MessagesNameTheTypes) {
  EXPECT_EQ(IncompatibleTypesMessage({tcInteger, {}}, {tcFloat, {}}), "Incompatible types: 'Integer', 'Extended'");
  EXPECT_EQ(IncompatibleTypesMessage({tcClass, "TfrxMemoView"}, {tcEnum, "TfrxAlign"}),
            "Incompatible types: 'Class TfrxMemoView', 'TfrxAlign'");
  EXPECT_EQ(TypeText(tcConstructor, "x"), "Variant");
  EXPECT_EQ(TypeText(tcChar, ""), "Char");
}

TEST(ScriptTypes, HelperAccess) {
  std::int32_t low[2] = {0, 0}, high[2] = {1, 1};
  Variant grid = Variant::Array(2, low, high);
  std::int32_t at[3] = {1, 0, 99};  // the third index is not used by a two-dimensional value
  EXPECT_TRUE(ArrayHelperSet(grid, 3, at, Variant::Int(5)));
  EXPECT_EQ(VarToStr(ArrayHelperGet(grid, 3, at)), "5");
  EXPECT_TRUE(ArrayHelperGet(grid, 1, at).IsNull()) << "more dimensions than indexes read as Null";
  EXPECT_FALSE(ArrayHelperSet(grid, 1, at, Variant::Int(1))) << "and ignore writes";
  Variant number = Variant::Int(3);
  EXPECT_TRUE(ArrayHelperGet(number, 3, at).IsNull()) << "no array";
  std::int32_t outside[2] = {2, 0};
  EXPECT_THROW(ArrayHelperGet(grid, 2, outside), ScriptError);

  std::string s = "abc";
  EXPECT_EQ(VarToStr(StringCharAt(s, 2)), "b");
  SetStringChar(s, 2, Variant::String("xyz"));
  EXPECT_EQ(s, "axc") << "the first character of the value";
  EXPECT_THROW(StringCharAt(s, 0), ScriptError);
  EXPECT_THROW(StringCharAt(s, 4), ScriptError);
  EXPECT_THROW(SetStringChar(s, 1, Variant::String("")), ScriptError) << "no character to write";
}

}  // namespace
}  // namespace zentavo

#include "script/fs_imessages.h"

namespace zentavo {
namespace {

TEST(ScriptMessages, DefaultsReportTextsAndReplacement) {
  UseDefaultMessageTexts();
  EXPECT_EQ(MessageText(ScriptMessage::SIdUndeclared), "Undeclared identifier: ") << "the engine's text ends in a blank";
  EXPECT_EQ(MessageText(ScriptMessage::SEventError), "Event handler must be a procedure");
  UseReportMessageTexts();
  EXPECT_EQ(MessageText(ScriptMessage::SIdUndeclared), "Undeclared identifier:") << "the report's text does not";
  EXPECT_TRUE(SetMessageText("SForError", "Döngü değişkeni sayı olmalı"));
  EXPECT_EQ(MessageText(ScriptMessage::SForError), "Döngü değişkeni sayı olmalı");
  EXPECT_FALSE(SetMessageText("SNoSuchKey", "x"));
  UseDefaultMessageTexts();
  EXPECT_EQ(MessageText(ScriptMessage::SForError), "For loop variable must be numeric variable");
}

}  // namespace
}  // namespace zentavo
