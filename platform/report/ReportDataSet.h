// ReportDataSet: how the engine reads a dataset: by the user name the layouts give it, walking its
// records through the cursor (so the dataset's own scroll events run) and reading fields by name. The
// engine knows nothing else of the data-access layer.
#pragma once

#include <QString>
#include <QVariant>

namespace report {

class ReportDataSet {
public:
    virtual ~ReportDataSet() = default;
    virtual QString userName() const = 0;
    virtual void first() = 0;
    virtual void next() = 0;
    virtual bool eof() const = 0;
    virtual int recordCount() const = 0;
    virtual bool hasField(const QString& field) const = 0;
    // The current record's value: int/qint64/double/QString/bool/QByteArray; date-times as QDateTime; null
    // as an invalid QVariant.
    virtual QVariant value(const QString& field) const = 0;
    // The field's display text when the dataset defines one (get-text handlers); empty optional otherwise.
    virtual QString displayText(const QString& field) const { return value(field).toString(); }
    virtual bool hasDisplayText(const QString& /*field*/) const { return false; }
    // Position bookkeeping for nested walks (subreports re-entering a dataset).
    virtual int recNo() const = 0;
    virtual void setRecNo(int recNo) = 0;
};

} // namespace report
