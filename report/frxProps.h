// Published-property metadata: for every report class, the ordered list of
// properties (name, kind, type name, default, stored test, getter, setter) and
// its host events. Template reading and writing, Diff, Assign, the prepared
// page store and the script bindings all go through this one registry.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "script/fs_iobjects.h"

namespace zentavo {

class TfrxComponent;
class TfrxPersistent;
class TStrings;

enum class PropKind {
  Integer,     // integer numbers, written in decimal
  Color,       // TColor, an integer
  Boolean,     // written "True"/"False"
  Enum,        // written by name
  Set,         // bit mask, written in decimal
  Float,       // always written, "." as decimal separator
  DateTime,    // a float (days since 30.12.1899)
  String,      // single-byte text, escaped
  Event,       // name of a report-script procedure (a string)
  Variant,     // free text, always written
  StringList,  // lines, written as NAME.Text
  Object,      // nested object, its properties written as NAME.PROP
  Reference,   // another report object, written by name, resolved after loading
};

// The names of an enumeration or a set's elements, in ordinal order. Built at
// compile time (constinit), so that classes may be described from any
// initialiser, whatever order the program's files are initialised in.
struct EnumInfo {
  // Room for every enumeration of the model (the barcode types have 23).
  static constexpr std::size_t kMaxNames = 32;
  class Names {
   public:
    constexpr std::size_t size() const { return count_; }
    constexpr const char* operator[](std::size_t i) const { return items_[i]; }
    constexpr const char* const* begin() const { return items_.data(); }
    constexpr const char* const* end() const { return items_.data() + count_; }

   private:
    friend struct EnumInfo;
    std::array<const char*, kMaxNames> items_{};
    std::size_t count_ = 0;
  };

  constexpr EnumInfo(const char* type, std::initializer_list<const char*> list) : typeName(type) {
    for (const char* n : list) names.items_.at(names.count_++) = n;
  }
  const char* typeName;
  Names names;
  // Index of a name (ASCII case ignored), or -1.
  int Find(std::string_view name) const;
};

struct PropInfo {
  std::string name;
  PropKind kind = PropKind::Integer;
  std::string typeName;
  const EnumInfo* enumInfo = nullptr;  // enumerations and sets
  bool hasDefault = false;             // ordinal kinds: skipped when equal
  std::int64_t defaultValue = 0;
  // When set and false, the property is not written.
  std::function<bool(const TfrxPersistent&)> stored;

  // Accessors; which ones are set depends on the kind.
  std::function<std::int64_t(const TfrxPersistent&)> getOrd;  // Integer Color Boolean Enum Set
  std::function<void(TfrxPersistent&, std::int64_t)> setOrd;
  std::function<double(const TfrxPersistent&)> getFloat;  // Float DateTime
  std::function<void(TfrxPersistent&, double)> setFloat;
  std::function<std::string(const TfrxPersistent&)> getStr;  // String Event Variant
  std::function<void(TfrxPersistent&, const std::string&)> setStr;
  std::function<TStrings*(TfrxPersistent&)> getList;          // StringList
  std::function<TfrxPersistent*(TfrxPersistent&)> getObject;  // Object
  std::function<TfrxComponent*(const TfrxPersistent&)> getRef;  // Reference
  std::function<void(TfrxPersistent&, TfrxComponent*)> setRef;

