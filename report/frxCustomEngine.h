// The preparation engine as the report model and scripts see it: its
// published state and operations. The engine itself lives in engine/ and is
// installed into the model at start-up (report/frxServices.h).
#pragma once

#include <string>

namespace zentavo {

class TfrxBand;

class TfrxCustomEngine {
 public:
  virtual ~TfrxCustomEngine() = default;

  // ---- published state
  double CurX = 0, CurY = 0;
  int CurColumn = 1, CurVColumn = 0;
  double PageHeight = 0, PageWidth = 0;
  bool FinalPass = true;
  int TotalPages = 0;
  double StartDate = 0, StartTime = 0;
  virtual bool DoublePass() const = 0;
  virtual bool Busy() const = 0;

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
};

}  // namespace zentavo
