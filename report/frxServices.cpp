// The services the layers above install.
#include "report/frxServices.h"

namespace zentavo {

TfrxReportServices& ReportServices() {
  static TfrxReportServices services;
  return services;
}

std::unique_ptr<TfrxRenderContext> NewRenderContext() {
  if (ReportServices().createRenderContext != nullptr) return ReportServices().createRenderContext();
  return std::make_unique<TfrxRenderContext>();
}

}  // namespace zentavo
