// ReportTables: the data behind a prepared report as tables for a data-only workbook: one per dataset its
// layout walks (data blocks, charts, cross-tabs), in the order the layout first names them, read from the
// module's datasets as they stand after the run. Numbers keep their type and a format (amounts with two
// decimals), dates stay dates, pictures are left out.
#pragma once

#include "XlsxDataExporter.h"

#include <memory>
#include <vector>

namespace report {
struct ReportDocument;
}
class TfrxDBDataset;

class ReportTables {
public:
    ReportTables(const report::ReportDocument& document, const std::vector<std::unique_ptr<TfrxDBDataset>>& bindings);
    ~ReportTables();
    std::vector<const report::DataTable*> tables() const;

private:
    std::vector<std::unique_ptr<report::DataTable>> m_tables;
};
