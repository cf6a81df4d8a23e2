// The report object model in one include: components and views, bands, data
// sources, the report with its pages and options, and the template format.
#pragma once

#include "report/frxBands.h"
#include "report/frxClassRegistry.h"
#include "report/frxComponent.h"
#include "report/frxDataSet.h"
#include "report/frxPaper.h"
#include "report/frxProps.h"
#include "report/frxReport.h"
#include "report/frxRes.h"
#include "report/frxTypes.h"
#include "report/frxViews.h"
#include "report/frxXML.h"
#include "report/frxXMLSerializer.h"
