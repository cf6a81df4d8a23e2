// The preparation engine as the report model and scripts see it: its
// published state and operations. The engine itself lives in engine/ and is
// installed into the model at start-up (report/frxServices.h).
#pragma once

#include <string>

#include "report/frxProps.h"
#include "script/fs_ivariant.h"

namespace zentavo {

class TfrxBand;

class TfrxCustomEngine : public TfrxPersistent {
 public:
  ~TfrxCustomEngine() override = default;
  // Publishes the state below to scripts (the object "Engine").
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

  // ---- published state
  double CurX = 0, CurY = 0;
  int CurColumn = 1, CurVColumn = 0;
  double PageHeight = 0, PageWidth = 0;
  bool FinalPass = true;
  int TotalPages = 0;
  double StartDate = 0, StartTime = 0;
  virtual bool DoublePass() const = 0;
  virtual bool Busy() const = 0;

  // ---- what the system variables of expressions read
  // The prepared page being filled, and the first page of this run.
  virtual int CurPageIndex() = 0;
  virtual int RunFirstPageIndex() = 0;
  // The row of the band being printed, in its group and through all groups.
  virtual int Line() const = 0;
  virtual int LineThrough() const = 0;

  // ---- operations
  // One preparation run; true when it completed.
  virtual bool Execute() = 0;
  virtual void ShowBand(TfrxBand* band) = 0;
  virtual void NewPage() = 0;
  virtual void NewColumn() = 0;
  virtual double FreeSpace() = 0;
  virtual void StopReport() = 0;
  virtual void AddAnchor(const std::string& text) = 0;
  virtual int GetAnchorPage(const std::string& text) = 0;
  // The value of an aggregate call (SUM, AVG, MIN, MAX, COUNT) made while
  // the current band is shown: its expression, band name and flags as the
  // call gives them.
  virtual Variant AggregateValue(const std::string& function, const std::string& expression,
                                 const std::string& band, int flags) = 0;
};

// The outline of the prepared pages as scripts see it (the object "Outline").
class TfrxCustomOutline : public TfrxPersistent {
 public:
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
  // An entry at the current level, at the engine's current position; the
  // level goes down into it.
  virtual void AddItem(const std::string& text) = 0;
  virtual void LevelRoot() = 0;
  virtual void LevelUp() = 0;
};

}  // namespace zentavo
