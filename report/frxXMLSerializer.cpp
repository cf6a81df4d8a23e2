// Template format: writing and reading object trees, attributes and PropData.
#include "report/frxXMLSerializer.h"

#include <stdexcept>

#include "platform/ScopeGuard.h"
#include "platform/Text.h"

#include "report/frxComponent.h"
#include "report/frxDataSet.h"
#include "report/frxReport.h"
#include "report/frxRes.h"
#include "report/frxViews.h"
#include "report/frxXML.h"

namespace zentavo {

namespace {

std::string ToHex(const std::string& bytes) {
  static const char* kDigits = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char b : bytes) {
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out;
}

// Decodes pairs of hex digits up to the first pair that is not one.
std::string FromHex(std::string_view hex) {
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  std::string out;
  out.reserve(hex.size() / 2);
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    int hi = digit(hex[i]), lo = digit(hex[i + 1]);
    if (hi < 0 || lo < 0) break;
    out += static_cast<char>(hi * 16 + lo);
  }
  return out;
}

}  // namespace

// ---------------------------------------------------------------- PropData

void PropDataWriter::WriteName(std::string_view name) {
  name = name.substr(0, 255);
  bytes_ += static_cast<char>(name.size());
  bytes_ += name;
}

void PropDataWriter::WriteInteger(std::int64_t v) {
  auto put = [this](std::int64_t value, int n) {
    for (int i = 0; i < n; ++i) bytes_ += static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  if (v >= -128 && v <= 127) {
    bytes_ += '\x02';
    put(v, 1);
  } else if (v >= -32768 && v <= 32767) {
    bytes_ += '\x03';
    put(v, 2);
  } else {
    bytes_ += '\x04';
    put(v, 4);
  }
}

void PropDataWriter::WriteString(std::string_view s) {
  if (s.size() > 255) {
    WriteLongString(s);
    return;
  }
  bytes_ += '\x06';
  bytes_ += static_cast<char>(s.size());
  bytes_ += s;
}

namespace {
void PutLength(std::string& out, std::size_t n) {
  auto v = static_cast<std::uint32_t>(n);
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}
}  // namespace

void PropDataWriter::WriteLongString(std::string_view s) {
  bytes_ += '\x0C';
  PutLength(bytes_, s.size());
  bytes_ += s;
}

void PropDataWriter::WriteBinary(std::string_view b) {
  bytes_ += '\x0A';
  PutLength(bytes_, b.size());
  bytes_ += b;
}

unsigned char PropDataReader::Byte() {
  if (pos_ >= data_.size()) throw std::runtime_error("PropData ends early");
  return static_cast<unsigned char>(data_[pos_++]);
}

std::string_view PropDataReader::Bytes(std::size_t n) {
  if (n > data_.size() - pos_) throw std::runtime_error("PropData length beyond its end");
  std::string_view v = data_.substr(pos_, n);
  pos_ += n;
  return v;
}

std::uint32_t PropDataReader::UInt32() {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(Byte()) << (8 * i);
  return v;
}

std::string PropDataReader::ReadName() {
  std::size_t n = Byte();
  return std::string(Bytes(n));
}

std::int64_t PropDataReader::ReadInteger() {
  switch (Byte()) {
    case 2: return static_cast<std::int8_t>(Byte());
    case 3: {
      std::uint16_t v = Byte();
      v = static_cast<std::uint16_t>(v | (Byte() << 8));
      return static_cast<std::int16_t>(v);
    }
    case 4: return static_cast<std::int32_t>(UInt32());
    default: throw std::runtime_error("PropData: integer expected");
  }
}

std::string PropDataReader::ReadString() {
  switch (Byte()) {
    case 6: return std::string(Bytes(Byte()));
    case 12: return std::string(Bytes(UInt32()));
    default: throw std::runtime_error("PropData: string expected");
  }
}

std::string PropDataReader::ReadBinary() {
  if (Byte() != 10) throw std::runtime_error("PropData: binary expected");
  return std::string(Bytes(UInt32()));
}

void PropDataReader::ReadListBegin() {
  if (Byte() != 1) throw std::runtime_error("PropData: list expected");
}

void PropDataReader::ReadCollectionBegin() {
  unsigned char b = Byte();
  if (b != 1 && b != 14) throw std::runtime_error("PropData: list expected");
}

bool PropDataReader::AtListEnd() const {
  if (pos_ >= data_.size()) throw std::runtime_error("PropData ends early");
  return data_[pos_] == 0;
}

void PropDataReader::ReadListEnd() {
  if (Byte() != 0) throw std::runtime_error("PropData: list end expected");
}

// ---------------------------------------------------------------- writing

std::string ObjToXML(const TfrxPersistent& object, const std::string& prefix, bool saveDefaultValues) {
  if (auto* verbatim = dynamic_cast<const TfrxVerbatimObject*>(&object)) return verbatim->RawAttributes;
  std::string out;
  auto add = [&](const std::string& name, const std::string& value) { AppendAttribute(out, prefix + name, value); };
  for (const PropInfo& p : object.GetClassInfo().Props()) {
    if (p.stored && !p.stored(object)) continue;
    switch (p.kind) {
      case PropKind::Integer:
      case PropKind::Color:
      case PropKind::Boolean:
      case PropKind::Enum:
      case PropKind::Set:
        if (!saveDefaultValues && p.hasDefault && p.getOrd(object) == p.defaultValue) continue;
        add(p.name, GetPropText(object, p));
        break;
      case PropKind::Float:
      case PropKind::DateTime:
      case PropKind::Variant: add(p.name, StrToXML(GetPropText(object, p))); break;
      case PropKind::String:
      case PropKind::Event: {
        std::string v = p.getStr(object);
        if (v.empty() && !saveDefaultValues) continue;
        add(p.name, StrToXML(v));
        break;
      }
      case PropKind::Reference: {
        TfrxComponent* c = p.getRef(object);
        if (c == nullptr) continue;
        add(p.name, StrToXML(ComponentName(*c)));
        break;
      }
      case PropKind::StringList:
        add(p.name + ".Text", StrToXML(p.getList(const_cast<TfrxPersistent&>(object))->StoredText()));
        break;
      case PropKind::Object: {
        TfrxPersistent* nested = p.getObject(const_cast<TfrxPersistent&>(object));
        if (nested != nullptr) out += ObjToXML(*nested, prefix + p.name + ".", saveDefaultValues);
        break;
      }
    }
  }
  if (const LinesAccess* lines = object.GetClassInfo().Lines()) add("Text", StrToXML(lines->utf8(object)));
  PropDataWriter w;
  object.WriteExtraProperties(w);
  if (!w.Bytes().empty()) add("PropData", ToHex(w.Bytes()));
  return out;
}

void WriteElement(const TfrxComponent& object, TfrxXMLItem& item, bool saveDefaultValues) {
  item.Name = object.ClassName();
  item.Text = "Name=\"" + StrToXML(object.Name()) + "\"" + ObjToXML(object, "", saveDefaultValues);
}

void WriteChildElements(const TfrxComponent& parent, TfrxXMLItem& item, bool saveDefaultValues) {
  for (TfrxComponent* child : parent.Objects()) {
    TfrxXMLItem* sub = item.Add();
    WriteElement(*child, *sub, saveDefaultValues);
    WriteChildElements(*child, *sub, saveDefaultValues);
  }
}

void WriteComponent(TfrxComponent& root, TStream& stream, bool saveChildren, bool saveDefaultValues) {
  TfrxXMLDocument doc;
  doc.AutoIndent = true;
  doc.Root().Name = root.ClassName();
  doc.Root().Text = ObjToXML(root, "", saveDefaultValues);
  if (saveChildren) WriteChildElements(root, doc.Root(), saveDefaultValues);
  doc.SaveToStream(stream);
}

std::string ObjectToText(const TfrxComponent& object) {
  TfrxXMLItem item;
  WriteElement(object, item, false);
  return item.Name + " " + item.Text;
}

// ---------------------------------------------------------------- reading

namespace {

void ApplyAttribute(std::string name, std::string_view rawValue, TfrxPersistent& object, XMLReadContext* ctx) {
  const ClassInfo& info = object.GetClassInfo();
  if (name.size() == 1) {
    // The short names of the class's difference text ("l" for Left, "u" for
    // the lines); "x" carries the lines as single-byte text.
    const LinesAccess* lines = info.Lines();
    if (name == "x") {
      if (lines != nullptr) lines->setSingleByte(object, XMLToStr(rawValue));
      return;
    }
    if (const DiffAttribute* a = info.FindDiffAttribute(name)) {
      if (a->lines) {
        if (lines != nullptr) lines->setUtf8(object, XMLToStr(rawValue));
        return;
      }
      name = LowerAscii(a->path);
    }
  }
  TfrxPersistent* target = &object;
  for (std::size_t dot = name.find('.'); dot != std::string::npos; dot = name.find('.')) {
    const PropInfo* p = target->GetClassInfo().Find(name.substr(0, dot));
    std::string rest = name.substr(dot + 1);
    if (p != nullptr && p->kind == PropKind::StringList && rest == "text") {
      p->getList(*target)->SetText(XMLToStr(rawValue));
      return;
    }
    if (p == nullptr || p->kind != PropKind::Object) return;
    target = p->getObject(*target);
    if (target == nullptr) return;
    name = rest;
  }
  if (name == "text") {
    if (const LinesAccess* lines = target->GetClassInfo().Lines()) {
      lines->setUtf8(*target, XMLToStr(rawValue));
      return;
    }
  }
  if (name == "propdata") {
    std::string bytes = FromHex(rawValue);
    PropDataReader reader(bytes);
    try {
      while (!reader.AtEnd()) {
        std::string record = reader.ReadName();
        if (!target->ReadExtraProperty(record, reader)) break;
      }
    } catch (const TfrxInvalidPicture& e) {
      // The picture kept its bytes; the author learns which object holds them.
      const auto* component = dynamic_cast<const TfrxComponent*>(&object);
      const std::string owner = component == nullptr ? object.GetClassInfo().Name()
                                : component->Name().empty() ? component->ClassName()
                                                          : component->Name();
      throw std::runtime_error(owner + ": " + e.what());
    } catch (const std::exception&) {
      // The first record that cannot be read ends the data quietly.
    }
    return;
  }
  const PropInfo* p = target->GetClassInfo().Find(name);
  if (p == nullptr) return;
  if (p->kind == PropKind::Reference) {
    if (ctx != nullptr) ctx->pending.push_back({target, p, XMLToStr(rawValue)});
    return;
  }
  if (p->kind == PropKind::Object) return;
  SetPropText(*target, *p, XMLToStr(rawValue));
}

}  // namespace

void XMLToObj(std::string_view text, TfrxPersistent& object, XMLReadContext* ctx) {
  while (!text.empty()) {
    std::size_t quote = text.find('"');
    std::string_view before = text.substr(0, quote == std::string_view::npos ? text.size() : quote);
    if (before.empty()) break;
    std::string name = LowerAscii(TrimBlanks(before.substr(0, before.size() - 1)));
    if (name.empty() || quote == std::string_view::npos) break;
    std::size_t close = text.find('"', quote + 1);
    std::string_view value =
        text.substr(quote + 1, close == std::string_view::npos ? std::string_view::npos : close - quote - 1);
    try {
      ApplyAttribute(name, value, object, ctx);
    } catch (const std::exception& e) {
      if (ctx != nullptr) ctx->errors.insert(e.what());
    }
    if (close == std::string_view::npos) break;
    text.remove_prefix(std::min(close + 2, text.size()));
  }
}

namespace {

// Removes the Name attribute (and one separating space) from a verbatim text.
std::string WithoutName(std::string_view attributes) {
  std::string text(attributes);
  std::size_t k = (" " + UpperAscii(text)).find(" NAME=\"");
  if (k != std::string::npos) {
    std::size_t close = text.find('"', k + 6);
    std::size_t end = close == std::string::npos ? text.size() : close + 1;
    if (end < text.size() && text[end] == ' ') ++end;
    text.erase(k, end - k);
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  if (!text.empty() && text[0] != ' ') text.insert(text.begin(), ' ');
  return text;
}

// The one reader of object trees: templates, complete and source pages of
// prepared reports, and prepared pages rebuilt from their descriptions.
class TreeReader {
 public:
  explicit TreeReader(const TreeReadOptions& options) : options_(options) {}
  // A read that failed half way leaves no object marked as loading.
  ~TreeReader() {
    for (TfrxComponent* c : created_) c->IsLoadingFlag = false;
  }
  TreeReader(const TreeReader&) = delete;
  TreeReader& operator=(const TreeReader&) = delete;

  // A new object of the class a description ("TfrxMemoView Name=...") names;
  // none (and the problem recorded) when no such class can stand as an element.
  std::unique_ptr<TfrxComponent> Create(std::string_view description) {
    std::string_view className = description.substr(0, description.find(' '));
    const RegisteredClass* rc = FindRegisteredClass(className);
    if (rc == nullptr || rc->create == nullptr) {
      Problem(frxResources().Get("xrCantFindClass") + " " + std::string(className));
      return nullptr;
    }
    return std::unique_ptr<TfrxComponent>(rc->create(*rc->info));
  }

  // Applies a description's attribute text (a verbatim object keeps it).
  void Apply(std::string_view description, TfrxComponent& object) {
    std::size_t space = description.find(' ');
    if (space == std::string_view::npos) return;
    std::string_view attributes = description.substr(space + 1);
    if (auto* v = dynamic_cast<TfrxVerbatimObject*>(&object)) {
      TfrxXMLItem item;
      item.Text = std::string(attributes);
      try {
        v->SetName(item.Prop("Name"));
      } catch (const std::exception& e) {
        Problem(e.what());
      }
      v->RawAttributes = WithoutName(attributes);
      return;
    }
    XMLToObj(attributes, object, &ctx_);
  }

  void ReadChildren(const TfrxXMLItem& item, TfrxComponent& parent, int depth) {
    if (options_.maxDepth > 0 && depth > options_.maxDepth)
      throw std::runtime_error("Prepared report: objects nested too deeply");
    for (int i = 0; i < item.Count(); ++i) {
      const TfrxXMLItem& sub = *item.Items(i);
      std::string name;
      std::string description = options_.describe ? options_.describe(sub, name) : sub.Name + " " + sub.Text;
      std::unique_ptr<TfrxComponent> obj = Create(description);
      if (obj == nullptr) continue;
      if (!parent.AcceptsChild(*obj)) {
        Problem("Couldn't place " + obj->ClassName() + " in " + parent.ClassName());
        continue;
      }
      obj->IsLoadingFlag = true;
      TfrxComponent* raw = obj.release();
      raw->SetParent(&parent);
      created_.push_back(raw);
      Apply(description, *raw);
      if (!name.empty()) raw->SetName(name);
      ReadChildren(sub, *raw, depth + 1);
    }
  }

  // References are resolved once the whole tree is in place; then every
  // object read is told that loading has finished.
  void Finish(TfrxComponent& root) {
    if (options_.resolveReferences) ResolveReferences(root);
    for (TfrxComponent* c : created_) {
      c->IsLoadingFlag = false;
      if (dynamic_cast<TfrxReport*>(c) == nullptr) c->Loaded();
    }
  }

  std::vector<std::string> Errors() const { return {ctx_.errors.begin(), ctx_.errors.end()}; }
  XMLReadContext& Context() { return ctx_; }

 private:
  // Templates are read leniently: the problem is recorded and the element
  // skipped. Prepared reports come from files of unknown origin and are read
  // all or nothing.
  void Problem(const std::string& message) {
    if (options_.strict) throw std::runtime_error(message);
    ctx_.errors.insert(message);
  }

  void ResolveReferences(TfrxComponent& root) {
    TfrxComponent* scope = root.Report();
    if (scope == nullptr) scope = &root;
    for (const PendingReference& r : ctx_.pending) {
      TfrxComponent* found = nullptr;
      for (TfrxComponent* c : scope->AllObjects())
        if (SameTextAscii(c->Name(), r.name)) {
          found = c;
          break;
        }
      if (found == nullptr) {
        auto* report = dynamic_cast<TfrxReport*>(scope);
        for (TfrxDataSet* ds : RegisteredDataSets())
          if ((ds->OwnerReport() == nullptr || ds->OwnerReport() == report) &&
              (SameTextAscii(ds->Name(), r.name) || SameTextAscii(ds->UserName(), r.name))) {
            found = ds;
            break;
          }
      }
      try {
        r.prop->setRef(*r.target, found);
      } catch (const std::exception& e) {
        ctx_.errors.insert(e.what());
      }
    }
  }

  const TreeReadOptions& options_;
  XMLReadContext ctx_;
  std::vector<TfrxComponent*> created_;
};

}  // namespace

std::vector<std::string> ReadChildElements(const TfrxXMLItem& item, TfrxComponent& parent,
                                           const TreeReadOptions& options) {
  TreeReader reader(options);
  reader.ReadChildren(item, parent, 0);
  reader.Finish(parent);
  return reader.Errors();
}

void ReadElement(const TfrxXMLItem& item, TfrxComponent& object) {
  TreeReadOptions options;
  TreeReader reader(options);
  ScopedValue loading(object.IsLoadingFlag, true);
  reader.Apply(item.Name + " " + item.Text, object);
}

std::vector<std::string> ReadComponent(TfrxComponent& root, TStream& stream) {
  TfrxXMLDocument doc;
  doc.LoadFromStream(stream);
  const TfrxXMLItem& top = doc.Root();
  if (FindRegisteredClass(top.Name) == nullptr) return {frxResources().Get("xrCantFindClass") + " " + top.Name};
  TreeReadOptions options;
  TreeReader reader(options);
  ScopedValue loading(root.IsLoadingFlag, true);
  // The root's attributes go to the object itself whatever class the element
  // names.
  reader.Apply(top.Name + " " + top.Text, root);
  reader.ReadChildren(top, root, 0);
  reader.Finish(root);
  return reader.Errors();
}

TfrxComponent* ObjectFromText(std::string_view text) {
  TreeReadOptions options;
  options.resolveReferences = false;
  TreeReader reader(options);
  std::unique_ptr<TfrxComponent> obj = reader.Create(text);
  if (obj == nullptr) return nullptr;
  {
    ScopedValue loading(obj->IsLoadingFlag, true);
    reader.Apply(text, *obj);
  }
  return obj.release();
}

}  // namespace zentavo
