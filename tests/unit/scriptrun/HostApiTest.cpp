// The host's side of a script: CallFunction, CallFunctionByRef, Terminate
// from OnRunLine (also inside recursion and empty loops), the line table and
// names that hide library items.
#include <gtest/gtest.h>

#include "tests/unit/scriptrun/RunHarness.h"

namespace zentavo::testing {
namespace {

TEST(HostApi, CallFunctionPassesArgumentsAndReturnsResult) {
  Runner r;
  ASSERT_TRUE(r.Compile("VadoziDaruro",
                        "function Add(a, b: Integer): Integer; begin Result := a + b end;\n"
                        "procedure Swap(var a, b: Variant); var t: Variant; begin t := a; a := b; b := t end;\n"
                        "begin end."))
      << r.out;
  EXPECT_EQ(r.script.CallFunction("add", Variant::ArrayOf({Variant::Int(2), Variant::Int(40)})).ToInt32(), 42);
  // Fewer arguments: the other parameters keep their previous values.
  EXPECT_EQ(r.script.CallFunction("Add", Variant::ArrayOf({Variant::Int(1)})).ToInt32(), 41);
  Variant args = Variant::ArrayOf({Variant::String("x"), Variant::String("y")});
  EXPECT_TRUE(r.script.CallFunctionByRef("Swap", args).IsNull());
  std::int32_t i0 = 0, i1 = 1;
  EXPECT_EQ(ArrayElement(args, 1, &i0).ToString(), "y");
  EXPECT_EQ(ArrayElement(args, 1, &i1).ToString(), "x");
  // Not a procedure of the script: Null without an error.
  EXPECT_TRUE(r.script.CallFunction("Nothing", Variant()).IsNull());
  EXPECT_THROW(r.script.CallFunction("Add", Variant::ArrayOf({Variant::Int(1), Variant::Int(1), Variant::Int(1)})),
               ScriptError);
}

struct StopCase {
  const char* what;
  const char* program;
  int stopAfter;  // lines before Terminate
  const char* expected;
};

TEST(HostApi, TerminateFromOnRunLineStops) {
  const StopCase cases[] = {
      {"straight code stops before the statement whose prologue asked",
       "begin WriteLn(1); WriteLn(2); WriteLn(3) end.", 2, "1\n"},
      {"an endless loop with an empty body",
       "begin while True do ; end.", 50, ""},
      {"an endless recursion inside a procedure",
       "procedure R(n: Integer); begin if n mod 100 = 0 then WriteLn(n); R(n + 1) end; begin R(1); "
       "WriteLn('after') end.", 450, "100\n200\n"},
      {"a repeat loop in a called function: the calling statement completes, the next does not run",
       "function F: Integer; begin repeat Result := 1 until False end; begin WriteLn(F); WriteLn('no') end.", 30,
       "1\n"},
  };
  for (const StopCase& c : cases) {
    Runner r;
    ASSERT_TRUE(r.Compile("VadoziDaruro", c.program)) << c.what << ": " << r.out;
    int lines = 0;
    r.script.OnRunLine = [&](TfsScope&, const std::string&, const std::string&) {
      if (++lines == c.stopAfter) r.script.Terminate();
    };
    r.script.Execute();
    EXPECT_EQ(r.out, c.expected) << c.what;
    // A stop request does not carry over into the next run.
    r.script.OnRunLine = nullptr;
    r.out.clear();
    if (std::string(c.program).find("WriteLn(1)") != std::string::npos) {
      r.script.Execute();
      EXPECT_EQ(r.out, "1\n2\n3\n") << c.what;
    }
  }
}

TEST(HostApi, RunLineSeesUnitAndPosition) {
  Runner r;
  ASSERT_TRUE(r.Compile("VadoziDaruro", "begin\n  WriteLn(1);\n  WriteLn(2)\nend."));
  std::string seen;
  r.script.OnRunLine = [&](TfsScope&, const std::string& unit, const std::string& pos) { seen += unit + pos + ";"; };
  r.script.Execute();
  EXPECT_EQ(seen, "2:3;3:3;");
  EXPECT_EQ(r.script.CodeLines().at(""), "2,3,");
}

TEST(HostApi, NewerHostFunctionHidesLibraryFunction) {
  Runner r;
  r.script.AddMethod("function UpperCase(s: String): String",
                     [](const Variant&, const HostClassInfo*, const std::string&, TfsMethodCall& c) {
                       return Variant::String("host:" + VarToStr(c.Param(0)));
                     },
                     "", "");
  EXPECT_EQ(r.Run("VadoziDaruro", "begin WriteLn(UpperCase('a')) end."), "host:a\n");
}

TEST(HostApi, EnumsAndClearItemsBeforeRecompiling) {
  Runner r;
  r.script.Registrant = 1;
  r.script.AddEnum("TKind", "kRed, kGreen , kBlue");
  r.script.Registrant = 0;
  EXPECT_EQ(r.Run("VadoziDaruro", "var c: TKind; begin c := kBlue; WriteLn(c) end."), "2\n");
  // Without clearing, the program's own names are still there.
  r.out.clear();
  EXPECT_EQ(r.Run("VadoziDaruro", "var c: Integer; begin end."), "Identifier redeclared: 'c' at 1:6");
  r.script.ClearItems(0);
  r.out.clear();
  // Enumeration values are integers to an Integer variable.
  EXPECT_EQ(r.Run("VadoziDaruro", "var c: Integer; begin c := kGreen; WriteLn(c) end."), "1\n");
}

TEST(HostApi, MembersOfObjectHandlesAreCheckedBeforeAnything) {
  static const HostClassInfo kClass{"TThing", nullptr};
  int thing = 0;
  Runner r;
  r.script.AddVariable("Thing", "Variant", Variant::Object(r.script.Objects().Register(&thing, &kClass)));
  ASSERT_TRUE(r.Compile("VadoziDaruro", "begin Thing.Name := 'x' end."));
  // A registered object: members need a class the script knows.
  EXPECT_THROW(
      {
        try {
          r.script.Execute();
        } catch (const ScriptError& e) {
          EXPECT_STREQ(e.what(), "Unknown type: 'TThing'");
          throw;
        }
      },
      ScriptError);
  r.script.Objects().Unregister(&thing);
  try {
    r.script.Execute();
    ADD_FAILURE() << "a stale handle was used";
  } catch (const ScriptError& e) {
    EXPECT_STREQ(e.what(), msg::kInvalidObject);
  }
}

TEST(HostApi, VariablesKeepValuesBetweenRuns) {
  Runner r;
  ASSERT_TRUE(r.Compile("VadoziDaruro", "var n: Integer; begin n := n + 1; WriteLn(n) end."));
  r.script.Execute();
  r.script.Execute();
  EXPECT_EQ(r.out, "1\n2\n");
}

}  // namespace
}  // namespace zentavo::testing