  bool IsOrdinal() const;
  bool ReadOnly() const;
};

// One attribute of a class's difference text (Diff): its name, the
// property it reads (a path such as "Frame.Color"; the text lines when
// `lines`), and when it is written: where the object and its reference
// differ, or always; never where `when` says no. `base` marks the attributes
// of the difference every object has (the first of two passes stores only
// these). The names double as the short attribute names the reader accepts
// ("l" for Left).
struct DiffAttribute {
  std::string name;
  std::string path;
  bool lines = false;
  bool always = false;
  bool base = false;
  std::function<bool(const TfrxPersistent&)> when;
};

// The text lines of a text object: written as the attribute "Text" after
// the published properties, read from "Text" and "u" (UTF-8) and "x"
// (single-byte text).
struct LinesAccess {
  std::function<std::string(const TfrxPersistent&)> utf8;
  std::function<void(TfrxPersistent&, std::string_view)> setUtf8;
  std::function<void(TfrxPersistent&, std::string_view)> setSingleByte;
};

class TfrxPainter;

// What the program learns of a class while it runs, kept beside its
// description: the painter the renderer installed, and the property chains
// of its difference attributes, resolved on first use.
struct ClassRuntime {
  std::atomic<const TfrxPainter*> painter{nullptr};
  std::once_flag diffResolved;
  // One chain per difference attribute: the properties from the object down
  // to the value ("Frame", then "Color"); empty where the class does not
  // publish the path (or for the text lines).
  std::vector<std::vector<const PropInfo*>> diffChains;
  // The class as scripts' object tables know it (report/frxScriptBinding.h).
  std::once_flag scriptResolved;
  HostClassInfo scriptClass{nullptr, nullptr};
};

// Names compare with ASCII letters folded, without copying them.
struct AsciiCaseHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const noexcept;
};
struct AsciiCaseEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const noexcept;
};

class ClassInfo {
 public:
  ClassInfo(std::string name, const ClassInfo* parent) : name_(std::move(name)), parent_(parent) {}
  const std::string& Name() const { return name_; }
  const ClassInfo* Parent() const { return parent_; }
  // All published properties, inherited ones first, in writing order.
  const std::vector<PropInfo>& Props() const { return props_; }
  // Host events (callbacks a program may attach); never written.
  const std::vector<std::string>& Events() const { return events_; }
  const PropInfo* Find(std::string_view name) const;  // ASCII case ignored
  bool InheritsFrom(const ClassInfo& other) const;
  bool InheritsFrom(std::string_view className) const;

  void Add(PropInfo prop);  // a name already published keeps its first place
  void Remove(std::string_view name);
  void AddEvent(std::string name) { events_.push_back(std::move(name)); }

  // The difference text's attributes, inherited ones first.
  const std::vector<DiffAttribute>& DiffAttributes() const { return diff_; }
  std::vector<DiffAttribute>& MutableDiffAttributes() { return diff_; }
  const DiffAttribute* FindDiffAttribute(std::string_view name) const;  // ASCII case ignored
  // Whether objects of the class are stored as their own difference text
  // (otherwise: complete attributes followed by the base difference).
  bool HasOwnDiff(const TfrxPersistent& object) const { return ownDiff_ && ownDiff_(object); }
  void SetOwnDiff(std::function<bool(const TfrxPersistent&)> test) { ownDiff_ = std::move(test); }
  const LinesAccess* Lines() const { return lines_ ? &*lines_ : nullptr; }
  void SetLines(LinesAccess lines) { lines_ = std::move(lines); }
  ClassRuntime& Runtime() const { return *runtime_; }

 private:
  void Reindex();
  std::string name_;
  const ClassInfo* parent_;
  std::vector<PropInfo> props_;
  std::vector<std::string> events_;
  std::vector<DiffAttribute> diff_;
  std::function<bool(const TfrxPersistent&)> ownDiff_;
  std::optional<LinesAccess> lines_;
  // Name → position in props_, for the loader's many look-ups.
  std::unordered_map<std::string, std::size_t, AsciiCaseHash, AsciiCaseEqual> index_;
  std::unique_ptr<ClassRuntime> runtime_ = std::make_unique<ClassRuntime>();
};

// Common base of everything that publishes properties: report objects, fonts,
// frames, option records, collection items.
class PropDataWriter;
class PropDataReader;

class TfrxPersistent {
 public:
  virtual ~TfrxPersistent() = default;
  virtual const ClassInfo& GetClassInfo() const = 0;
  const std::string& ClassName() const { return GetClassInfo().Name(); }
  // Extra (non-published) properties, carried in the PropData attribute.
  virtual void WriteExtraProperties(PropDataWriter&) const {}
  // Reads one named record; false when the name is not ours (reading stops).
  virtual bool ReadExtraProperty(const std::string& /*name*/, PropDataReader&) { return false; }
};

