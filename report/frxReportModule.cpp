// The report module: what report scripts see of the report model.
#include "report/frxReportModule.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <mutex>
#include <stdexcept>
#include <string>

#include "platform/Cp1254.h"
#include "platform/OutputFile.h"
#include "platform/Streams.h"
#include "report/frxClass.h"
#include "report/frxCustomEngine.h"
#include "report/frxReportScript.h"
#include "report/frxScriptBinding.h"
#include "script/fs_iclasses.h"
#include "script/fs_ierror.h"
#include "script/fs_iformat.h"
#include "script/fs_iinterpreter.h"
#include "script/fs_imessages.h"

namespace zentavo {

namespace {

// ---- the callbacks' view of their arguments

template <class Self, class F>
TfsMemberCallback BoundMember(F body) {
  return [body](const Variant& instance, const HostClassInfo*, const std::string&, TfsMethodCall& call) -> Variant {
    return body(InstanceOf<Self>(call.Objects(), instance), call);
  };
}

template <class Self, class G>
TfsPropertyGetter ReadProperty(G body) {
  return [body](const Variant& instance, const HostClassInfo*, const std::string&, ObjectTable& objects) -> Variant {
    return body(InstanceOf<Self>(objects, instance), objects);
  };
}

template <class Self, class S>
TfsPropertySetter WriteProperty(S body) {
  return [body](const Variant& instance, const HostClassInfo*, const Variant& value, const std::string&,
                ObjectTable& objects) { body(InstanceOf<Self>(objects, instance), value, objects); };
}

std::string TextArg(const TfsMethodCall& call, int i) { return VarToStr(call.Param(i)); }
// Script texts are Windows-1254; file names on this machine are UTF-8.
std::string FileNameArg(const TfsMethodCall& call, int i) { return cp1254::ToUtf8(TextArg(call, i)); }

TStream& StreamArg(const TfsMethodCall& call, int i) {
  return *static_cast<TStream*>(ObjectOf(call.Objects(), call.Param(i), kScriptStreamClass));
}

Variant NoResult() { return Variant::Int(0); }

// Adding, moving or removing objects while the engine walks them would pull
// the tree out from under it.
void CheckTreeMayChange(TfrxComponent& c) {
  TfrxReport* report = c.Report();
  if (report != nullptr && report->Engine().Busy())
    throw ScriptError("The objects of a report cannot be added, moved or removed while it is being prepared");
}

TfrxCustomEngine& RunningEngine(TfrxCustomEngine& e) {
  if (!e.Busy()) throw ScriptError("The engine is not running: bands and pages are made while the report is prepared");
  return e;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ScriptError("Cannot open file \"" + cp1254::FromUtf8(path) + "\"");
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A text file as lines: UTF-8 (with or without its mark) when it decodes as
// such, otherwise Windows-1254.
std::u16string FileText(const std::string& bytes) {
  std::string_view b(bytes);
  if (b.substr(0, 3) == "\xEF\xBB\xBF") return Utf8ToUtf16(b.substr(3));
  std::string_view rest = b;
  bool utf8 = true;
  while (!rest.empty() && utf8) {
    auto c = cp1254::DecodeUtf8(rest);
    if (!c) utf8 = false;
    else rest.remove_prefix(c->length);
  }
  return utf8 ? Utf8ToUtf16(b) : Utf8ToUtf16(cp1254::ToUtf8(b));
}

void WriteWholeFile(const std::string& path, std::string_view bytes) {
  OutputFile out = OutputFile::Replace(path);
  out.Write(bytes);
  out.Commit();
}

// ---- text lists: the memo's lines (TWideStrings) and the report's single-byte lists (TStrings)

struct WideLines {
  static TWideStrings& Of(const ObjectTable& o, const Variant& v) {
    return *static_cast<TWideStrings*>(ObjectOf(o, v, kScriptWideStringsClass));
  }
  static int Count(TWideStrings& l) { return l.Count(); }
  static std::string At(TWideStrings& l, int i) { return cp1254::FromUtf8(Utf16ToUtf8(l.Lines.at(i))); }
  static void Set(TWideStrings& l, int i, const std::string& s) { l.Lines.at(i) = Utf8ToUtf16(cp1254::ToUtf8(s)); }
  static void Insert(TWideStrings& l, int i, const std::string& s) {
    l.Lines.insert(l.Lines.begin() + i, Utf8ToUtf16(cp1254::ToUtf8(s)));
  }
  static void Erase(TWideStrings& l, int i) { l.Lines.erase(l.Lines.begin() + i); }
  static void Clear(TWideStrings& l) { l.Clear(); }
  static std::string GetText(TWideStrings& l) { return l.SingleByteText() + (l.Count() > 0 ? "\r\n" : ""); }
  static void SetText(TWideStrings& l, const std::string& s) { l.SetSingleByteText(s); }
  static void Load(TWideStrings& l, const std::string& bytes) { l.SetText(FileText(bytes)); }
  static std::string Save(TWideStrings& l) {
    std::string out;
    for (const std::u16string& line : l.Lines) out += Utf16ToUtf8(line) + "\r\n";
    return out;
  }
};

struct ByteLines {
  static TStrings& Of(const ObjectTable& o, const Variant& v) {
    return *static_cast<TStrings*>(ObjectOf(o, v, kScriptStringsClass));
  }
  static int Count(TStrings& l) { return l.Count(); }
  static std::string At(TStrings& l, int i) { return l.Lines.at(i); }
  static void Set(TStrings& l, int i, const std::string& s) { l.Lines.at(i) = s; }
  static void Insert(TStrings& l, int i, const std::string& s) { l.Lines.insert(l.Lines.begin() + i, s); }
  static void Erase(TStrings& l, int i) { l.Lines.erase(l.Lines.begin() + i); }
  static void Clear(TStrings& l) { l.Clear(); }
  static std::string GetText(TStrings& l) { return l.Text() + (l.Count() > 0 ? "\r\n" : ""); }
  static void SetText(TStrings& l, const std::string& s) { l.SetText(s); }
  static void Load(TStrings& l, const std::string& bytes) {
    l.SetText(cp1254::FromUtf8(Utf16ToUtf8(FileText(bytes))));
  }
  static std::string Save(TStrings& l) {
    std::string out;
    for (const std::string& line : l.Lines) out += cp1254::ToUtf8(line) + "\r\n";
    return out;
  }
};

// Index i of a list, or "List index out of bounds (i)".
template <class L, class List>
int CheckedIndex(List& l, const Variant& index, bool insert = false) {
  std::int64_t i = index.ToInt64();
  if (i < 0 || i > L::Count(l) || (!insert && i == L::Count(l)))
    throw ScriptError("List index out of bounds (" + std::to_string(i) + ")");
  return static_cast<int>(i);
}

template <class L>
void AddListMembers(TfsClassVariable* c) {
  auto self = [](TfsMethodCall& call, const Variant& instance) -> auto& { return L::Of(call.Objects(), instance); };
  using Call = TfsMethodCall;
  auto method = [c, self](const char* decl, auto body) {
    c->AddMethod(decl, [self, body](const Variant& instance, const HostClassInfo*, const std::string&, Call& call) {
      return body(self(call, instance), call);
    });
  };
  method("function Add(const S: string): Integer", [](auto& l, Call& call) {
    L::Insert(l, L::Count(l), TextArg(call, 0));
    return Variant::Int(L::Count(l) - 1);
  });
  // The lists of the report keep no objects beside their lines.
  method("function AddObject(const S: string; AObject: TObject): Integer", [](auto& l, Call& call) {
    L::Insert(l, L::Count(l), TextArg(call, 0));
    return Variant::Int(L::Count(l) - 1);
  });
  method("procedure Clear", [](auto& l, Call&) {
    L::Clear(l);
    return NoResult();
  });
  method("procedure Delete(Index: Integer)", [](auto& l, Call& call) {
    L::Erase(l, CheckedIndex<L>(l, call.Param(0)));
    return NoResult();
  });
  method("function IndexOf(const S: string): Integer", [](auto& l, Call& call) {
    std::string s = TextArg(call, 0);
    for (int i = 0; i < L::Count(l); ++i)
      if (cp1254::SameText(L::At(l, i), s)) return Variant::Int(i);
    return Variant::Int(-1);
  });
  method("procedure Insert(Index: Integer; const S: string)", [](auto& l, Call& call) {
    L::Insert(l, CheckedIndex<L>(l, call.Param(0), true), TextArg(call, 1));
    return NoResult();
  });
  method("procedure LoadFromFile(const FileName: string)", [](auto& l, Call& call) {
    L::Load(l, ReadWholeFile(FileNameArg(call, 0)));
    return NoResult();
  });
  method("procedure LoadFromStream(Stream: TStream)", [](auto& l, Call& call) {
    TStream& s = StreamArg(call, 0);
    std::string bytes(s.Size() - s.Position(), '\0');
    bytes.resize(s.Read(bytes.data(), bytes.size()));
    L::Load(l, bytes);
    return NoResult();
  });
  method("procedure SaveToFile(const FileName: string)", [](auto& l, Call& call) {
    WriteWholeFile(FileNameArg(call, 0), L::Save(l));
    return NoResult();
  });
  method("procedure SaveToStream(Stream: TStream)", [](auto& l, Call& call) {
    StreamArg(call, 0).WriteString(L::Save(l));
    return NoResult();
  });
  c->AddProperty("Count", "Integer", [](const Variant& instance, const HostClassInfo*, const std::string&,
                                        ObjectTable& objects) { return Variant::Int(L::Count(L::Of(objects, instance))); });
  c->AddProperty(
      "Text", "String",
      [](const Variant& instance, const HostClassInfo*, const std::string&, ObjectTable& objects) {
        return Variant::String(L::GetText(L::Of(objects, instance)));
      },
      [](const Variant& instance, const HostClassInfo*, const Variant& value, const std::string&,
         ObjectTable& objects) { L::SetText(L::Of(objects, instance), VarToStr(value)); });
  c->AddIndexProperty(
      "Objects", "Integer", "TObject",
      [self](const Variant& instance, const HostClassInfo*, const std::string& name, Call& call) {
        CheckedIndex<L>(self(call, instance), call.Param(0));
        (void)name;
        return Variant::Int(0);
      },
      false);
  c->AddDefaultProperty(
      "Strings", "Integer", "string",
      [self](const Variant& instance, const HostClassInfo*, const std::string& name, Call& call) {
        auto& l = self(call, instance);
        int i = CheckedIndex<L>(l, call.Param(0));
        if (name == "STRINGS.SET") {
          L::Set(l, i, VarToStr(call.Param(1)));
          return Variant::Null();
        }
        return Variant::String(L::At(l, i));
      },
      false);
}

// ---- the module's tables

void AddConstants(TfsLibraryTarget& t) {
  struct Const {
    const char* name;
    double value;
  };
  for (const Const& c : {Const{"fr01cm", 3.77953}, Const{"fr1cm", 37.7953}, Const{"fr01in", 9.6},
                         Const{"fr1in", 96}, Const{"fr1CharX", 9.6}, Const{"fr1CharY", 17}})
    t.AddConst(c.name, "Extended", Variant::Double(c.value));
  t.AddConst("clTransparent", "Integer", Variant::Int(0x1FFFFFFF));
  t.AddConst("crHand", "Integer", Variant::Int(150));
  t.AddConst("crZoom", "Integer", Variant::Int(151));
  t.AddConst("crFormat", "Integer", Variant::Int(152));
}

void AddEnumerations(TfsLibraryTarget& t) {
  t.AddEnum("TfrxStretchMode", "smDontStretch, smActualHeight, smMaxHeight");
  t.AddEnum("TfrxShiftMode", "smDontShift, smAlways, smWhenOverlapped");
  t.AddEnum("TfrxDuplexMode", "dmNone, dmVertical, dmHorizontal, dmSimplex");
  t.AddEnum("TfrxAlign", "baNone, baLeft, baRight, baCenter, baWidth, baBottom");
  t.AddEnum("TfrxFrameStyle", "fsSolid, fsDash, fsDot, fsDashDot, fsDashDotDot, fsDouble");
  t.AddEnum("TfrxHAlign", "haLeft, haRight, haCenter, haBlock");
  t.AddEnum("TfrxVAlign", "vaTop, vaBottom, vaCenter");
  t.AddEnum("TfrxShapeKind", "skRectangle, skRoundRectangle, skEllipse, skTriangle, skDiagonal1, skDiagonal2");
  t.AddEnum("TfrxZoomMode", "zmDefault, zmWholePage, zmPageWidth, zmManyPages");
  t.AddEnum("TfrxPrintPages", "ppAll, ppOdd, ppEven");
  t.AddEnum("TfrxRangeBegin", "rbFirst, rbCurrent");
  t.AddEnum("TfrxRangeEnd", "reLast, reCurrent, reCount");
  t.AddEnum("TfrxFieldType", "fftNumeric, fftString, fftBoolean");
  t.AddEnum("TfrxFormatKind", "fkText, fkNumeric, fkDateTime, fkBoolean");
  t.AddEnumSet("TfrxFrameTypes", "ftLeft, ftRight, ftTop, ftBottom");
  t.AddEnumSet("TfrxRestrictions", "rfDontModify, rfDontSize, rfDontMove, rfDontDelete");
  t.AddEnumSet("TfrxPreviewButtons",
               "pbPrint, pbLoad, pbSave, pbExport, pbZoom, pbFind, pbTree, pbPageSetup, pbRefresh, pbTools, pbEdit, "
               "pbNavigator, pbExportQuick");
  t.AddEnumSet("TfrxDMPFontStyles",
               "fsxBold, fsxItalic, fsxUnderline, fsxSuperScript, fsxSubScript, fsxCondensed, fsxWide, fsx12cpi, "
               "fsx15cpi");
}

// A class the model has no class of its own for: known by name only.
TfsClassVariable* AddNamedClass(TfsLibraryTarget& t, const HostClassInfo& cls, const char* ancestor) {
  return t.AddClass(&cls, ancestor);
}

const HostClassInfo& ClassWithoutModel(const char* name) {
  // Classes of the table that stand for no class of the model; they live as
  // long as the program, like the model's own.
  static std::mutex lock;
  static std::map<std::string, std::unique_ptr<HostClassInfo>> classes;
  std::lock_guard guard(lock);
  auto& slot = classes[name];
  if (!slot) slot = std::make_unique<HostClassInfo>(HostClassInfo{name, nullptr});
  return *slot;
}

void AddComponentMembers(TfsClassVariable* c) {
  using C = TfrxComponent;
  c->AddMethod("procedure Clear", BoundMember<C>([](C& self, TfsMethodCall&) {
                 CheckTreeMayChange(self);
                 self.Clear();
                 return NoResult();
               }));
  c->AddMethod("function FindObject(s: String): TfrxComponent", BoundMember<C>([](C& self, TfsMethodCall& call) {
                 return ObjectValue(call.Objects(), self.FindObject(TextArg(call, 0)));
               }));
  c->AddMethod("procedure LoadFromStream(Stream: TStream)", BoundMember<C>([](C& self, TfsMethodCall& call) {
                 CheckTreeMayChange(self);
                 self.LoadFromStream(StreamArg(call, 0));
                 return NoResult();
               }));
  c->AddMethod("procedure SaveToStream(Stream: TStream; SaveChildren: Boolean = True)",
               BoundMember<C>([](C& self, TfsMethodCall& call) {
                 self.SaveToStream(StreamArg(call, 0), call.Param(1).ToBool());
                 return NoResult();
               }));
  c->AddMethod("procedure SetBounds(ALeft, ATop, AWidth, AHeight: Extended)",
               BoundMember<C>([](C& self, TfsMethodCall& call) {
                 self.SetBounds(call.Param(0).ToDouble(), call.Param(1).ToDouble(), call.Param(2).ToDouble(),
                                call.Param(3).ToDouble());
                 return NoResult();
               }));
  // Lists of objects are the classes module's TList, which this library does not have yet.
  auto noList = ReadProperty<C>([](C&, ObjectTable&) { return Variant::Int(0); });
  c->AddProperty("Objects", "TList", noList);
  c->AddProperty("AllObjects", "TList", noList);
  c->AddProperty(
      "Parent", "TfrxComponent", ReadProperty<C>([](C& self, ObjectTable& o) { return ObjectValue(o, self.Parent()); }),
      WriteProperty<C>([](C& self, const Variant& value, ObjectTable& o) {
        CheckTreeMayChange(self);
        self.SetParent(ComponentOrNull(o, value));
      }));
  c->AddProperty("Page", "TfrxPage",
                 ReadProperty<C>([](C& self, ObjectTable& o) { return ObjectValue(o, static_cast<TfrxComponent*>(self.Page())); }));
  c->AddProperty("AbsLeft", "Extended", ReadProperty<C>([](C& self, ObjectTable&) { return Variant::Double(self.AbsLeft()); }));
  c->AddProperty("AbsTop", "Extended", ReadProperty<C>([](C& self, ObjectTable&) { return Variant::Double(self.AbsTop()); }));
}

void AddMemoMembers(TfsClassVariable* c) {
  using M = TfrxCustomMemoView;
  c->AddMethod("function CalcWidth: Extended",
               BoundMember<M>([](M& self, TfsMethodCall&) { return Variant::Double(self.CalcWidth()); }));
  c->AddProperty(
      "Text", "String", ReadProperty<M>([](M& self, ObjectTable&) { return Variant::String(cp1254::FromUtf8(self.Text())); }),
      WriteProperty<M>([](M& self, const Variant& value, ObjectTable&) { self.SetText(cp1254::ToUtf8(VarToStr(value))); }));
  c->AddProperty("Lines", kScriptWideStringsClass.name, ReadProperty<M>([](M& self, ObjectTable& o) {
                   return ListValue(o, &self.Memo, self.LifeToken());
                 }));
  c->AddProperty("Value", "Variant", ReadProperty<M>([](M& self, ObjectTable&) { return self.Value; }));
}

void AddDataSetMembers(TfsClassVariable* c) {
  using D = TfrxDataSet;
  auto action = [c](const char* decl, void (D::*op)()) {
    c->AddMethod(decl, BoundMember<D>([op](D& self, TfsMethodCall&) {
                   (self.*op)();
                   return NoResult();
                 }));
  };
  action("procedure Open", &D::Open);
  action("procedure Close", &D::Close);
  action("procedure First", &D::First);
  action("procedure Next", &D::Next);
  action("procedure Prior", &D::Prior);
  c->AddMethod("function Eof: Boolean", BoundMember<D>([](D& self, TfsMethodCall&) { return Variant::Boolean(self.Eof()); }));
  c->AddMethod("function FieldsCount: Integer",
               BoundMember<D>([](D& self, TfsMethodCall&) { return Variant::Int(self.FieldsCount()); }));
  c->AddMethod("function HasField(const fName: String): Boolean", BoundMember<D>([](D& self, TfsMethodCall& call) {
                 return Variant::Boolean(self.HasField(TextArg(call, 0)));
               }));
  c->AddMethod("function IsBlobField(const fName: String): Boolean", BoundMember<D>([](D& self, TfsMethodCall& call) {
                 return Variant::Boolean(self.IsBlobField(TextArg(call, 0)));
               }));
  c->AddMethod("function RecordCount: Integer",
               BoundMember<D>([](D& self, TfsMethodCall&) { return Variant::Int(self.RecordCount()); }));
  c->AddMethod("procedure GetFieldList(List: TStrings)", BoundMember<D>([](D& self, TfsMethodCall& call) {
                 self.GetFieldList(ByteLines::Of(call.Objects(), call.Param(0)));
                 return NoResult();
               }));
  c->AddProperty("RecNo", "Integer", ReadProperty<D>([](D& self, ObjectTable&) { return Variant::Int(self.RecNo); }));
  auto indexed = [c](const char* name, const char* type, auto read) {
    c->AddIndexProperty(name, "String", type,
                        BoundMember<D>([read](D& self, TfsMethodCall& call) { return read(self, TextArg(call, 0)); }), true);
  };
  indexed("DisplayText", "String",
          [](D& self, const std::string& f) { return Variant::String(self.DisplayText(f)); });
  indexed("DisplayWidth", "Integer", [](D& self, const std::string& f) { return Variant::Int(self.DisplayWidth(f)); });
  indexed("FieldType", "TfrxFieldType",
          [](D& self, const std::string& f) { return Variant::Int(static_cast<int>(self.FieldType(f))); });
  indexed("Value", "Variant", [](D& self, const std::string& f) { return FieldValueToVariant(self.Value(f)); });
}

void AddReportMembers(TfsClassVariable* c) {
  using R = TfrxReport;
  c->AddMethod("function Calc(const Expr: String): Variant",
               BoundMember<R>([](R& self, TfsMethodCall& call) { return self.Calc(TextArg(call, 0)); }));
  c->AddMethod("function GetDataset(const Alias: String): TfrxDataset", BoundMember<R>([](R& self, TfsMethodCall& call) {
                 return ObjectValue(call.Objects(), self.GetDataset(TextArg(call, 0)));
               }));
  c->AddMethod("function LoadFromFile(const FileName: String): Boolean", BoundMember<R>([](R& self, TfsMethodCall& call) {
                 CheckTreeMayChange(self);
                 return Variant::Boolean(self.LoadFromFile(FileNameArg(call, 0)));
               }));
  c->AddMethod("procedure SaveToFile(const FileName: String)", BoundMember<R>([](R& self, TfsMethodCall& call) {
                 self.SaveToFile(FileNameArg(call, 0));
                 return NoResult();
               }));
  // There is no preview window yet; a report that asks for one while it is
  // being prepared would only prepare itself again.
  c->AddMethod("procedure ShowReport", BoundMember<R>([](R& self, TfsMethodCall&) {
                 if (self.Engine().Busy()) throw ScriptError("ShowReport cannot run while the report is being prepared");
                 return NoResult();
               }));
  c->AddProperty("Terminated", "Boolean",
                 ReadProperty<R>([](R& self, ObjectTable&) { return Variant::Boolean(self.Terminated.load()); }),
                 WriteProperty<R>([](R& self, const Variant& value, ObjectTable&) {
                   bool stop = VarEquals(value, Variant::Boolean(true));
                   self.Terminated = stop;
                   if (stop) self.Script().Terminate();
                 }));
  c->AddProperty("Variables", "TfrxVariables", ReadProperty<R>([](R& self, ObjectTable& o) {
                   return Variant::Object(o.Register(&self.Variables, &ClassWithoutModel("TfrxVariables"), self.LifeToken()));
                 }));
}

void AddVariablesMembers(TfsClassVariable* c) {
  c->AddDefaultProperty(
      "Variables", "String", "Variant",
      [](const Variant& instance, const HostClassInfo*, const std::string& name, TfsMethodCall& call) -> Variant {
        auto& list = *static_cast<std::vector<TfrxVariable>*>(
            ObjectOf(call.Objects(), instance, ClassWithoutModel("TfrxVariables")));
        std::string key = TextArg(call, 0);
        TfrxVariable* found = nullptr;
        for (TfrxVariable& v : list)
          if (cp1254::SameText(v.Name, key)) found = &v;
        if (name == "VARIABLES.SET") {
          if (found == nullptr) {
            list.push_back(TfrxVariable{});
            found = &list.back();
            found->Name = key;
          }
          found->Value = call.Param(1);
          return Variant::Null();
        }
        return found != nullptr ? found->Value : Variant::Null();
      },
      false);
}

void AddEngineMembers(TfsClassVariable* c) {
  using E = TfrxCustomEngine;
  c->AddMethod("procedure AddAnchor(const Text: String)", BoundMember<E>([](E& self, TfsMethodCall& call) {
                 RunningEngine(self).AddAnchor(TextArg(call, 0));
                 return NoResult();
               }));
  c->AddMethod("procedure NewPage", BoundMember<E>([](E& self, TfsMethodCall&) {
                 RunningEngine(self).NewPage();
                 return NoResult();
               }));
  c->AddMethod("procedure NewColumn", BoundMember<E>([](E& self, TfsMethodCall&) {
                 RunningEngine(self).NewColumn();
                 return NoResult();
               }));
  c->AddMethod("procedure ShowBand(Band: TfrxBand)", BoundMember<E>([](E& self, TfsMethodCall& call) {
                 TfrxBand* band =
                     IsNilValue(call.Param(0)) ? nullptr : &InstanceOf<TfrxBand>(call.Objects(), call.Param(0));
                 RunningEngine(self).ShowBand(band);
                 return NoResult();
               }));
  c->AddMethod("procedure StopReport", [](const Variant& instance, const HostClassInfo*, const std::string&,
                                          TfsMethodCall& call) {
    InstanceOf<E>(call.Objects(), instance).StopReport();
    if (auto* script = dynamic_cast<TfsScript*>(&call.Context())) script->Terminate();
    return NoResult();
  });
  c->AddMethod("function FreeSpace: Extended",
               BoundMember<E>([](E& self, TfsMethodCall&) { return Variant::Double(self.FreeSpace()); }));
  c->AddMethod("function GetAnchorPage(const Text: String): Integer", BoundMember<E>([](E& self, TfsMethodCall& call) {
                 return Variant::Int(self.GetAnchorPage(TextArg(call, 0)));
               }));
}

void AddOutlineMembers(TfsClassVariable* c) {
  using O = TfrxCustomOutline;
  c->AddMethod("procedure AddItem(const Text: String)", BoundMember<O>([](O& self, TfsMethodCall& call) {
                 self.AddItem(TextArg(call, 0));
                 return NoResult();
               }));
  c->AddMethod("procedure LevelRoot", BoundMember<O>([](O& self, TfsMethodCall&) {
                 self.LevelRoot();
                 return NoResult();
               }));
  c->AddMethod("procedure LevelUp", BoundMember<O>([](O& self, TfsMethodCall&) {
                 self.LevelUp();
                 return NoResult();
               }));
}

void AddFunctions(TfsLibraryTarget& t) {
  auto datePart = [](int which) {
    return [which](const Variant&, const HostClassInfo*, const std::string&, TfsMethodCall& call) {
      int y = 0, m = 0, d = 0;
      DecodeDate(call.Param(0).ToDouble(), y, m, d);
      return Variant::Int(which == 0 ? d : which == 1 ? m : y);
    };
  };
  t.AddMethod("function DayOf(Date: TDateTime): Integer", datePart(0), "ctDate", "");
  t.AddMethod("function MonthOf(Date: TDateTime): Integer", datePart(1), "ctDate", "");
  t.AddMethod("function YearOf(Date: TDateTime): Integer", datePart(2), "ctDate", "");
  // Descriptions only: the report's preparation adds the working versions.
  TfsMemberCallback zero = [](const Variant&, const HostClassInfo*, const std::string&, TfsMethodCall&) {
    return Variant::Int(0);
  };
  t.AddMethod("function IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant", zero, "ctOther", "");
  for (const char* name : {"SUM", "AVG", "MIN", "MAX"})
    t.AddMethod(std::string("function ") + name + "(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
                zero, "ctAggregate", "");
  t.AddMethod("function COUNT(Band: Variant = 0; Flags: Integer = 0): Variant", zero, "ctAggregate", "");
}

// The model's class of a table entry, or null for classes it does not have.
const ClassInfo* ModelClass(std::string_view name) {
  if (const RegisteredClass* rc = FindRegisteredClass(name)) return rc->info;
  // Classes no template names as an element.
  const ClassInfo* const bases[] = {
      &TfrxComponent::StaticClassInfo(),     &TfrxReportComponent::StaticClassInfo(),
      &TfrxView::StaticClassInfo(),          &TfrxStretcheable::StaticClassInfo(),
      &TfrxBand::StaticClassInfo(),          &TfrxDataBand::StaticClassInfo(),
      &TfrxPage::StaticClassInfo(),          &TfrxDataSet::StaticClassInfo(),
      &TfrxUserDataSet::StaticClassInfo(),   &TfrxCustomDBDataSet::StaticClassInfo(),
      &TfrxFormat::StaticClassInfo(),        &TfrxVariable::StaticClassInfo(),
      &TfrxEngineOptions::StaticClassInfo(), &TfrxPrintOptions::StaticClassInfo(),
      &TfrxPreviewOptions::StaticClassInfo(), &TfrxReportOptions::StaticClassInfo(),
      &TfrxCustomEngine::StaticClassInfo(),  &TfrxCustomOutline::StaticClassInfo(),
  };
  for (const ClassInfo* info : bases)
    if (info->Name() == name) return info;
  return nullptr;
}

void AddClassTable(TfsLibraryTarget& t) {
  struct Entry {
    const char* name;
    const char* ancestor;
    void (*members)(TfsClassVariable*);
  };
  auto none = [](TfsClassVariable*) {};
  const Entry table[] = {
      {"TWideStrings", "TPersistent", [](TfsClassVariable* c) { AddListMembers<WideLines>(c); }},
      {"TfrxDataSet", "TComponent", AddDataSetMembers},
      {"TfrxUserDataSet", "TfrxDataSet", none},
      {"TfrxCustomDBDataSet", "TfrxDataSet", none},
      {"TfrxComponent", "TComponent", AddComponentMembers},
      {"TfrxReportComponent", "TfrxComponent", none},
      {"TfrxDialogComponent", "TfrxReportComponent", none},
      // Dialog controls have no window on this platform: SetFocus has nothing to focus.
      {"TfrxDialogControl", "TfrxReportComponent",
       [](TfsClassVariable* c) { c->AddMethod("procedure SetFocus", nullptr); }},
      {"TfrxFrame", "TPersistent", none},
      {"TfrxHighlight", "TPersistent", none},
      {"TfrxFormat", "TPersistent", none},
      {"TfrxView", "TfrxReportComponent", none},
      {"TfrxShapeView", "TfrxView", none},
      {"TfrxDMPCommand", "TfrxView", none},
      {"TfrxSubreport", "TfrxView", none},
      {"TfrxStretcheable", "TfrxView",
       [](TfsClassVariable* c) {
         c->AddMethod("function CalcHeight: Extended", BoundMember<TfrxStretcheable>([](TfrxStretcheable& self, TfsMethodCall&) {
                        return Variant::Double(self.CalcHeight());
                      }));
       }},
      {"TfrxCustomMemoView", "TfrxStretcheable", AddMemoMembers},
      {"TfrxMemoView", "TfrxCustomMemoView", none},
      {"TfrxSysMemoView", "TfrxCustomMemoView", none},
      {"TfrxDMPMemoView", "TfrxCustomMemoView", none},
      {"TfrxCustomLineView", "TfrxStretcheable", none},
      {"TfrxLineView", "TfrxCustomLineView", none},
      {"TfrxDMPLineView", "TfrxCustomLineView", none},
      {"TfrxPictureView", "TfrxView",
       [](TfsClassVariable* c) {
         c->AddMethod("procedure LoadFromFile(filename: String)",
                      BoundMember<TfrxPictureView>([](TfrxPictureView& self, TfsMethodCall& call) {
                        std::string path = FileNameArg(call, 0);
                        TMemoryStream bytes;
                        bytes.WriteString(ReadWholeFile(path));
                        bytes.Seek(0);
                        if (self.LoadPictureFromStream(bytes) != 0)
                          throw ScriptError(self.Name() + ": Invalid picture data: " + cp1254::FromUtf8(path));
                        self.PictureChanged = true;
                        return NoResult();
                      }));
       }},
      // Bands are not split across pages yet: none ever overflows.
      {"TfrxBand", "TfrxReportComponent",
       [](TfsClassVariable* c) {
         c->AddProperty("Overflow", "Boolean", ReadProperty<TfrxBand>([](TfrxBand&, ObjectTable&) { return Variant::Boolean(false); }));
       }},
      {"TfrxDataBand", "TfrxBand", none},
      {"TfrxHeader", "TfrxBand", none},
      {"TfrxFooter", "TfrxBand", none},
      {"TfrxPageHeader", "TfrxBand", none},
      {"TfrxPageFooter", "TfrxBand", none},
      {"TfrxColumnHeader", "TfrxBand", none},
      {"TfrxColumnFooter", "TfrxBand", none},
      {"TfrxGroupHeader", "TfrxBand", none},
      {"TfrxGroupFooter", "TfrxBand", none},
      {"TfrxReportTitle", "TfrxBand", none},
      {"TfrxReportSummary", "TfrxBand", none},
      {"TfrxChild", "TfrxBand", none},
      {"TfrxOverlay", "TfrxBand", none},
      {"TfrxMasterData", "TfrxDataBand", none},
      {"TfrxDetailData", "TfrxDataBand", none},
      {"TfrxSubdetailData", "TfrxDataBand", none},
      {"TfrxDataBand4", "TfrxDataBand", none},
      {"TfrxDataBand5", "TfrxDataBand", none},
      {"TfrxDataBand6", "TfrxDataBand", none},
      {"TfrxPage", "TfrxComponent", none},
      {"TfrxReportPage", "TfrxPage", none},
      {"TfrxDMPPage", "TfrxReportPage", none},
      // Dialog pages are not shown on this platform: nothing is chosen.
      {"TfrxDialogPage", "TfrxPage",
       [](TfsClassVariable* c) {
         c->AddMethod("function ShowModal: Integer", nullptr);
         c->AddProperty("ModalResult", "Integer",
                        [](const Variant&, const HostClassInfo*, const std::string&, ObjectTable&) { return Variant::Int(0); });
       }},
      {"TfrxEngineOptions", "TPersistent", none},
      {"TfrxPrintOptions", "TPersistent", none},
      {"TfrxPreviewOptions", "TPersistent", none},
      {"TfrxReportOptions", "TPersistent", none},
      {"TfrxVariable", "TCollectionItem", none},
      {"TfrxVariables", "TCollection", AddVariablesMembers},
      {"TfrxReport", "TfrxComponent", AddReportMembers},
      {"TfrxCustomEngine", "TPersistent", AddEngineMembers},
      {"TfrxEngine", "TfrxCustomEngine", none},
      {"TfrxCustomOutline", "TPersistent", AddOutlineMembers},
      {"TfrxOutline", "TfrxCustomOutline", none},
  };
  for (const Entry& e : table) {
    const ClassInfo* info = ModelClass(e.name);
    TfsClassVariable* c = info != nullptr ? AddReportClass(t, *info, e.ancestor)
                                          : AddNamedClass(t, ClassWithoutModel(e.name), e.ancestor);
    if (c != nullptr) e.members(c);
  }
}

// Every other class of the model (nested objects such as TFont among them)
// with its published properties, so that no property of a report object
// leads to a class the script does not know. A module earlier in the list
// that registers one of them keeps its own; the classes other layers add
// come with those layers' modules.
void AddRemainingClasses(TfsLibraryTarget& t) {
  std::vector<const ClassInfo*> classes;
  for (const RegisteredClass& rc : ModelClasses()) classes.push_back(rc.info);
  classes.push_back(&TfrxFont::StaticClassInfo());
  classes.push_back(&TfrxPicture::StaticClassInfo());
  for (const ClassInfo* info : classes) {
    const char* ancestor = info->Parent() != nullptr ? info->Parent()->Name().c_str() : "TPersistent";
    AddReportClass(t, *info, ancestor);
  }
  // The single-byte lists of the report (ScriptText, ColumnPositions ...).
  if (TfsClassVariable* c = t.AddClass(&kScriptStringsClass, "TPersistent")) AddListMembers<ByteLines>(c);
}

}  // namespace

void RegisterReportModule(TfsLibraryTarget& target) {
  AddConstants(target);
  AddEnumerations(target);
  AddClassTable(target);
  AddFunctions(target);
  AddRemainingClasses(target);
}

void InstallReportModule() {
  static std::once_flag once;
  std::call_once(once, [] {
    // Scripts of reports speak with the report engine's texts.
    UseReportMessageTexts();
    AddLibraryModule({"report", 5, RegisterReportModule});
  });
}

}  // namespace zentavo