namespace zentavo::testing {
namespace {

TEST(HostApi, ParameterArrayCallbacksSeeEveryParameterAndGiveBackByReferenceOnes) {
  Runner r;
  r.script.AddMethod(
      "procedure Twice(var a: Integer; b: Integer = 5)",
      [](const Variant& instance, const HostClassInfo* cls, Variant& result, std::vector<Variant>& params,
         const std::string& name) {
        EXPECT_TRUE(instance.IsEmpty());
        EXPECT_EQ(cls, nullptr);
        EXPECT_EQ(name, "TWICE");
        ASSERT_EQ(params.size(), 2u);
        params[0] = Variant::Int(params[0].ToInt32() * 2 + params[1].ToInt32());
        params[1] = Variant::Int(0);  // not by reference: nothing comes back
        result = Variant::Int(99);    // a procedure's result is dropped
      },
      "", "");
  r.script.AddMethod(
      "function Sum(a, b: Integer): Integer",
      [](const Variant&, const HostClassInfo*, Variant& result, std::vector<Variant>& params, const std::string&) {
        result = Variant::Int(params.at(0).ToInt32() + params.at(1).ToInt32());
      },
      "", "");
  EXPECT_EQ(r.Run("VadoziDaruro",
                  "var x, y: Integer; begin x := 1; y := 3; Twice(x, y); WriteLn(x); WriteLn(y); Twice(x); WriteLn(x);"
                  " WriteLn(Sum(2, 40)) end."),
            "5\n3\n15\n42\n");
}

TEST(HostApi, TheLibraryIsAddedOnceAndRemovedWhole) {
  TfsScript s;
  EXPECT_FALSE(s.LibraryAdded());
  s.AddLibrary();
  ASSERT_TRUE(s.LibraryAdded());
  std::size_t items = s.Items().size();
  ASSERT_NE(s.Find("IntToStr"), nullptr);
  s.AddLibrary();  // nothing more the second time
  EXPECT_EQ(s.Items().size(), items);
  // Library items survive Clear; RemoveLibrary takes them and nothing else.
  s.AddVariable("Mine", "Integer", Variant::Int(1));
  s.Clear();
  EXPECT_NE(s.Find("IntToStr"), nullptr);
  EXPECT_EQ(s.Find("Mine"), nullptr);
  s.AddVariable("Mine", "Integer", Variant::Int(1));
  s.RemoveLibrary();
  EXPECT_FALSE(s.LibraryAdded());
  EXPECT_EQ(s.Find("IntToStr"), nullptr);
  EXPECT_NE(s.Find("Mine"), nullptr);
}

TEST(HostApi, ModulesTakeTheirPlaceWhateverOrderTheyAreInstalledIn) {
  // The modules stay in the program's list: later scripts find them silent.
  static std::vector<std::string>* seen = nullptr;
  std::vector<std::string> order;
  seen = &order;
  AddLibraryModule({"test-seventh", 70, [](TfsLibraryTarget&) {
                      if (seen) seen->push_back("seventh");
                    }});
  AddLibraryModule({"test-third", 30, [](TfsLibraryTarget&) {
                      if (seen) seen->push_back("third");
                    }});
  AddLibraryModule({"test-third", 30, [](TfsLibraryTarget&) {
                      if (seen) seen->push_back("third again");
                    }});
  {
    TfsScript s;
    s.AddLibrary();
  }
  seen = nullptr;
  EXPECT_EQ(order, (std::vector<std::string>{"third", "seventh"}));
  EXPECT_EQ(std::string(LibraryModules().front().name), "system");
}

TEST(HostApi, AScriptSeesItsParentsNamesAndObjects) {
  Runner parent;
  ASSERT_TRUE(parent.Compile("VadoziDaruro", "var Shared: Integer; function Twice(n: Integer): Integer; "
                                             "begin Result := n * 2 end; begin Shared := 21 end."))
      << parent.out;
  parent.script.Execute();
  TfsScript child;
  child.SetParent(&parent.script);
  child.Lines = "function F: Variant; begin Result := Twice(Shared) end; begin end.";
  ASSERT_TRUE(child.Compile()) << child.ErrorMessage;
  EXPECT_EQ(child.CallFunction("F", Variant()).ToInt32(), 42);
  // Handles found through the parent resolve in the child: its table is the parent's.
  EXPECT_EQ(&child.Objects(), &parent.script.Objects());
  // A parent chain that comes back to the script is refused.
  EXPECT_THROW(parent.script.SetParent(&child), ScriptError);
  EXPECT_THROW(child.SetParent(&child), ScriptError);
  child.SetParent(nullptr);
  EXPECT_EQ(child.Find("Shared"), nullptr);
}

}  // namespace
}  // namespace zentavo::testing
