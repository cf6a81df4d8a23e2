// A data binding of a report object (a view, a page, a data band, the report
// itself, an entry of the report's data-set list): the data set, found by its
// user name among the registered ones, or only the name while none has it.
#pragma once

#include <string>

#include "report/frxObjectRef.h"

namespace zentavo {

class TfrxComponent;
class TfrxDataSet;

class TfrxDataSetLink {
 public:
  // None when unset, never found, or destroyed meanwhile.
  TfrxDataSet* Get() const { return set_.Get(); }
  void Set(TfrxDataSet* dataSet);
  // The data set's user name, or the name that found none.
  std::string Name() const;
  // Looks the name up for `owner`: an empty name unbinds; an object of no
  // report keeps its data set; otherwise the first registered data set of
  // that user name that no other report owns, else the one it had.
  void SetName(const TfrxComponent* owner, const std::string& name);
  // Sets the name and the data set found for it, without looking further.
  void Bind(const std::string& name, TfrxDataSet* found);

 private:
  TfrxObjectRef<TfrxDataSet> set_;
  std::string name_;
};

}  // namespace zentavo
