// The aggregate functions of a run (SUM, AVG, MIN, MAX, COUNT): the calls
// found in footers, summaries and page footers before the run, the values
// the data bands add row by row, and the resets after the band that shows
// them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "script/fs_ivariant.h"

namespace zentavo {

class TfrxBand;
class TfrxReport;
class TfrxReportPage;

enum class TfrxAggregateKind { Sum, Avg, Min, Max, Count };

struct TfrxAggregateItem {
  TfrxAggregateKind kind = TfrxAggregateKind::Sum;
  std::string expression;     // none for COUNT
  TfrxBand* band = nullptr;   // the data band whose rows count
  int flags = 0;              // bit 0: rows of invisible bands too; bit 1: a running total
  TfrxBand* shownIn = nullptr;  // the band of the memo that shows it
  std::string memo;
  bool inPageFooter = false;
  Variant value = Variant::Null();
  int count = 0;
  // The values before the last row was added, to take that row back.
  Variant lastValue = Variant::Null();
  int lastCount = 0;
  bool lastAside = false;
  // Rows added while a keep is open, for a page footer: they belong to the
  // page the kept rows end up on.
  Variant keptValue = Variant::Null();
  int keptCount = 0;
};

class TfrxAggregateList {
 public:
  void Clear() {
    items_.clear();
    keeping_ = false;
  }
  // Finds the calls in the memos of the page's footers, group footers and
  // their child bands, and of its page footer, column footer and summary.
  void Collect(TfrxReport& report, TfrxReportPage& page, const std::vector<TfrxBand*>& topLevel);
  // A row of `band` was printed.
  void AddValues(TfrxReport& report, TfrxBand& band);
  // `band`, which shows totals, was printed: they start again (running
  // totals go on).
  void Reset(const TfrxBand& band);
  // Between two passes, running totals too.
  void ClearValues();
  // Takes back the last row `band` added.
  void TakeBack(const TfrxBand& band);
  // While a keep is open, page-footer totals collect aside; closing the
  // keep adds them to the totals of the page the kept rows stand on.
  void BeginKeep() { keeping_ = true; }
  void EndKeep();
  // The value a call evaluated in `current` gives: a total without rows is
  // 0; a call that no item matches is null.
  Variant Value(const TfrxBand* current, TfrxAggregateKind kind, std::string_view expression,
                std::string_view bandName, int flags) const;
  const std::vector<TfrxAggregateItem>& Items() const { return items_; }

 private:
  void ScanText(TfrxReport& report, const std::string& text, TfrxBand* defaultBand, TfrxBand* shownIn,
                const std::string& memo, int depth);
  std::vector<TfrxAggregateItem> items_;
  bool keeping_ = false;
};

// The aggregate function a name calls ("SUM" .. "COUNT", any case), or false.
bool AggregateKindOf(std::string_view name, TfrxAggregateKind& kind);

}  // namespace zentavo
