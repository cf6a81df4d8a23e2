// The store of prepared pages as the report model, printing and the tools see
// it. Its one implementation lives in engine/ (TfrxPreviewPages) and is
// installed into the model at start-up (report/frxServices.h).
#pragma once

#include <string>
#include <utility>

#include "platform/Streams.h"

namespace zentavo {

class Canvas;
class TfrxCustomOutline;
class TfrxReport;
class TfrxReportPage;

class TfrxCustomPreviewPages {
 public:
  virtual ~TfrxCustomPreviewPages() = default;

  virtual int PageCount() const = 0;
  virtual TfrxCustomOutline& ScriptOutline() = 0;
  // The page rebuilt as objects; owned by the store (valid until the next
  // call that touches its cache). None when there are no pages.
  virtual TfrxReportPage* BuildPage(int index) = 0;
  // Paper size in whole pixels; (0, 0) outside the pages.
  virtual std::pair<int, int> PageSize(int index) = 0;
  virtual void Clear() = 0;
  virtual void PaintPage(int index, Canvas& canvas, double scaleX, double scaleY, double offsetX,
                         double offsetY) = 0;
  // Drops the rebuilt pages; printing keeps at most one page as objects.
  virtual void ClearCache() = 0;

  virtual void InsertBlankPage(int index) = 0;
  virtual void DeletePage(int index) = 0;
  virtual void ReplacePage(int index, TfrxReportPage& page) = 0;
  virtual void AppendReportPages(TfrxReport& other) = 0;

  virtual void SaveToStream(TStream& stream) = 0;
  virtual void SaveToFile(const std::string& fileName) = 0;
  // Prepared reports from outside are untrusted: a damaged one fails with a
  // message, never a crash.
  virtual void LoadFromStream(TStream& stream) = 0;
  virtual bool LoadFromFile(const std::string& fileName, bool exceptionIfNotFound = false) = 0;
};

}  // namespace zentavo
