// Data sources: the base TfrxDataSet, the callback-driven TfrxUserDataSet, the
// base of database-backed sources, and the program-wide registry in which a
// source is found by its user name.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "report/frxComponent.h"
#include "report/frxDataSetLink.h"
#include "script/fs_ivariant.h"

namespace zentavo {

enum class TfrxRangeBegin { rbFirst, rbCurrent };
enum class TfrxRangeEnd { reLast, reCurrent, reCount };
enum class TfrxFieldType { fftNumeric, fftString, fftBoolean };
extern const EnumInfo kRangeBeginInfo, kRangeEndInfo, kFieldTypeInfo;

// A date and time as scripts hold it: days since 30 December 1899, the time
// of day as the fraction.
struct TfrxDateTime {
  double days = 0;
  bool operator==(const TfrxDateTime&) const = default;
};

// A field value as a data source hands it over (null when monostate).
using TfrxFieldValue = std::variant<std::monostate, std::int64_t, double, bool, std::string, TfrxDateTime>;
std::string FieldValueToText(const TfrxFieldValue& v);
Variant FieldValueToVariant(const TfrxFieldValue& v);

class TfrxDataSet : public TfrxReportComponent {
 public:
  // A data source belongs to a report (or to none, the whole program); it is
  // not part of the report's object tree. Registered while it lives.
  explicit TfrxDataSet(TfrxReport* ownerReport = nullptr);
  ~TfrxDataSet() override;
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

  TfrxReport* OwnerReport() const { return ownerReport_.Get(); }
  std::string UserName() const { return userName_.empty() ? Name() : userName_; }
  // Fails with "prInvProp" when the name is empty after trimming.
  virtual void SetUserName(const std::string& name);
  bool Enabled = true;
  TfrxRangeBegin RangeBegin = TfrxRangeBegin::rbFirst;
  TfrxRangeEnd RangeEnd = TfrxRangeEnd::reLast;
  int RangeEndCount = 0;
  int RecNo = 0;
  TfrxReport* ReportRef = nullptr;  // the report that is preparing

  std::function<void(TfrxDataSet&)> OnFirst, OnNext, OnPrior, OnOpen, OnClose;
  std::function<void(TfrxDataSet&, bool& eof)> OnCheckEOF;

  virtual std::string DisplayText(const std::string& field);
  virtual int DisplayWidth(const std::string& field);
  virtual TfrxFieldType FieldType(const std::string& field);
  virtual TfrxFieldValue Value(const std::string& field);
  virtual void Initialize() {}
  virtual void Finalize() {}
  virtual void Open();
  virtual void Close();
  virtual void First();
  virtual void Next();
  virtual void Prior();
  virtual bool Eof();
  virtual int FieldsCount();
  virtual bool IsBlobField(const std::string& field);
  virtual int RecordCount();
  virtual void AssignBlobTo(const std::string& field, TfrxComponent& target);
  virtual void GetFieldList(TStrings& list);
  bool HasField(const std::string& name);

 private:
  TfrxObjectRef<TfrxReport> ownerReport_;
  std::string userName_;
};

class TfrxUserDataSet : public TfrxDataSet {
 public:
  using TfrxDataSet::TfrxDataSet;
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
  TStrings Fields;
  std::function<void(const std::string& field, TfrxFieldValue& value)> OnGetValue;

  std::string DisplayText(const std::string& field) override;
  TfrxFieldValue Value(const std::string& field) override;
  int FieldsCount() override { return Fields.Count(); }
  void GetFieldList(TStrings& list) override { list = Fields; }
};

class TfrxCustomDBDataSet : public TfrxDataSet {
 public:
  using TfrxDataSet::TfrxDataSet;
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
  TStrings FieldAliases;
  bool OpenDataSource = true;
  bool CloseDataSource = false;
  int FieldsCount() override;
};

// ---- registry (guarded by one lock)
std::vector<TfrxDataSet*> RegisteredDataSets();
// The data source `name` for an object: an empty name gives none; an object of
// no report keeps `current`; otherwise the first registered source with that
// user name (ASCII case ignored) not owned by another report, else `current`.
TfrxDataSet* FindDataSetFor(const TfrxComponent* object, TfrxDataSet* current, const std::string& name);

}  // namespace zentavo
