// Object tables belong to their scripts: two scripts side by side never
// reach each other's objects, one script's end leaves the other's objects
// alone, and a slot that is freed and reused never revives its old handles.
#include <gtest/gtest.h>

#include "tests/unit/scriptrun/HostClasses.h"

namespace zentavo::testing {
namespace {

// The value a script's variable holds after its program ran.
Variant ValueOf(TfsScript& s, const char* name) {
  TfsItem* item = s.Find(name);
  if (!item) throw std::logic_error(std::string("no variable ") + name);
  return item->value;
}

TEST(ScriptObjectTables, AHandleResolvesOnlyInTheScriptThatMadeIt) {
  Point hostPoint;  // script B's, handed over by the host: it stays while B's programs change
  hostPoint.x = 50;
  ClassRunner a, b;
  a.thing.name = "a-thing";
  b.thing.name = "b-thing";
  ASSERT_EQ(a.Run("VadoziDaruro", "var p: TPoint; begin p := TPoint.Create(3, 4) end."), "");
  b.r.script.Registrant = 1;
  b.r.script.AddObject("HostPoint", &hostPoint, &kPointClass);
  Variant pointA = ValueOf(a.r.script, "p"), thingA = ValueOf(a.r.script, "Thing");
  Variant pointB = ValueOf(b.r.script, "HostPoint"), thingB = ValueOf(b.r.script, "Thing");
  // Both scripts registered two objects in the same order: slots and
  // generations coincide, so only the tables the handles name keep them apart.
  ASSERT_EQ(thingA.RawObject().slot, thingB.RawObject().slot);
  ASSERT_EQ(thingA.RawObject().generation, thingB.RawObject().generation);
  ASSERT_EQ(pointA.RawObject().slot, pointB.RawObject().slot);
  ASSERT_EQ(pointA.RawObject().generation, pointB.RawObject().generation);

  b.r.script.AddVariable("ForeignPoint", "Variant", pointA);
  b.r.script.AddVariable("ForeignThing", "Variant", thingA);
  b.r.script.Registrant = 0;
  struct Row {
    const char* program;
    const char* expected;
    const char* why;
  };
  const Row rows[] = {
      {"begin WriteLn(ForeignThing.Name) end.", "error: Invalid object reference",
       "another script's host object, though this script's own sits in the same slot"},
      {"begin WriteLn(ForeignPoint.X) end.", "error: Invalid object reference",
       "another script's point, though this script's host point sits in the same slot"},
      {"var p: TPoint; begin p := TPoint(ForeignPoint); WriteLn('cast') end.", "error: Invalid object reference",
       "a typecast checks the handle first"},
      {"begin WriteLn(ForeignPoint is TPoint) end.", "error: Invalid object reference", "so does is"},
      {"begin WriteLn(PointSum(ForeignPoint)) end.", "error: Invalid object reference",
       "object arguments of host functions"},
      {"var l: TStrList; begin l := TStrList.Create; l.AddPoint(ForeignPoint) end.",
       "error: Invalid object reference", "object arguments of methods"},
      {"begin WriteLn(NameOf(ForeignPoint)) end.", "error: Invalid object reference",
       "a callback resolves in the table of the script that calls it"},
      {"begin ForeignPoint.Free end.", "error: Invalid object reference", "no script frees another's object"},
      {"var v: Variant; begin v := Thing; WriteLn(v = ForeignThing) end.", "False\n",
       "the same slot of two tables holds two objects"},
      {"begin WriteLn(Thing.Name); WriteLn(HostPoint.X) end.", "b-thing\n50\n", "the script's own objects resolve"},
  };
  for (const Row& row : rows) {
    b.r.script.ClearItems(0);
    b.r.out.clear();
    EXPECT_EQ(b.Run("VadoziDaruro", row.program), row.expected) << row.program << ": " << row.why;
  }
  EXPECT_EQ(AsPoint(a.r.script.Objects(), pointA).x, 3) << "script A's point is untouched";
  EXPECT_EQ(&AsThing(a.r.script.Objects(), thingA), &a.thing);
  b.r.script.Objects().Unregister(&hostPoint);
}

TEST(ScriptObjectTables, DestroyingOneScriptLeavesTheOthersObjects) {
  ClassRunner b;
  ASSERT_EQ(b.Run("VadoziDaruro",
                  "var p: TPoint; Foreign: Variant; "
                  "procedure Show; begin WriteLn(p.X + p.Y); WriteLn(Thing.Name) end; "
                  "procedure UseForeign; begin WriteLn(Foreign.X) end; "
                  "begin p := TPoint.Create(5, 6) end."),
            "");
  Variant pointB = ValueOf(b.r.script, "p");
  Variant pointA;
  {
    ClassRunner a;
    ASSERT_EQ(a.Run("VadoziDaruro",
                    "var p, q: TPoint; l: TStrList; "
                    "begin p := TPoint.Create(1, 2); q := TPoint.Create(3, 4); l := TStrList.Create end."),
              "");
    EXPECT_EQ(Point::live + StrList::live, 4);
    pointA = ValueOf(a.r.script, "p");
  }
  EXPECT_EQ(Point::live + StrList::live, 1) << "script A's objects went with it, script B's stayed";
  EXPECT_EQ(AsPoint(b.r.script.Objects(), pointB).x, 5);
  b.r.out.clear();
  b.r.script.CallFunction("Show", Variant());
  EXPECT_EQ(b.r.out, "11\nthing\n") << "script B still reaches its point and its host object";

  // A destroyed script's handles resolve nowhere: not in the script that
  // outlived it, nor in one made afterwards whose slots coincide.
  b.r.script.Find("Foreign")->value = pointA;
  try {
    b.r.script.CallFunction("UseForeign", Variant());
    ADD_FAILURE() << "a handle of a destroyed script was used";
  } catch (const ScriptError& e) {
    EXPECT_STREQ(e.what(), msg::kInvalidObject);
  }
  ClassRunner c;
  ASSERT_EQ(c.Run("VadoziDaruro", "var p: TPoint; begin p := TPoint.Create(7, 8) end."), "");
  Variant pointC = ValueOf(c.r.script, "p");
  ASSERT_EQ(pointC.RawObject().slot, pointA.RawObject().slot);
  ASSERT_EQ(pointC.RawObject().generation, pointA.RawObject().generation);
  EXPECT_FALSE(c.r.script.Objects().IsValid(pointA.RawObject()));
  EXPECT_TRUE(c.r.script.Objects().IsValid(pointC.RawObject()));
}

TEST(ScriptObjectTables, AFreedSlotsHandleStaysDeadAfterReuse) {
  ClassRunner r;
  EXPECT_EQ(r.Run("VadoziDaruro",
                  "var p, q, n: TPoint; begin p := TPoint.Create(1, 2); q := p; p.Free; "
                  "n := TPoint.Create(7, 8); WriteLn(n.X); WriteLn(q = n); WriteLn(q.X) end."),
            "7\nFalse\nerror: Invalid object reference");
  ObjectHandle old = ValueOf(r.r.script, "q").RawObject(), reused = ValueOf(r.r.script, "n").RawObject();
  ASSERT_EQ(old.slot, reused.slot) << "the new point took the freed slot";
  EXPECT_NE(old.generation, reused.generation);

  // The same for an object the host hands over and takes back.
  Thing first, second;
  TfsScript& s = r.r.script;
  Variant firstHandle = Variant::Object(s.Objects().Register(&first, &kThingClass));
  s.Objects().Unregister(&first);
  Variant secondHandle = Variant::Object(s.Objects().Register(&second, &kThingClass));
  ASSERT_EQ(firstHandle.RawObject().slot, secondHandle.RawObject().slot);
  EXPECT_EQ(s.Objects().Resolve(secondHandle), &second);
  EXPECT_FALSE(s.Objects().IsValid(firstHandle.RawObject()));
  s.Objects().Unregister(&second);
}

}  // namespace
}  // namespace zentavo::testing

