// Host classes in scripts: construction and destruction, members resolved
// when the program is built and when it runs, with statements, typecasts,
// events, and the errors of each (unknown classes, non-objects used as
// objects, freed objects, wrong argument counts).
#include <gtest/gtest.h>

#include "tests/unit/scriptrun/HostClasses.h"

namespace zentavo::testing {
namespace {

struct Case {
  const char* language;
  const char* what;
  const char* program;
  const char* expected;
};

const Case kCases[] = {
    // ---- VadoziDaruro: members known when the program is built
    {"VadoziDaruro", "constructor arguments, properties, methods, a default argument",
     "var p: TPoint; begin p := TPoint.Create(3, 4); WriteLn(p.X); p.Y := 10; WriteLn(p.Sum); p.MoveBy(1); "
     "WriteLn(p.X * 100 + p.Y); p.MoveBy(2, 5); WriteLn(p.Y); p.Free end.",
     "3\n13\n411\n16\n"},
    {"VadoziDaruro", "by-reference arguments of a method come back",
     "var p: TPoint; a, b: Integer; begin p := TPoint.Create(7, 8); p.GetXY(a, b); WriteLn(a * 10 + b); p.Free end.",
     "78\n"},
    {"VadoziDaruro", "indexed and default properties read and write",
     "var l: TStrList; p: TPoint; begin l := TStrList.Create; l.Add('a'); l.Add('b'); l[1] := 'B'; "
     "WriteLn(l[0] + l.Strings[1]); WriteLn(l.Count); l.Free; p := TPoint.Create(1, 2); p.Coord[1] := 5; "
     "WriteLn(p.Coord[0] + p.Y); p.Free end.",
     "aB\n2\n6\n"},
    {"VadoziDaruro", "a Boolean property reads as True or False",
     "var p: TPoint; begin p := TPoint.Create(0, 0); WriteLn(p.IsZero); p.X := 1; WriteLn(p.IsZero); p.Free end.",
     "True\nFalse\n"},
    {"VadoziDaruro", "with: members of the innermost object first, then outer, then plain names",
     "var p, q: TPoint; X: Integer; begin X := 99; p := TPoint.Create(1, 2); q := TPoint.Create(5, 6); "
     "with p, q do WriteLn(X + Y); with p do begin X := 7; with q do WriteLn(X) end; WriteLn(p.X); WriteLn(X); "
     "p.Free; q.Free end.",
     "11\n5\n7\n99\n"},
    {"VadoziDaruro", "with inside a procedure over a parameter, and recursion keeping each call's object",
     "procedure Bump(q: TPoint); begin with q do X := X + 1 end; "
     "function Depth(n: Integer): Integer; var p: TPoint; begin p := TPoint.Create(n, 0); "
     "if n > 0 then Result := Depth(n - 1) * 10 + p.X else Result := 0; p.Free end; "
     "var p: TPoint; begin p := TPoint.Create(1, 1); Bump(p); Bump(p); WriteLn(p.X); p.Free; WriteLn(Depth(3)); "
     "WriteLn(LiveObjects) end.",
     "3\n123\n0\n"},
    {"VadoziDaruro", "with over a new object evaluates it once, not at every member",
     "begin with TStrList.Create do begin Add('a'); Add('b'); WriteLn(Count); WriteLn(Strings[1]); Free end; "
     "WriteLn(LiveObjects) end.",
     "2\nb\n0\n"},
    {"VadoziDaruro", "inherited members, assignment to an ancestor, typecast down, is, ClassName",
     "var s: TSortedList; l: TStrList; begin s := TSortedList.Create; s.Add('b'); s.Add('a'); s.Sort; l := s; "
     "WriteLn(l[0]); WriteLn(TSortedList(l).Count); WriteLn(l is TSortedList); WriteLn(l is TPoint); "
     "WriteLn(l.ClassName); l.Free end.",
     "a\n2\nTrue\nFalse\nTSortedList\n"},
    {"VadoziDaruro", "a typecast to an unrelated class is refused before any member runs",
     "var v: Variant; l: TStrList; begin v := TPoint.Create(1, 2); l := TStrList(v); WriteLn('no') end.",
     "error: Invalid class typecast"},
    {"VadoziDaruro", "a freed object is a stale handle, never memory",
     "var p: TPoint; begin p := TPoint.Create(1, 2); p.Free; WriteLn(LiveObjects); WriteLn(p.X) end.",
     "0\nerror: Invalid object reference"},
    {"VadoziDaruro", "freeing twice", "var p: TPoint; begin p := TPoint.Create(1, 2); p.Free; p.Free end.",
     "error: Invalid object reference"},
    {"VadoziDaruro", "Free on nil does nothing", "var p: TPoint; begin p := nil; p.Free; WriteLn('ok') end.", "ok\n"},
    {"VadoziDaruro", "a member of nil", "var p: TPoint; begin WriteLn(p.X) end.",
     "error: Object reference required"},
    {"VadoziDaruro", "a failing constructor leaves no object behind",
     "var p: TPoint; begin try p := TPoint.Create(-1, 0) except WriteLn(LiveObjects) end end.", "0\n"},
    {"VadoziDaruro", "the host's object cannot be freed by the script", "begin Thing.Free end.",
     "error: Only objects the script created can be freed"},
    {"VadoziDaruro", "a class without a factory cannot be created", "var t: THostThing; begin t := THostThing.Create end.",
     "error: Class THostThing cannot be created by a script"},
    {"VadoziDaruro", "host object members", "begin Thing.Name := 'x' + Thing.Name; WriteLn(Thing.Name) end.",
     "xthing\n"},
    {"VadoziDaruro", "a class name as a value is a fresh instance the script owns",
     "begin WriteLn(TPoint.X + TPoint.Y); WriteLn(LiveObjects) end.", "0\n2\n"},
    {"VadoziDaruro", "object arguments of host methods and functions",
     "var l: TStrList; begin l := TStrList.Create; l.AddPoint(TPoint.Create(1, 2)); WriteLn(l[0]); "
     "WriteLn(PointSum(TPoint.Create(3, 4))); l.Free end.",
     "1,2\n7\n"},
    {"VadoziDaruro", "every object is a TObject, registered or not",
     "var l: TSortedList; begin l := TSortedList.Create; WriteLn(NameOf(l) + ' ' + NameOf(Thing)); l.Free end.",
     "TSortedList THostThing\n"},
    {"VadoziDaruro", "a number is no TObject", "var v: Variant; begin WriteLn(NameOf(nil)); v := 7; WriteLn(NameOf(v)) end.",
     "nil\nerror: Object reference required"},
    {"VadoziDaruro", "an object of another class in a Variant never reaches a host method as a point",
     "var l: TStrList; v: Variant; begin l := TStrList.Create; v := l; l.AddPoint(v) end.",
     "error: Invalid class typecast"},
    {"VadoziDaruro", "nor a host function", "var v: Variant; begin v := TStrList.Create; WriteLn(PointSum(v)) end.",
     "error: Invalid class typecast"},
    {"VadoziDaruro", "nor a number (refused when built)", "begin WriteLn(PointSum(5)) end.",
     "Incompatible types: 'Class TPoint', 'Integer' at 1:24"},
    {"VadoziDaruro", "nor a number in a Variant", "var v: Variant; begin v := 5; WriteLn(PointSum(v)) end.",
     "error: Object reference required"},
    {"VadoziDaruro", "an object argument of the wrong class", "var l: TStrList; begin WriteLn(PointSum(l)) end.",
     "Incompatible types: 'Class TPoint', 'Class TStrList' at 1:41"},
    {"VadoziDaruro", "an event calls the script procedure, which is not entered again while it runs",
     "procedure Changed(Sender: THostThing; var V: Integer); begin V := V * 2; WriteLn(Sender.Fire(5)) end; "
     "begin Thing.OnChange := 'Changed'; WriteLn(Thing.Fire(21)) end.",
     "5\n42\n"},
    {"VadoziDaruro", "a property as a by-reference argument is read and written back",
     "var p: TPoint; begin p := TPoint.Create(1, 2); Inc(p.X, 5); Inc(p.Coord[1]); WriteLn(p.X * 10 + p.Y); p.Free end.",
     "63\n"},
    {"VadoziDaruro", "objects in an array and in a function result",
     "var a: array[0..2] of TPoint; i: Integer; function Make(n: Integer): TPoint; begin Result := TPoint.Create(n, n) end; "
     "begin for i := 0 to 2 do a[i] := Make(i); a[1].Free; WriteLn(a[2].Sum); WriteLn(LiveObjects); WriteLn(a[1].Sum) end.",
     "4\n2\nerror: Invalid object reference"},
    // ---- VadoziDaruro: members of Variant values, resolved when they run
    {"VadoziDaruro", "late-bound members of an object in a Variant",
     "var v: Variant; begin v := TPoint.Create(2, 3); WriteLn(v.Sum); v.X := 10; WriteLn(v.X); v.MoveBy(1, 1); "
     "WriteLn(v.Y); v.Coord[0] := 4; WriteLn(v.Coord[0]); v.Free end.",
     "5\n10\n4\n4\n"},
    {"VadoziDaruro", "late-bound default property and inherited member",
     "var v: Variant; begin v := TSortedList.Create; v.Add('z'); v.Add('y'); v.Sort; v[1] := v[1] + '!'; "
     "WriteLn(v[0] + v[1]); v.Free end.",
     "yz!\n"},
    {"VadoziDaruro", "late-bound: a number is no object", "var v: Variant; begin v := 12345; WriteLn(v.X) end.",
     "error: Object reference required"},
    {"VadoziDaruro", "late-bound: a text has no members", "var v: Variant; begin v := 'abc'; WriteLn(v.X) end.",
     "error: Strings doesn't have properties or methods"},
    {"VadoziDaruro", "late-bound: unknown member",
     "var v: Variant; begin v := TPoint.Create(1, 1); v.Nothing := 1 end.", "error: Undeclared identifier: 'Nothing'"},
    {"VadoziDaruro", "late-bound: too few arguments", "var v: Variant; begin v := TPoint.Create(1, 1); v.MoveBy end.",
     "error: Not enough actual parameters"},
    {"VadoziDaruro", "late-bound: too many arguments",
     "var v: Variant; begin v := TPoint.Create(1, 1); WriteLn(v.Sum(1)) end.", "error: Too many actual parameters"},
    {"VadoziDaruro", "late-bound: read-only property",
     "var v: Variant; begin v := TPoint.Create(1, 1); v.Len2 := 1 end.", "error: Left side cannot be assigned to"},
    {"VadoziDaruro", "late-bound: use after Free",
     "var v: Variant; begin v := TPoint.Create(1, 1); v.Free; v.X := 1 end.", "error: Invalid object reference"},
    {"VadoziDaruro", "with over a Variant: unknown names are the object's members",
     "var v: Variant; begin v := TPoint.Create(1, 2); with v do begin X := 9; WriteLn(X + Y) end; v.Free end.",
     "11\n"},
    // ---- compile errors
    {"VadoziDaruro", "unknown member", "var p: TPoint; begin p.Nothing := 1 end.", "Undeclared identifier: 'Nothing' at 1:31"},
    {"VadoziDaruro", "unknown class", "var q: TNothing; begin end.", "Unknown type: 'TNothing' at 1:16"},
    {"VadoziDaruro", "constructor with too few arguments", "var p: TPoint; begin p := TPoint.Create(1) end.",
     "Not enough actual parameters at 1:40"},
    {"VadoziDaruro", "method with too many arguments", "var p: TPoint; begin p.MoveBy(1, 2, 3) end.",
     "Too many actual parameters at 1:30"},
    {"VadoziDaruro", "argument of the wrong type", "var p: TPoint; begin p.MoveBy('a') end.",
     "Incompatible types: 'Integer', 'String' at 1:31"},
    {"VadoziDaruro", "read-only property", "var p: TPoint; begin p.Len2 := 3 end.", "Left side cannot be assigned to at 1:22"},
    {"VadoziDaruro", "indexed property without an index", "var p: TPoint; begin WriteLn(p.Coord) end.",
     "Index required at 1:37"},
    {"VadoziDaruro", "brackets on a class without a default property", "var p: TPoint; begin WriteLn(p[0]) end.",
     "Class TPoint does not have a default property at 1:32"},
    {"VadoziDaruro", "an object of one class into a variable of another", "var p: TPoint; l: TStrList; begin p := l end.",
     "Incompatible types: 'Class TPoint', 'Class TStrList' at 1:40"},
    {"VadoziDaruro", "with on a number", "var i: Integer; begin with i do WriteLn(1) end.", "Class type required at 1:28"},
    {"VadoziDaruro", "typecast with two arguments", "var p: TPoint; begin p := TPoint(1, 2) end.",
     "Too many actual parameters at 1:33"},
    {"VadoziDaruro", "event assignment of a procedure name",
     "procedure Changed(Sender: THostThing); begin end; begin Thing.OnChange := 'Changed'; "
     "Thing.OnChange := @Changed; Thing.OnChange := nil; WriteLn('ok') end.",
     "ok\n"},
    {"VadoziDaruro", "an event handler must be a procedure",
     "var Changed: Integer; begin Thing.OnChange := 'Changed' end.", "error: Event handler must be a procedure"},

    // ---- R++Izozev: new and delete
    {"R++Izozev", "new with arguments, members, delete",
     "TPoint p = new TPoint(3, 4); { WriteLn(p.Sum()); p.X = 10; p.Y += 1; WriteLn(p.X + p.Y); delete p; "
     "WriteLn(LiveObjects()); }",
     "7\n15\n0\n"},
    {"R++Izozev", "new without arguments, default property, use after delete",
     "TStrList l = new TStrList; { l.Add(\"x\"); WriteLn(l[0]); delete l; WriteLn(l.Count); }",
     "x\nerror: Invalid object reference"},
    {"R++Izozev", "delete of a number", "int i = 5; { delete i; }", "Class type required at 1:21"},
    {"R++Izozev", "new of an unknown name", "{ TPoint p = new TNothing(1); }", "Undeclared identifier: 'TNothing' at 1:26"},
    {"R++Izozev", "new of a name that is no class", "int k; { TPoint p = new k; }", "Class type required at 1:26"},
    {"R++Izozev", "new with a missing argument", "{ TPoint p = new TPoint(1); }", "Not enough actual parameters at 1:24"},

    // ---- JScript: variables are Variants, members resolved when they run
    {"JScript", "new, members, with, delete",
     "var p = new TPoint(1, 2); WriteLn(p.Sum); p.X = 5; with (p) { Y = 9; WriteLn(X + Y); } delete p; "
     "WriteLn(LiveObjects());",
     "3\n14\n0\n"},
    {"JScript", "empty argument list, default property, sorted descendant",
     "var l = new TSortedList(); l.Add(\"b\"); l.Add(\"a\"); l.Sort(); l[1] = l[1] + \"!\"; WriteLn(l[0] + l[1]); "
     "WriteLn(l.ClassName); delete l;",
     "ab!\nTSortedList\n"},
    {"JScript", "use after delete", "var p = new TPoint(1, 2); delete p; WriteLn(p.X);",
     "error: Invalid object reference"},
    {"JScript", "a member of a text", "var s = \"abc\"; WriteLn(s.X);",
     "error: Strings doesn't have properties or methods"},
    {"JScript", "new of a name that is no class", "var k = 1; var p = new k;", "Class type required at 1:25"},

    // ---- DarozOzuziz
    {"DarozOzuziz", "new, With, delete",
     "p = new TPoint(1, 2)\r\nWriteLn(p.Sum)\r\nWith p\r\n  X = 7\r\n  WriteLn(X + Y)\r\nEnd With\r\ndelete p\r\n"
     "WriteLn(LiveObjects)\r\n",
     "3\n9\n0\n"},
    {"DarozOzuziz", "a number used as an object", "v = 5\r\nWriteLn(v.X)\r\n", "error: Object reference required"},
};

struct FourWays {
  const char* what;
  const char* vd;   // VadoziDaruro: TFoo.Create and Free
  const char* rpp;  // R++Izozev: new and delete, typed variables
  const char* dz;   // DarozOzuziz: new and delete, Variant variables
  const char* js;   // JScript: new and delete, Variant variables
  const char* expected;
};

const FourWays kFourWays[] = {
    {"create, write a property, call methods, free",
     "var p: TPoint; begin p := TPoint.Create(2, 3); p.X := p.X + 1; p.MoveBy(1, 1); WriteLn(p.Sum); p.Free; "
     "WriteLn(LiveObjects) end.",
     "TPoint p; { p = new TPoint(2, 3); p.X++; p.MoveBy(1, 1); WriteLn(p.Sum); delete p; WriteLn(LiveObjects); }",
     "p = new TPoint(2, 3)\r\np.X = p.X + 1\r\np.MoveBy(1, 1)\r\nWriteLn(p.Sum)\r\ndelete p\r\nWriteLn(LiveObjects)\r\n",
     "var p = new TPoint(2, 3); p.X = p.X + 1; p.MoveBy(1, 1); WriteLn(p.Sum); delete p; WriteLn(LiveObjects);",
     "8\n0\n"},
    {"a list through its default property, then a use after freeing",
     "var l: TStrList; begin l := TStrList.Create; l.Add('a'); l[0] := l[0] + 'b'; WriteLn(l[0]); l.Free; "
     "WriteLn(l.Count) end.",
     "TStrList l; { l = new TStrList; l.Add(\"a\"); l[0] = l[0] + \"b\"; WriteLn(l[0]); delete l; WriteLn(l.Count); }",
     "l = new TStrList\r\nl.Add(\"a\")\r\nl[0] = l[0] + \"b\"\r\nWriteLn(l[0])\r\ndelete l\r\nWriteLn(l.Count)\r\n",
     "var l = new TStrList; l.Add(\"a\"); l[0] = l[0] + \"b\"; WriteLn(l[0]); delete l; WriteLn(l.Count);",
     "ab\nerror: Invalid object reference"},
};

TEST(HostClasses, SameObjectsInAllFourLanguages) {
  const char* names[] = {"VadoziDaruro", "R++Izozev", "DarozOzuziz", "JScript"};
  for (const FourWays& p : kFourWays) {
    const char* texts[] = {p.vd, p.rpp, p.dz, p.js};
    for (int i = 0; i < 4; ++i) {
      ClassRunner r;
      EXPECT_EQ(r.Run(names[i], texts[i]), p.expected) << names[i] << ": " << p.what;
    }
  }
}

TEST(HostClasses, ProgramsPrintOrFail) {
  for (const Case& c : kCases) {
    {
      ClassRunner r;
      EXPECT_EQ(r.Run(c.language, c.program), c.expected) << c.language << ": " << c.what;
    }
    // Whatever the program did, its objects are gone with the script.
    EXPECT_EQ(Point::live + StrList::live, 0) << c.language << ": " << c.what;
  }
}

TEST(HostClasses, ObjectsTheScriptKeepsGoWithItsProgram) {
  ClassRunner r;
  ASSERT_EQ(r.Run("VadoziDaruro", "var p: TPoint; l: TStrList; begin p := TPoint.Create(1, 2); "
                                  "l := TStrList.Create; l := TStrList.Create end."),
            "");
  EXPECT_EQ(r.r.script.OwnedObjectCount(), 3u);
  EXPECT_EQ(Point::live + StrList::live, 3);
  r.r.script.Execute();
  EXPECT_EQ(Point::live + StrList::live, 6) << "variables keep their objects between runs";
  r.r.script.ClearItems(0);
  EXPECT_EQ(Point::live + StrList::live, 0) << "clearing the program frees what it created";
  // The classes are library items and survive; the host object too.
  EXPECT_EQ(r.Run("VadoziDaruro", "begin with TPoint.Create(2, 2) do begin WriteLn(Sum); Free end end."), "4\n");
}

TEST(HostClasses, EventsCallTheScriptProcedure) {
  ClassRunner r;
  ASSERT_EQ(r.Run("VadoziDaruro",
                  "var calls: Integer; procedure Changed(Sender: THostThing; var Value: Integer); "
                  "begin calls := calls + 1; Value := Value * 2; WriteLn(Sender.Name); Sender.OnChange := nil end; "
                  "begin Thing.OnChange := 'Changed' end."),
            "");
  ASSERT_TRUE(r.thing.onChange);
  TfsEventHandler handler = r.thing.onChange;
  std::vector<Variant> args{Variant::Object(r.r.script.Objects().Register(&r.thing, &kThingClass)), Variant::Int(21)};
  handler(args);
  EXPECT_EQ(r.r.out, "thing\n");
  EXPECT_EQ(args[1].ToInt32(), 42) << "a by-reference argument comes back";
  EXPECT_FALSE(r.thing.onChange) << "assigning nil clears the handler";
  // After the program is cleared, a handler the host still holds does nothing.
  r.r.script.ClearItems(0);
  handler(args);
  EXPECT_EQ(args[1].ToInt32(), 42);
  EXPECT_EQ(r.r.out, "thing\n");
}

TEST(HostClasses, RegistrationRules) {
  ClassRunner r;
  TfsScript& s = r.r.script;
  EXPECT_EQ(s.AddClass(&kPointClass, "TObject"), nullptr) << "a known name is not registered twice";
  static const HostClassInfo kCopy{"Copy", nullptr};
  EXPECT_EQ(s.AddClass(&kCopy, ""), nullptr) << "nor the name of a library function";
  TfsClassVariable* list = s.FindClass("tstrlist");
  ASSERT_NE(list, nullptr);
  TfsClassVariable* sorted = s.FindClass("TSortedList");
  ASSERT_NE(sorted, nullptr);
  EXPECT_EQ(sorted->FindMember("add"), list->FindMember("Add")) << "members are inherited";
  EXPECT_EQ(sorted->DefaultProperty(), list->DefaultProperty()) << "so is the default property";
  EXPECT_EQ(sorted->FindMember("Free")->kind, MemberKind::Free) << "every class can be freed";
  EXPECT_EQ(sorted->FindMember("Nothing"), nullptr);
  Thing other;
  other.name = "other";
  s.AddObject("thing", &other, &kThingClass);
  EXPECT_EQ(r.Run("VadoziDaruro", "begin WriteLn(Thing.Name) end."), "thing\n") << "the first object keeps the name";
  s.Objects().Unregister(&other);
  EXPECT_TRUE(s.IsClassOrDescendant("TSortedList", "TStrList"));
  EXPECT_FALSE(s.IsClassOrDescendant("TStrList", "TSortedList"));
}

TEST(HostClasses, MacroFunctionsReceiveTheSourceText) {
  Runner r;
  r.script.Registrant = 1;
  r.script.AddMethod("macrofunction Show(X: Variant; Y: Variant = 0): String",
                     [](const Variant&, const HostClassInfo*, const std::string&, TfsMethodCall& c) {
                       return Variant::String("<" + VarToStr(c.Param(0)) + "|" + VarToStr(c.Param(1)) + ">");
                     },
                     "", "");
  r.script.Registrant = 0;
  const Case cases[] = {
      {"VadoziDaruro", "texts as written, comments and blanks inside included",
       "var a: Integer; begin WriteLn(Show(a  + {one} 1, 'q''s')) end.", "<a  + {one} 1|'q''s'>\n"},
      {"VadoziDaruro", "a missing argument has no text", "begin WriteLn(Show(Copy('ab', 1, 1))) end.",
       "<Copy('ab', 1, 1)|>\n"},
      {"R++Izozev", "another language", "{ WriteLn(Show(1+2 , \"x\")); }", "<1+2|\"x\">\n"},
      {"JScript", "nested call", "WriteLn(Show((1), Show(2)));", "<(1)|Show(2)>\n"},
  };
  for (const Case& c : cases) {
    r.out.clear();
    r.script.ClearItems(0);
    EXPECT_EQ(r.Run(c.language, c.program), c.expected) << c.language << ": " << c.what;
  }
}

}  // namespace
}  // namespace zentavo::testing
