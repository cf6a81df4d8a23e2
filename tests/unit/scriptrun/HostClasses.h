// Test host classes: a point and a small string list (with a sorted
// descendant) that scripts create and free, and a host-owned thing with an
// event. Each object counts its live instances so tests see leaks and frees.
#pragma once

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/unit/scriptrun/RunHarness.h"

namespace zentavo::testing {

struct Point {
  int x = 0, y = 0;
  static inline int live = 0;
  Point() { ++live; }
  ~Point() { --live; }
};

struct StrList {
  std::vector<std::string> items;
  static inline int live = 0;
  StrList() { ++live; }
  virtual ~StrList() { --live; }
};
struct SortedList : StrList {};

struct Thing {
  std::string name = "thing";
  TfsEventHandler onChange;
};

inline const HostClassInfo kPointClass{"TPoint", nullptr};
inline const HostClassInfo kListClass{"TStrList", nullptr};
inline const HostClassInfo kSortedClass{"TSortedList", &kListClass};
inline const HostClassInfo kThingClass{"THostThing", nullptr};

// The instance a callback receives, resolved in the table of the script it runs in.
inline Point& AsPoint(const ObjectTable& o, const Variant& v) { return *static_cast<Point*>(o.Resolve(v)); }
inline StrList& AsList(const ObjectTable& o, const Variant& v) { return *static_cast<StrList*>(o.Resolve(v)); }
inline Thing& AsThing(const ObjectTable& o, const Variant& v) { return *static_cast<Thing*>(o.Resolve(v)); }

inline Variant PointMember(const Variant& self, const HostClassInfo*, const std::string& name, TfsMethodCall& c) {
  Point& p = AsPoint(c.Objects(), self);
  if (name == "CREATE") {
    p.x = c.Param(0).ToInt32();
    p.y = c.Param(1).ToInt32();
    if (p.x < 0) throw ScriptError("negative X");
    return self;
  }
  if (name == "SUM") return Variant::Int(p.x + p.y);
  if (name == "MOVEBY") {
    p.x += c.Param(0).ToInt32();
    p.y += c.Param(1).ToInt32();
    return Variant::Null();
  }
  if (name == "GETXY") {
    c.SetParam(0, Variant::Int(p.x));
    c.SetParam(1, Variant::Int(p.y));
    return Variant::Null();
  }
  int& coord = c.Param(0).ToInt32() == 0 ? p.x : p.y;
  if (name == "COORD.GET") return Variant::Int(coord);
  if (name == "COORD.SET") {
    coord = c.Param(c.ParamCount()).ToInt32();
    return Variant::Null();
  }
  throw std::logic_error("no point member " + name);
}

inline Variant PointGet(const Variant& self, const HostClassInfo*, const std::string& name, ObjectTable& o) {
  Point& p = AsPoint(o, self);
  if (name == "X") return Variant::Int(p.x);
  if (name == "Y") return Variant::Int(p.y);
  if (name == "LEN2") return Variant::Int(p.x * p.x + p.y * p.y);
  if (name == "ISZERO") return Variant::Int(p.x == 0 && p.y == 0 ? 1 : 0);
  throw std::logic_error("no point property " + name);
}

inline void PointSet(const Variant& self, const HostClassInfo*, const Variant& v, const std::string& name,
                     ObjectTable& o) {
  (name == "X" ? AsPoint(o, self).x : AsPoint(o, self).y) = v.ToInt32();
}

inline Variant ListMember(const Variant& self, const HostClassInfo*, const std::string& name, TfsMethodCall& c) {
  StrList& l = AsList(c.Objects(), self);
  if (name == "ADD") {
    l.items.push_back(c.Param(0).ToString());
    return Variant::Int(static_cast<std::int32_t>(l.items.size()) - 1);
  }
  if (name == "ADDPOINT") {
    // The argument was checked to be a point before the callback runs.
    auto* p = static_cast<Point*>(ObjectOf(c.Objects(), c.Param(0), kPointClass));
    l.items.push_back(std::to_string(p->x) + "," + std::to_string(p->y));
    return Variant::Null();
  }
  if (name == "SORT") {
    std::sort(l.items.begin(), l.items.end());
    return Variant::Null();
  }
  std::int32_t i = c.Param(0).ToInt32();
  if (i < 0 || i >= static_cast<std::int32_t>(l.items.size()))
    throw ScriptError("List index out of bounds (" + std::to_string(i) + ")");
  if (name == "STRINGS.GET") return Variant::String(l.items[static_cast<std::size_t>(i)]);
  if (name == "STRINGS.SET") {
    l.items[static_cast<std::size_t>(i)] = c.Param(1).ToString();
    return Variant::Null();
  }
  throw std::logic_error("no list member " + name);
}

// Registers the classes (as library items, so they outlive Clear) and the
// host object "Thing"; "LiveObjects" tells how many points and lists exist.
inline void AddTestClasses(TfsScript& s, Thing& thing) {
  s.Registrant = 1;
  TfsClassVariable* point = s.AddClass(&kPointClass, "TObject");
  point->SetFactory([] { return static_cast<void*>(new Point); }, [](void* p) { delete static_cast<Point*>(p); });
  point->AddConstructor("constructor Create(AX, AY: Integer)", PointMember);
  point->AddMethod("function Sum: Integer", PointMember);
  point->AddMethod("procedure MoveBy(DX: Integer; DY: Integer = 1)", PointMember);
  point->AddMethod("procedure GetXY(var AX, AY: Integer)", PointMember);
  point->AddProperty("X", "Integer", PointGet, PointSet);
  point->AddProperty("Y", "Integer", PointGet, PointSet);
  point->AddProperty("Len2", "Integer", PointGet);
  point->AddProperty("IsZero", "Boolean", PointGet);
  point->AddIndexProperty("Coord", "Integer", "Integer", PointMember, false);

  TfsClassVariable* list = s.AddClass(&kListClass, "TObject");
  list->SetFactory([] { return static_cast<void*>(new StrList); }, [](void* p) { delete static_cast<StrList*>(p); });
  list->AddMethod("function Add(const S: string): Integer", ListMember);
  list->AddProperty("Count", "Integer",
                    [](const Variant& self, const HostClassInfo*, const std::string&, ObjectTable& o) {
                      return Variant::Int(static_cast<std::int32_t>(AsList(o, self).items.size()));
                    });
  list->AddDefaultProperty("Strings", "Integer", "String", ListMember, false);
  list->AddMethod("procedure AddPoint(P: TPoint)", ListMember);

  TfsClassVariable* sorted = s.AddClass(&kSortedClass, "TStrList");
  sorted->SetFactory([] { return static_cast<void*>(new SortedList); },
                     [](void* p) { delete static_cast<SortedList*>(p); });
  sorted->AddMethod("procedure Sort", ListMember);

  TfsClassVariable* thingClass = s.AddClass(&kThingClass, "TObject");
  thingClass->AddProperty(
      "Name", "String",
      [](const Variant& self, const HostClassInfo*, const std::string&, ObjectTable& o) {
        return Variant::String(AsThing(o, self).name);
      },
      [](const Variant& self, const HostClassInfo*, const Variant& v, const std::string&, ObjectTable& o) {
        AsThing(o, self).name = v.ToString();
      });
  // Fire(V) raises OnChange(Self, V) and returns V as the handler left it.
  thingClass->AddMethod("function Fire(V: Integer): Integer",
                        [](const Variant& self, const HostClassInfo*, const std::string&, TfsMethodCall& c) {
                          std::vector<Variant> args{self, c.Param(0)};
                          TfsEventHandler h = AsThing(c.Objects(), self).onChange;
                          if (h) h(args);
                          return args[1];
                        });
  thingClass->AddEvent("OnChange", [](const Variant& self, const HostClassInfo*, const std::string&,
                                      TfsEventHandler handler, ObjectTable& o) {
    AsThing(o, self).onChange = std::move(handler);
  });
  s.AddObject("Thing", &thing, &kThingClass);
  s.AddMethod("function PointSum(P: TPoint): Integer",
              [](const Variant&, const HostClassInfo*, const std::string&, TfsMethodCall& c) {
                auto* p = static_cast<Point*>(ObjectOf(c.Objects(), c.Param(0), kPointClass));
                return Variant::Int(p->x + p->y);
              },
              "", "");
  s.AddMethod("function NameOf(O: TObject): String",
              [](const Variant&, const HostClassInfo*, const std::string&, TfsMethodCall& c) {
                Variant o = c.Param(0);
                return Variant::String(o.IsObject() ? c.Objects().ClassOf(o.RawObject())->name : "nil");
              },
              "", "");
  s.AddMethod("function LiveObjects: Integer",
              [](const Variant&, const HostClassInfo*, const std::string&, TfsMethodCall&) {
                return Variant::Int(Point::live + StrList::live);
              },
              "", "");
  s.Registrant = 0;
}

// A runner whose script knows the test classes.
struct ClassRunner {
  Thing thing;
  Runner r;
  ClassRunner() { AddTestClasses(r.script, thing); }
  ~ClassRunner() { r.script.Objects().Unregister(&thing); }
  std::string Run(const std::string& language, const std::string& text) { return r.Run(language, text); }
};

}  // namespace zentavo::testing
