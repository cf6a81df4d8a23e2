// The band tree of a page, built from the bands' order of position.
#include "engine/frxBandLinks.h"

#include <algorithm>
#include <cmath>

#include "report/frxClass.h"
#include "report/frxRes.h"

namespace zentavo {

namespace {

template <class T>
bool Is(const TfrxComponent* c) {
  return dynamic_cast<const T*>(c) != nullptr;
}

double Position(const TfrxBand& b) { return std::round((b.Vertical ? b.Left() : b.Top()) * 100); }

std::string Error(const char* key, const TfrxBand& band) { return frxResources().Get(key) + " " + band.Name(); }

// Moves the bands whose number is one more than `current`'s, found from
// `pos` on, into its details, each collecting its own in turn; a band whose
// number is not larger ends them, larger ones are passed over.
void CollectDetails(TfrxDataBand& current, std::vector<TfrxBand*>& list, std::size_t pos) {
  const int number = current.BandNumber();
  while (pos < list.size()) {
    TfrxBand* b = list[pos];
    const int n = b->BandNumber();
    if (n == number + 1) {
      auto* data = static_cast<TfrxDataBand*>(b);
      if (BandDataSet(*data) != nullptr) current.Details.push_back(data);
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(pos));
      if (!Is<TfrxDataBand6>(data)) CollectDetails(*data, list, pos);
    } else if (n <= number) {
      return;
    } else {
      ++pos;
    }
  }
}

}  // namespace

TfrxDataSet* BandDataSet(TfrxDataBand& band) {
  if (TfrxDataSet* ds = band.DataSet()) return ds;
  return band.RowCount() > 0 ? &band.VirtualDataSet() : nullptr;
}

std::vector<TfrxDataBand*> LinkBands(TfrxReportPage& page, bool vertical, std::vector<std::string>& errors) {
  std::vector<TfrxBand*> list;
  for (TfrxComponent* c : page.Objects()) {
    auto* band = dynamic_cast<TfrxBand*>(c);
    if (band == nullptr || band->Vertical != vertical) continue;
    band->Details.clear();
    band->LinkedHeader = band->LinkedFooter = band->LinkedGroup = nullptr;
    const int n = band->BandNumber();
    if (n >= 4 && n <= 13) list.push_back(band);
  }
  // In order of position; of two bands at the same place only the first
  // in object order takes part.
  std::stable_sort(list.begin(), list.end(), [](TfrxBand* a, TfrxBand* b) { return Position(*a) < Position(*b); });
  list.erase(std::unique(list.begin(), list.end(), [](TfrxBand* a, TfrxBand* b) { return Position(*a) == Position(*b); }),
             list.end());
  auto remove = [&list](TfrxBand* b) { list.erase(std::find(list.begin(), list.end(), b)); };

  // Groups: a run of group headers is one chain, outermost first; the next
  // data band below is grouped by it.
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (!Is<TfrxGroupHeader>(list[i])) continue;
    TfrxBand* head = list[i];
    std::size_t j = i;
    while (j < list.size() && Is<TfrxGroupHeader>(list[j])) head->Details.push_back(list[j++]);
    auto data = std::find_if(list.begin() + static_cast<std::ptrdiff_t>(j), list.end(),
                             [](TfrxBand* b) { return Is<TfrxDataBand>(b); });
    if (data != list.end())
      (*data)->LinkedGroup = head;
    else
      errors.push_back(Error("enUnconnGroup", *head));
    i = j - 1;
  }
  std::vector<TfrxBand*> paired;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (!Is<TfrxGroupFooter>(list[i])) continue;
    for (std::size_t k = i; k-- > 0;)
      if (Is<TfrxGroupHeader>(list[k]) && list[k]->LinkedFooter == nullptr) {
        list[k]->LinkedFooter = list[i];
        paired.push_back(list[i]);
        break;
      }
  }
  for (TfrxBand* f : paired) remove(f);
  list.erase(std::remove_if(list.begin(), list.end(), [](TfrxBand* b) { return Is<TfrxGroupHeader>(b); }), list.end());
  for (TfrxBand* b : std::vector<TfrxBand*>(list))
    if (Is<TfrxGroupFooter>(b)) {
      errors.push_back(Error("enUnconnGFooter", *b));
      remove(b);
    }

  // Headers and footers next to their data band.
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (!Is<TfrxDataBand>(list[i])) continue;
    TfrxBand* data = list[i];
    if (i + 1 < list.size() && Is<TfrxFooter>(list[i + 1])) {
      data->LinkedFooter = list[i + 1];
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(i) + 1);
    }
    if (i > 0 && Is<TfrxHeader>(list[i - 1])) {
      data->LinkedHeader = list[i - 1];
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(i) - 1);
      --i;
    }
  }
  for (TfrxBand* b : std::vector<TfrxBand*>(list))
    if (Is<TfrxHeader>(b) || Is<TfrxFooter>(b)) {
      errors.push_back(Error("enUnconnHeader", *b));
      remove(b);
    }

  // Masters and their details.
  std::vector<TfrxDataBand*> topLevel;
  for (std::size_t i = 0; i < list.size();) {
    auto* master = dynamic_cast<TfrxMasterData*>(list[i]);
    if (master == nullptr) {
      ++i;
      continue;
    }
    if (BandDataSet(*master) != nullptr) topLevel.push_back(master);
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
    CollectDetails(*master, list, i);
  }
  for (TfrxBand* b : list) errors.push_back(Error("enBandPos", *b));
  return topLevel;
}

}  // namespace zentavo
