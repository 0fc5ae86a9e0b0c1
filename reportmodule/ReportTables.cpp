#include "ReportTables.h"

#include "ReportDocument.h"
#include "TDataSet.h"
#include "TField.h"
#include "TfrxDBDataset.h"

#include <QPointer>
#include <QStringList>

namespace {

using report::DataColumn;

class DataSetTable : public report::DataTable {
public:
    DataSetTable(QString name, TDataSet* dataSet) : m_name(std::move(name)), m_dataSet(dataSet) {
        for (int i = 0; i < dataSet->FieldCount(); ++i) {
            const TField& f = dataSet->Field(i);
            if (f.DataType() != TFieldType::ftBlob && f.DataType() != TFieldType::ftUnknown)
                m_fields << i;
        }
    }

    QString name() const override { return m_name; }

    std::vector<DataColumn> columns() const override {
        std::vector<DataColumn> columns;
        for (int i : m_fields) {
            const TField& f = m_dataSet->Field(i);
            DataColumn c;
            c.label = f.DisplayLabel();
            switch (f.DataType()) {
            case TFieldType::ftSmallint:
            case TFieldType::ftInteger:
            case TFieldType::ftLargeint:
                c.kind = DataColumn::Kind::Number;
                c.numberFormat = QStringLiteral("0");
                break;
            case TFieldType::ftFloat:
                c.kind = DataColumn::Kind::Number;
                c.numberFormat = QStringLiteral("#,##0.00");
                break;
            case TFieldType::ftDateTime:
                c.kind = hasTimeOfDay(i) ? DataColumn::Kind::DateTime : DataColumn::Kind::Date;
                break;
            case TFieldType::ftBoolean:
                c.kind = DataColumn::Kind::Boolean;
                break;
            default:
                c.kind = DataColumn::Kind::Text;
            }
            columns.push_back(c);
        }
        return columns;
    }

    void forEachRow(const std::function<void(const QVariantList&)>& row) const override {
        if (!m_dataSet || !m_dataSet->Active())
            return;
        QVariantList values;
        for (m_dataSet->First(); !m_dataSet->Eof(); m_dataSet->Next()) {
            values.clear();
            for (int i : m_fields)
                values << value(m_dataSet->Field(i));
            row(values);
        }
    }

private:
    static QVariant value(const TField& f) {
        if (f.IsNull())
            return {};
        switch (f.DataType()) {
        case TFieldType::ftSmallint:
        case TFieldType::ftInteger:
            return f.AsInteger();
        case TFieldType::ftLargeint:
            return qlonglong(f.AsLargeInt());
        case TFieldType::ftFloat:
            return f.AsFloat();
        case TFieldType::ftDateTime: {
            const QDateTime when = f.AsDateTime().toDateTime();
            return when.time() == QTime(0, 0) ? QVariant(when.date()) : QVariant(when);
        }
        case TFieldType::ftBoolean:
            return f.AsBoolean();
        default:
            // Fixed-width text comes padded with blanks, which would spoil filters and pivots.
            return f.AsString().trimmed();
        }
    }

    // Payroll dates are whole days; a time column only when a value has a time of day.
    bool hasTimeOfDay(int field) const {
        if (!m_dataSet->Active())
            return false;
        for (m_dataSet->First(); !m_dataSet->Eof(); m_dataSet->Next()) {
            const TField& f = m_dataSet->Field(field);
            if (!f.IsNull() && f.AsDateTime().toDateTime().time() != QTime(0, 0))
                return true;
        }
        return false;
    }

    QString m_name;
    QPointer<TDataSet> m_dataSet;
    QList<int> m_fields;
};

void addObjects(const std::vector<report::ReportObject>& objects, QStringList& names) {
    for (const report::ReportObject& o : objects) {
        if (const auto* chart = std::get_if<report::ChartView>(&o); chart && !chart->dataSet.isEmpty())
            names << chart->dataSet;
        if (const auto* cross = std::get_if<report::CrossTabView>(&o); cross && !cross->dataSet.isEmpty())
            names << cross->dataSet;
    }
}

void addBand(const report::Band& band, QStringList& names) {
    addObjects(band.objects, names);
    if (band.child)
        addBand(*band.child, names);
}

QStringList dataSetsOf(const report::ReportDocument& document) {
    QStringList names;
    for (const report::ReportPage& page : document.pages)
        for (const report::BodyElement& element : page.body) {
            if (const auto* band = std::get_if<report::Band>(&element)) {
                addBand(*band, names);
                continue;
            }
            const auto& block = std::get<report::DataBlock>(element);
            if (!block.dataSet.isEmpty())
                names << block.dataSet;
            addBand(block.master, names);
            for (const report::GroupLevel& g : block.groups)
                addBand(g.header, names);
        }
    names.removeDuplicates();
    return names;
}

} // namespace

ReportTables::ReportTables(const report::ReportDocument& document,
                           const std::vector<std::unique_ptr<TfrxDBDataset>>& bindings) {
    for (const QString& name : dataSetsOf(document))
        for (const auto& binding : bindings)
            if (binding->userName().compare(name, Qt::CaseInsensitive) == 0 && binding->DataSet()) {
                m_tables.push_back(std::make_unique<DataSetTable>(binding->userName(), binding->DataSet()));
                break;
            }
}

ReportTables::~ReportTables() = default;

std::vector<const report::DataTable*> ReportTables::tables() const {
    std::vector<const report::DataTable*> tables;
    for (const auto& t : m_tables)
        tables.push_back(t.get());
    return tables;
}