// Builds one class's list in declaration order, starting from its base's.
// A property is a data member or a getter/setter pair of the class or a base:
//   ClassBuilder<TfrxMemoView>("TfrxMemoView", &TfrxCustomMemoView::StaticClassInfo())
//     .Bool("WordWrap", &TfrxCustomMemoView::WordWrap, true)
//     .Float("GapX", &TfrxCustomMemoView::GapX)
//     .Build();
template <class T>
class ClassBuilder {
 public:
  ClassBuilder(std::string name, const ClassInfo* parent) : info_(std::move(name), parent) {
    if (parent != nullptr) {
      for (const PropInfo& p : parent->Props()) info_.Add(p);
      for (const std::string& e : parent->Events()) info_.AddEvent(e);
      info_.MutableDiffAttributes() = parent->DiffAttributes();
      if (parent->Lines() != nullptr) info_.SetLines(*parent->Lines());
      info_.SetOwnDiff([parent](const TfrxPersistent& o) { return parent->HasOwnDiff(o); });
    }
  }

  // ---- the difference text
  // Appends attributes written where the object differs from its reference.
  ClassBuilder& Diff(std::initializer_list<std::pair<const char*, const char*>> nameAndPath, bool base = false) {
    for (const auto& [name, path] : nameAndPath)
      info_.MutableDiffAttributes().push_back(DiffAttribute{name, path, false, false, base, {}});
    return *this;
  }
  // Appends the text lines, always written.
  ClassBuilder& DiffLines(const char* name) {
    info_.MutableDiffAttributes().push_back(DiffAttribute{name, {}, true, true, false, {}});
    return *this;
  }
  // Attributes written only where `test` holds for the object.
  ClassBuilder& DiffWhen(std::initializer_list<const char*> names, std::function<bool(const T&)> test) {
    for (DiffAttribute& a : info_.MutableDiffAttributes())
      for (const char* n : names)
        if (a.name == n) a.when = [test](const TfrxPersistent& o) { return test(static_cast<const T&>(o)); };
    return *this;
  }
  // An attribute written whether or not it differs.
  ClassBuilder& DiffAlways(const char* name) {
    for (DiffAttribute& a : info_.MutableDiffAttributes())
      if (a.name == name) a.always = true;
    return *this;
  }
  ClassBuilder& OwnDiff(std::function<bool(const T&)> test = [](const T&) { return true; }) {
    info_.SetOwnDiff([test](const TfrxPersistent& o) { return test(static_cast<const T&>(o)); });
    return *this;
  }
  // The text lines of a text object (see LinesAccess).
  template <class C, class L>
  ClassBuilder& Lines(L C::*field) {
    LinesAccess a;
    a.utf8 = [field](const TfrxPersistent& o) { return (static_cast<const T&>(o).*field).StoredUtf8Text(); };
    a.setUtf8 = [field](TfrxPersistent& o, std::string_view v) { (static_cast<T&>(o).*field).SetUtf8Text(v); };
    a.setSingleByte = [field](TfrxPersistent& o, std::string_view v) {
      (static_cast<T&>(o).*field).SetSingleByteText(v);
    };
    info_.SetLines(std::move(a));
    return *this;
  }

