// What the engine and the outline publish to scripts.
#include "report/frxCustomEngine.h"

namespace zentavo {

const ClassInfo& TfrxCustomEngine::StaticClassInfo() {
  using E = TfrxCustomEngine;
  static const ClassInfo info =
      ClassBuilder<E>("TfrxCustomEngine", nullptr)
          .Float("CurX", &E::CurX)
          .Float("CurY", &E::CurY)
          .Int("CurColumn", &E::CurColumn, 1)
          .Int("CurVColumn", &E::CurVColumn, 0)
          .Float("PageHeight", &E::PageHeight)
          .Float("PageWidth", &E::PageWidth)
          .Bool("FinalPass", &E::FinalPass, true)
          .OrdinalAccess("DoublePass", PropKind::Boolean, "Boolean", nullptr, &E::DoublePass,
                         static_cast<void (E::*)(bool)>(nullptr), false, 0)
          .Int("TotalPages", &E::TotalPages, 0)
          .Float("StartDate", &E::StartDate, "TDateTime")
          .Float("StartTime", &E::StartTime, "TDateTime")
          .Build();
  return info;
}

const ClassInfo& TfrxCustomOutline::StaticClassInfo() {
  static const ClassInfo info = ClassBuilder<TfrxCustomOutline>("TfrxCustomOutline", nullptr).Build();
  return info;
}

}  // namespace zentavo
