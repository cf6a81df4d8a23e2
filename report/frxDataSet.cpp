// Data sources and their registry.
#include "report/frxDataSet.h"
#include "platform/Cp1254.h"

#include <algorithm>
#include <mutex>
#include <stdexcept>

#include "report/frxReport.h"
#include "report/frxRes.h"
#include "script/fs_iformat.h"

namespace zentavo {

constinit const EnumInfo kRangeBeginInfo{"TfrxRangeBegin", {"rbFirst", "rbCurrent"}};
constinit const EnumInfo kRangeEndInfo{"TfrxRangeEnd", {"reLast", "reCurrent", "reCount"}};
constinit const EnumInfo kFieldTypeInfo{"TfrxFieldType", {"fftNumeric", "fftString", "fftBoolean"}};

namespace {
std::mutex& RegistryLock() {
  static std::mutex m;
  return m;
}
std::vector<TfrxDataSet*>& Registry() {
  static std::vector<TfrxDataSet*> list;
  return list;
}
}  // namespace

std::string FieldValueToText(const TfrxFieldValue& v) {
  struct Visitor {
    std::string operator()(std::monostate) const { return {}; }
    std::string operator()(std::int64_t i) const { return std::to_string(i); }
    std::string operator()(double d) const { return FloatToText(d); }
    std::string operator()(bool b) const { return b ? "True" : "False"; }
    std::string operator()(const std::string& s) const { return s; }
    std::string operator()(TfrxDateTime d) const { return DateTimeToStr(d.days, CurrentFormatSettings()); }
  };
  return std::visit(Visitor{}, v);
}

Variant FieldValueToVariant(const TfrxFieldValue& v) {
  if (auto* i = std::get_if<std::int64_t>(&v)) return Variant::Integer(*i);
  if (auto* d = std::get_if<double>(&v)) return Variant::Double(*d);
  if (auto* b = std::get_if<bool>(&v)) return Variant::Boolean(*b);
  if (auto* s = std::get_if<std::string>(&v)) return Variant::String(*s);
  if (auto* d = std::get_if<TfrxDateTime>(&v)) return Variant::Date(d->days);
  return Variant::Null();
}

TfrxDataSet::TfrxDataSet(TfrxReport* ownerReport) : TfrxReportComponent(nullptr), ownerReport_(ownerReport) {
  std::lock_guard<std::mutex> lock(RegistryLock());
  Registry().push_back(this);
}

TfrxDataSet::~TfrxDataSet() {
  std::lock_guard<std::mutex> lock(RegistryLock());
  auto& r = Registry();
  r.erase(std::remove(r.begin(), r.end(), this), r.end());
}

const ClassInfo& TfrxDataSet::StaticClassInfo() {
  using D = TfrxDataSet;
  static const ClassInfo info = ClassBuilder<D>("TfrxDataSet", &TfrxReportComponent::StaticClassInfo())
                                    .String("UserName", &D::UserName, &D::SetUserName)
                                    .Bool("Enabled", &D::Enabled, true)
                                    .Enum("RangeBegin", &D::RangeBegin, kRangeBeginInfo, TfrxRangeBegin::rbFirst)
                                    .Enum("RangeEnd", &D::RangeEnd, kRangeEndInfo, TfrxRangeEnd::reLast)
                                    .Int("RangeEndCount", &D::RangeEndCount, 0)
                                    .HostEvents({"OnCheckEOF", "OnFirst", "OnNext", "OnPrior"})
                                    .Build();
  return info;
}

void TfrxDataSet::SetUserName(const std::string& name) {
  if (TrimBlanks(name).empty()) throw std::runtime_error(frxResources().Get("prInvProp"));
  userName_ = name;
}

std::string TfrxDataSet::DisplayText(const std::string&) { return {}; }
int TfrxDataSet::DisplayWidth(const std::string&) { return 10; }
TfrxFieldType TfrxDataSet::FieldType(const std::string&) { return TfrxFieldType::fftNumeric; }
TfrxFieldValue TfrxDataSet::Value(const std::string&) { return {}; }
void TfrxDataSet::Open() {
  if (OnOpen) OnOpen(*this);
}
void TfrxDataSet::Close() {
  if (OnClose) OnClose(*this);
}
void TfrxDataSet::First() {
  RecNo = 0;
  if (OnFirst) OnFirst(*this);
}
void TfrxDataSet::Next() {
  ++RecNo;
  if (RangeEnd == TfrxRangeEnd::reCount && RecNo >= RangeEndCount) return;
  if (OnNext) OnNext(*this);
}
void TfrxDataSet::Prior() {
  --RecNo;
  if (OnPrior) OnPrior(*this);
}
bool TfrxDataSet::Eof() {
  bool eof = RangeEnd == TfrxRangeEnd::reCount && RecNo >= RangeEndCount;
  if (OnCheckEOF) OnCheckEOF(*this, eof);
  return eof;
}
int TfrxDataSet::FieldsCount() { return 0; }
bool TfrxDataSet::IsBlobField(const std::string&) { return false; }
int TfrxDataSet::RecordCount() {
  if (RangeBegin == TfrxRangeBegin::rbFirst && RangeEnd == TfrxRangeEnd::reCount) return RangeEndCount;
  return 0;
}
void TfrxDataSet::AssignBlobTo(const std::string&, TfrxComponent&) {}
void TfrxDataSet::GetFieldList(TStrings& list) { list.Clear(); }

bool TfrxDataSet::HasField(const std::string& name) {
  TStrings list;
  GetFieldList(list);
  for (const auto& f : list.Lines)
    if (SameTextAscii(f, name)) return true;
  return false;
}

const ClassInfo& TfrxUserDataSet::StaticClassInfo() {
  using D = TfrxUserDataSet;
  static const ClassInfo info = ClassBuilder<D>("TfrxUserDataSet", &TfrxDataSet::StaticClassInfo())
                                    .List("Fields", &D::Fields)
                                    .HostEvents({"OnGetValue"})
                                    .Build();
  return info;
}

std::string TfrxUserDataSet::DisplayText(const std::string& field) { return FieldValueToText(Value(field)); }

TfrxFieldValue TfrxUserDataSet::Value(const std::string& field) {
  TfrxFieldValue v;
  if (OnGetValue) OnGetValue(field, v);
  return v;
}

const ClassInfo& TfrxCustomDBDataSet::StaticClassInfo() {
  using D = TfrxCustomDBDataSet;
  static const ClassInfo info = ClassBuilder<D>("TfrxCustomDBDataSet", &TfrxDataSet::StaticClassInfo())
                                    .Bool("CloseDataSource", &D::CloseDataSource, false)
                                    .List("FieldAliases", &D::FieldAliases)
                                    .Bool("OpenDataSource", &D::OpenDataSource, true)
                                    .HostEvents({"OnClose", "OnOpen"})
                                    .Build();
  return info;
}

int TfrxCustomDBDataSet::FieldsCount() {
  TStrings list;
  GetFieldList(list);
  return list.Count();
}

std::vector<TfrxDataSet*> RegisteredDataSets() {
  std::lock_guard<std::mutex> lock(RegistryLock());
  return Registry();
}

void TfrxDataSetLink::Set(TfrxDataSet* dataSet) {
  set_.Reset(dataSet);
  name_ = dataSet != nullptr ? dataSet->UserName() : std::string();
}

std::string TfrxDataSetLink::Name() const {
  if (TfrxDataSet* ds = Get()) return ds->UserName();
  return name_;
}

void TfrxDataSetLink::SetName(const TfrxComponent* owner, const std::string& name) {
  Bind(name, FindDataSetFor(owner, Get(), name));
}

void TfrxDataSetLink::Bind(const std::string& name, TfrxDataSet* found) {
  name_ = name;
  set_.Reset(found);
}

TfrxDataSet* FindDataSetFor(const TfrxComponent* object, TfrxDataSet* current, const std::string& name) {
  if (name.empty()) return nullptr;
  const TfrxReport* report = object != nullptr ? object->Report() : nullptr;
  if (report == nullptr) return current;
  std::lock_guard<std::mutex> lock(RegistryLock());
  for (TfrxDataSet* ds : Registry()) {
    if (ds->OwnerReport() != nullptr && ds->OwnerReport() != report) continue;
    if (SameTextAscii(ds->UserName(), name)) return ds;
  }
  return current;
}

}  // namespace zentavo