namespace zentavo::testing {
namespace {

// Objects whose owner destroys them without telling the script (a report's
// objects) are registered with their owner's life token.
TEST(ScriptObjectTables, AWatchedHandleDiesWithItsObject) {
  ObjectTable table;
  static const HostClassInfo kBox{"TBox", nullptr};
  auto life = std::make_shared<const int>(0);
  int box = 0;
  ObjectHandle h = table.Register(&box, &kBox, life);
  EXPECT_EQ(table.Resolve(h), &box);
  EXPECT_EQ(table.LifeOf(h).lock(), life) << "nested objects take their owner's token from the handle";
  life.reset();
  EXPECT_FALSE(table.IsValid(h));
  EXPECT_THROW(table.Resolve(h), ScriptError);
  // A new object at the same address gets a new handle; the old one stays dead.
  auto next = std::make_shared<const int>(0);
  ObjectHandle again = table.Register(&box, &kBox, next);
  EXPECT_NE(again.generation, h.generation);
  EXPECT_FALSE(table.IsValid(h));
  EXPECT_EQ(table.Resolve(again), &box);
  // Without a token an object lives until the host unregisters it.
  int plain = 0;
  ObjectHandle p = table.Register(&plain, &kBox);
  EXPECT_TRUE(table.LifeOf(p).expired());
  EXPECT_EQ(table.Resolve(p), &plain);
  // Sweeping drops the dead and keeps the living, watched or not.
  int other = 0;
  auto otherLife = std::make_shared<const int>(0);
  ObjectHandle o = table.Register(&other, &kBox, otherLife);
  next.reset();
  ASSERT_EQ(table.Count(), 3u);
  table.Sweep();
  EXPECT_EQ(table.Count(), 2u);
  EXPECT_FALSE(table.IsValid(again));
  EXPECT_EQ(table.Resolve(o), &other);
  EXPECT_EQ(table.Resolve(p), &plain);
}

}  // namespace
}  // namespace zentavo::testing
