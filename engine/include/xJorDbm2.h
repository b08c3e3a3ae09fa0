// The table engine xJorDbm2: every export, one header per layer.
#ifndef XJORDBM2_H_
#define XJORDBM2_H_

#include "xjor/table.h"     // error word, files, scratch family, record tables
#include "xjor/numfmt.h"    // number and string formatting
#include "xjor/calendar.h"  // packed dates, calendars, date text
#include "xjor/index.h"     // key descriptors, index tables, memory tables
#include "xjor/option.h"    // option files, reference file, memo store
#include "xjor/text.h"      // CP949 text: character cuts, case, search, UTF-8
#include "xjor/field.h"     // field descriptors, values as text
#include "xjor/query.h"     // expression and query language, record sets

#endif  // XJORDBM2_H_
