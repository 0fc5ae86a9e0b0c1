// XlsxDataExporter: the data behind a report as a workbook to pivot on, one worksheet per table: a bold,
// frozen header row with a filter over it, then one row per record with typed cells (numbers and dates stay
// numbers, booleans stay booleans). Unlike XlsxExporter's page grid it carries no layout at all.
#pragma once

#include <QString>
#include <QVariant>
#include <functional>
#include <vector>

namespace report {

struct DataColumn {
    enum class Kind { Text, Number, Date, DateTime, Boolean };
    QString label; // header text (the field's display label)
    Kind kind = Kind::Text;
    QString
        numberFormat; // spreadsheet number format code for Number columns ("#,##0.00", "0"); empty: General
};

// One table of rows: a dataset the report reads.
class DataTable {
public:
    virtual ~DataTable() = default;
    virtual QString name() const = 0; // becomes the sheet name
    virtual std::vector<DataColumn> columns() const = 0;
    // Calls row once per record, in order; values: QString, double/int/qlonglong, QDate, QDateTime, bool,
    // or an invalid QVariant for a null.
    virtual void forEachRow(const std::function<void(const QVariantList& values)>& row) const = 0;
};

class XlsxDataExporter {
public:
    // One sheet per table, in order. Throws GeneralError with a Spanish message naming the file on failure;
    // the target is replaced only when the whole workbook was written (as XlsxExporter::exportToFile does).
    static void exportToFile(const std::vector<const DataTable*>& tables, const QString& path);
};

} // namespace report