  // Ordinal kinds over a data member of any integral or enum type.
  template <class C, class F>
  ClassBuilder& Int(const char* name, F C::*field, std::int64_t def, const char* type = "Integer") {
    return Ordinal(name, PropKind::Integer, type, nullptr, field, true, def);
  }
  template <class C, class F>
  ClassBuilder& IntNoDefault(const char* name, F C::*field, const char* type = "Integer") {
    return Ordinal(name, PropKind::Integer, type, nullptr, field, false, 0);
  }
  template <class C, class F>
  ClassBuilder& Color(const char* name, F C::*field, std::int64_t def) {
    return Ordinal(name, PropKind::Color, "TColor", nullptr, field, true, def);
  }
  template <class C>
  ClassBuilder& Bool(const char* name, bool C::*field, bool def) {
    return Ordinal(name, PropKind::Boolean, "Boolean", nullptr, field, true, def ? 1 : 0);
  }
  template <class C>
  ClassBuilder& BoolNoDefault(const char* name, bool C::*field) {
    return Ordinal(name, PropKind::Boolean, "Boolean", nullptr, field, false, 0);
  }
  template <class C, class F>
  ClassBuilder& Enum(const char* name, F C::*field, const EnumInfo& e, F def) {
    return Ordinal(name, PropKind::Enum, e.typeName, &e, field, true, static_cast<std::int64_t>(def));
  }
  template <class C, class F>
  ClassBuilder& Set(const char* name, F C::*field, const EnumInfo& e, std::int64_t def) {
    return Ordinal(name, PropKind::Set, e.typeName, &e, field, true, def);
  }
  template <class C, class F>
  ClassBuilder& SetNoDefault(const char* name, F C::*field, const EnumInfo& e) {
    return Ordinal(name, PropKind::Set, e.typeName, &e, field, false, 0);
  }
  // Ordinal through getter and setter (setters with side effects).
  template <class C, class F>
  ClassBuilder& OrdinalAccess(const char* name, PropKind kind, const char* type, const EnumInfo* e,
                              F (C::*get)() const, void (C::*set)(F), bool hasDefault,
                              std::int64_t def) {
    PropInfo p = Base(name, kind, type);
    p.enumInfo = e;
    p.hasDefault = hasDefault;
    p.defaultValue = def;
    p.getOrd = [get](const TfrxPersistent& o) {
      return static_cast<std::int64_t>((static_cast<const T&>(o).*get)());
    };
    if (set != nullptr)
      p.setOrd = [set](TfrxPersistent& o, std::int64_t v) { (static_cast<T&>(o).*set)(static_cast<F>(v)); };
    return Push(std::move(p));
  }

  template <class C>
  ClassBuilder& Float(const char* name, double C::*field, const char* type = "Extended") {
    PropInfo p = Base(name, PropKind::Float, type);
    p.getFloat = [field](const TfrxPersistent& o) { return static_cast<const T&>(o).*field; };
    p.setFloat = [field](TfrxPersistent& o, double v) { static_cast<T&>(o).*field = v; };
    return Push(std::move(p));
  }
  template <class C>
  ClassBuilder& Float(const char* name, double (C::*get)() const, void (C::*set)(double)) {
    PropInfo p = Base(name, PropKind::Float, "Extended");
    p.getFloat = [get](const TfrxPersistent& o) { return (static_cast<const T&>(o).*get)(); };
    if (set != nullptr)
      p.setFloat = [set](TfrxPersistent& o, double v) { (static_cast<T&>(o).*set)(v); };
    return Push(std::move(p));
  }
  template <class C>
  ClassBuilder& DateTime(const char* name, double C::*field) {
    Float(name, field, "TDateTime");
    info_.Remove(name);
    last_.kind = PropKind::DateTime;
    info_.Add(last_);
    return *this;
  }

  template <class C>
  ClassBuilder& String(const char* name, std::string C::*field, PropKind kind = PropKind::String) {
    PropInfo p = Base(name, kind, kind == PropKind::Variant ? "Variant" : "String");
    p.getStr = [field](const TfrxPersistent& o) { return static_cast<const T&>(o).*field; };
    p.setStr = [field](TfrxPersistent& o, const std::string& v) { static_cast<T&>(o).*field = v; };
    return Push(std::move(p));
  }
  template <class C>
  ClassBuilder& String(const char* name, std::string (C::*get)() const, void (C::*set)(const std::string&)) {
    PropInfo p = Base(name, PropKind::String, "String");
    p.getStr = [get](const TfrxPersistent& o) { return (static_cast<const T&>(o).*get)(); };
    if (set != nullptr)
      p.setStr = [set](TfrxPersistent& o, const std::string& v) { (static_cast<T&>(o).*set)(v); };
    return Push(std::move(p));
  }
  template <class C>
  ClassBuilder& Event(const char* name, std::string C::*field) {
    return String(name, field, PropKind::Event);
  }

