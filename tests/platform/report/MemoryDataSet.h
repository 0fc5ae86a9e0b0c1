// A ReportDataSet over rows held in memory, for engine tests.
#pragma once

#include "ReportDataSet.h"

#include <QStringList>
#include <QVariantList>
#include <functional>
#include <vector>

class MemoryDataSet : public report::ReportDataSet {
public:
    MemoryDataSet(QString name, QStringList fields) : m_name(std::move(name)), m_fields(std::move(fields)) {}

    void add(const QVariantList& row) { m_rows.push_back(row); }
    void clear() { m_rows.clear(); }

    QString userName() const override { return m_name; }
    void first() override { move(0); }
    void next() override {
        if (m_pos + 1 < static_cast<int>(m_rows.size()))
            move(m_pos + 1);
        else
            m_eof = true;
    }
    bool eof() const override { return m_eof; }
    int recordCount() const override { return static_cast<int>(m_rows.size()); }
    bool hasField(const QString& field) const override { return m_fields.contains(field, Qt::CaseInsensitive); }
    QVariant value(const QString& field) const override {
        if (m_pos < 0 || m_pos >= recordCount())
            return QVariant();
        for (int i = 0; i < m_fields.size(); ++i)
            if (m_fields[i].compare(field, Qt::CaseInsensitive) == 0)
                return m_rows[static_cast<size_t>(m_pos)].value(i);
        return QVariant();
    }
    int recNo() const override { return m_pos + 1; }
    void setRecNo(int recNo) override { move(recNo - 1); }

    // Called each time the current row changes, like a dataset's after-scroll handler.
    std::function<void(int row)> afterScroll;
    int scrolls = 0;

private:
    void move(int pos) {
        m_eof = m_rows.empty();
        if (m_rows.empty()) {
            m_pos = -1;
            return;
        }
        m_pos = pos;
        ++scrolls;
        if (afterScroll)
            afterScroll(m_pos);
    }
    QString m_name;
    QStringList m_fields;
    std::vector<QVariantList> m_rows;
    int m_pos = -1;
    bool m_eof = true;
};