  template <class C, class L>
  ClassBuilder& List(const char* name, L C::*field) {
    PropInfo p = Base(name, PropKind::StringList, "TStrings");
    p.getList = [field](TfrxPersistent& o) -> TStrings* { return &(static_cast<T&>(o).*field); };
    return Push(std::move(p));
  }
  template <class C, class O>
  ClassBuilder& Object(const char* name, O C::*field, const char* type) {
    PropInfo p = Base(name, PropKind::Object, type);
    p.getObject = [field](TfrxPersistent& o) -> TfrxPersistent* { return &(static_cast<T&>(o).*field); };
    return Push(std::move(p));
  }
  // A nested object held through a pointer-returning accessor.
  template <class C, class O>
  ClassBuilder& ObjectAccess(const char* name, O* (C::*get)(), const char* type) {
    PropInfo p = Base(name, PropKind::Object, type);
    p.getObject = [get](TfrxPersistent& o) -> TfrxPersistent* { return (static_cast<T&>(o).*get)(); };
    return Push(std::move(p));
  }
  template <class C, class R>
  ClassBuilder& Reference(const char* name, R* (C::*get)() const, void (C::*set)(R*), const char* type) {
    PropInfo p = Base(name, PropKind::Reference, type);
    p.getRef = [get](const TfrxPersistent& o) -> TfrxComponent* { return (static_cast<const T&>(o).*get)(); };
    p.setRef = [set](TfrxPersistent& o, TfrxComponent* c) {
      (static_cast<T&>(o).*set)(dynamic_cast<R*>(c));
    };
    return Push(std::move(p));
  }

  // Modifiers of the property added last.
  ClassBuilder& StoredIf(std::function<bool(const T&)> test) {
    info_.Remove(last_.name);
    last_.stored = [test](const TfrxPersistent& o) { return test(static_cast<const T&>(o)); };
    info_.Add(last_);
    return *this;
  }
  ClassBuilder& NotStored() {
    return StoredIf([](const T&) { return false; });
  }
  ClassBuilder& Unpublish(std::initializer_list<const char*> names) {
    for (const char* n : names) info_.Remove(n);
    return *this;
  }
  ClassBuilder& HostEvents(std::initializer_list<const char*> names) {
    for (const char* n : names) info_.AddEvent(n);
    return *this;
  }
  ClassInfo Build() { return std::move(info_); }

 private:
  static PropInfo Base(const char* name, PropKind kind, const char* type) {
    PropInfo p;
    p.name = name;
    p.kind = kind;
    p.typeName = type;
    return p;
  }
  template <class C, class F>
  ClassBuilder& Ordinal(const char* name, PropKind kind, const char* type, const EnumInfo* e, F C::*field,
                        bool hasDefault, std::int64_t def) {
    PropInfo p = Base(name, kind, type);
    p.enumInfo = e;
    p.hasDefault = hasDefault;
    p.defaultValue = def;
    p.getOrd = [field](const TfrxPersistent& o) {
      return static_cast<std::int64_t>(static_cast<const T&>(o).*field);
    };
    p.setOrd = [field](TfrxPersistent& o, std::int64_t v) { static_cast<T&>(o).*field = static_cast<F>(v); };
    return Push(std::move(p));
  }
  ClassBuilder& Push(PropInfo p) {
    last_ = p;
    info_.Add(std::move(p));
    return *this;
  }

  ClassInfo info_;
  PropInfo last_;
};

// ---- Generic access by name, used by the template format and the script bindings.

// "Font.Name" → the font object and its Name property; nothing when a part is
// not a published property or a prefix does not name a nested object.
struct PropTarget {
  TfrxPersistent* object = nullptr;
  const PropInfo* prop = nullptr;
};
PropTarget ResolveProp(TfrxPersistent& object, std::string_view path);

// The value as the template format writes it (enumerations by name, booleans
// True/False, floats with "."); string lists give their text with CR LF.
std::string GetPropText(const TfrxPersistent& object, const PropInfo& prop);
// Sets from the template format's text (already unescaped). Throws the
// conversion message for numbers that do not parse. References cannot be set
// this way (they are resolved by name after loading).
void SetPropText(TfrxPersistent& object, const PropInfo& prop, std::string_view text);

// Number formatting shared by the writers: up to 15 significant digits, "."
// always, whole values without decimals.
std::string FloatToText(double value);
// Accepts "," and "." as decimal separator and ignores blanks; throws
// "'TEXT' is not a valid floating point value".
double TextToFloat(std::string_view text);
// Throws "'TEXT' is not a valid integer value".
std::int64_t TextToInt(std::string_view text);

// The name under which a reference to the object is written: its Name.
std::string ComponentName(const TfrxComponent& component);

}  // namespace zentavo
