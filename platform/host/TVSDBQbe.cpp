// Query-by-example. The filter is built from (field, operator, value) triples chosen in a small dialog;
// the statement only ever receives field names checked against the dataset and parameter markers, the
// values travel as typed parameters. LIKE patterns escape their wildcards with '!' (a character no
// backend treats specially inside a literal, unlike the backslash).
#include "TVSDBQbe.h"

#include "FormatSettings.h"
#include "GeneralError.h"
#include "HostMessageBox.h"
#include "SClientDataSet.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

const QString kEmpiezaPor = QStringLiteral("empieza por");
const QString kContiene = QStringLiteral("contiene");

bool isIntegerType(TFieldType t) {
    return t == TFieldType::ftSmallint || t == TFieldType::ftInteger || t == TFieldType::ftLargeint;
}

QString likeEscaped(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        if (c == QLatin1Char('!') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            out += QLatin1Char('!');
        out += c;
    }
    return out;
}

// Decimal text as a user types it: with the locale's decimal separator (and maybe thousands separators)
// or with a point.
std::optional<double> parseDecimal(const QString& text) {
    const FormatSettings& fs = FormatSettings::global();
    QString t = text.trimmed();
    if (t.contains(fs.decimalSeparator)) {
        t.remove(fs.thousandSeparator);
        t.replace(fs.decimalSeparator, QLatin1Char('.'));
    }
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<bool> parseBoolean(const QString& text) {
    const QString t = text.trimmed().toUpper();
    if (t == u"S" || t == u"SI" || t == u"SÍ" || t == u"1" || t == u"V" || t == u"VERDADERO" || t == u"TRUE")
        return true;
    if (t == u"N" || t == u"NO" || t == u"0" || t == u"F" || t == u"FALSO" || t == u"FALSE")
        return false;
    return std::nullopt;
}

struct Bound {
    TFieldType type;
    QVariant value;
};

} // namespace

TVSDBQbe::TVSDBQbe(QWidget* parent) : QPushButton(QStringLiteral("Query"), parent) {
    setToolTip(QStringLiteral("Query By Example"));
    connect(this, &QPushButton::clicked, this, [this] { Ejecutar(); });
}

QStringList TVSDBQbe::Operadores() {
    return {QStringLiteral("="),  QStringLiteral("<>"), QStringLiteral("<"), QStringLiteral(">"),
            QStringLiteral("<="), QStringLiteral(">="), kEmpiezaPor,         kContiene};
}

void TVSDBQbe::SetDataset(SClientDataSet* dataset) {
    m_dataset = dataset;
    m_base = dataset ? dataset->CommandText() : QString();
    m_filtro.clear();
    m_ultimas.clear();
}

void TVSDBQbe::Inicializar(bool abrir) {
    m_base = m_dataset ? m_dataset->CommandText() : QString();
    m_filtro.clear();
    m_ultimas.clear();
    if (abrir)
        Vquery(QString());
}

void TVSDBQbe::Vquery(const QString& text) {
    if (!m_dataset)
        throw GeneralError(QStringLiteral("La consulta por ejemplo no tiene conjunto de datos asignado."));
    m_dataset->Close();
    m_dataset->SetCommandText(m_base + text);
    m_filtro = text;
    m_dataset->Open();
    Q_EMIT queried();
}

void TVSDBQbe::AplicarFiltro(const QList<TQbeCondicion>& conditions) {
    if (!m_dataset)
        throw GeneralError(QStringLiteral("La consulta por ejemplo no tiene conjunto de datos asignado."));
    const QStringList operators = Operadores();
    const QString dateFormat =
        DateFormat.trimmed().isEmpty() ? FormatSettings::global().shortDateFormat : DateFormat.trimmed();

    // Everything is checked and converted before the dataset is touched, so a refused filter leaves it
    // as it was.
    QStringList parts;
    std::vector<Bound> values;
    for (const TQbeCondicion& c : conditions) {
        const TField* field = m_dataset->FindField(c.campo.trimmed());
        if (!field)
            throw GeneralError(
                QStringLiteral("Campo '%1' no encontrado en la consulta.").arg(c.campo.trimmed()));
        const QString label = field->DisplayLabel();
        if (!operators.contains(c.operador))
            throw GeneralError(QStringLiteral("Operador '%1' no válido.").arg(c.operador));
        const QString raw = c.valor;
        if (raw.trimmed().isEmpty())
            throw GeneralError(QStringLiteral("Falta el valor de la condición sobre %1.").arg(label));
        const TFieldType type = field->DataType();
        const bool like = c.operador == kEmpiezaPor || c.operador == kContiene;
        if (like && !isTextType(type))
            throw GeneralError(QStringLiteral("El operador '%1' sólo se aplica a campos de texto (%2).")
                                   .arg(c.operador, label));
        const auto invalid = [&] {
            return GeneralError(
                QStringLiteral("'%1' no es un valor válido para %2.").arg(raw.trimmed(), label));
        };

        QString column = field->FieldName();
        Bound bound{type, {}};
        if (isIntegerType(type)) {
            bool ok = false;
            const qlonglong v = raw.trimmed().toLongLong(&ok);
            if (!ok)
                throw invalid();
            if (v >= INT_MIN && v <= INT_MAX)
                bound = {TFieldType::ftInteger, static_cast<int>(v)};
            else
                bound = {TFieldType::ftFloat, static_cast<double>(v)};
        } else if (type == TFieldType::ftFloat) {
            const std::optional<double> v = parseDecimal(raw);
            if (!v)
                throw invalid();
            bound = {TFieldType::ftFloat, *v};
        } else if (type == TFieldType::ftDateTime) {
            const QDate d = QDate::fromString(raw.trimmed(), dateFormat);
            if (!d.isValid())
                throw invalid();
            bound = {TFieldType::ftDateTime, TDateTime::fromDate(d).value()};
        } else if (type == TFieldType::ftBoolean) {
            const std::optional<bool> v = parseBoolean(raw);
            if (!v)
                throw invalid();
            bound = {TFieldType::ftInteger, *v ? 1 : 0};
        } else if (isTextType(type)) {
            QString v = raw;
            // Both sides go through the server's UPPER, so they fold alike even where it only folds
            // ASCII letters (SQLite).
            if (SQLMayusculas)
                column = QStringLiteral("UPPER(%1)").arg(column);
            if (c.operador == kEmpiezaPor)
                v = likeEscaped(v) + QLatin1Char('%');
            else if (c.operador == kContiene)
                v = QLatin1Char('%') + likeEscaped(v) + QLatin1Char('%');
            bound = {TFieldType::ftString, v};
        } else {
            throw GeneralError(QStringLiteral("El campo %1 no se puede consultar.").arg(label));
        }

        QString marker = QStringLiteral(":QBE_%1").arg(values.size() + 1);
        if (SQLMayusculas && isTextType(type))
            marker = QStringLiteral("UPPER(%1)").arg(marker);
        if (like)
            parts << QStringLiteral("(%1 LIKE %2 ESCAPE '!')").arg(column, marker);
        else
            parts << QStringLiteral("(%1 %2 %3)").arg(column, c.operador, marker);
        values.push_back(bound);
    }

    if (parts.isEmpty()) {
        m_ultimas.clear();
        Vquery(QString());
        return;
    }
    const QString text = (Tag == 0 ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ")) +
                         parts.join(QStringLiteral(" AND "));

    m_dataset->Close();
    m_dataset->SetCommandText(m_base + text);
    for (size_t i = 0; i < values.size(); ++i) {
        const QString name = QStringLiteral("QBE_%1").arg(i + 1);
        TParam* p = m_dataset->Params().FindParam(name);
        if (!p)
            p = &m_dataset->Params().Add(name, values[i].type);
        p->SetDataType(values[i].type);
        switch (values[i].type) {
        case TFieldType::ftInteger:
            p->SetAsInteger(values[i].value.toInt());
            break;
        case TFieldType::ftFloat:
            p->SetAsFloat(values[i].value.toDouble());
            break;
        case TFieldType::ftDateTime:
            p->SetAsDateTime(TDateTime(values[i].value.toDouble()));
            break;
        default:
            p->SetAsString(values[i].value.toString());
            break;
        }
    }
    m_filtro = text;
    m_ultimas = conditions;
    m_dataset->Open();
    Q_EMIT queried();
}

namespace {

// The dialog of the click action: one row per condition (field, operator, value, remove).
class QbeDialog : public QDialog {
public:
    QbeDialog(TVSDBQbe* owner, const SClientDataSet& ds, const QList<TQbeCondicion>& start)
        : QDialog(owner), m_owner(owner) {
        setObjectName(QStringLiteral("DlgQbe"));
        setWindowTitle(QStringLiteral("Consulta por Ejemplo"));
        for (int i = 0; i < ds.FieldCount(); ++i) {
            const TField& f = ds.Field(i);
            if (f.Visible() && f.DataType() != TFieldType::ftBlob)
                m_fields.push_back({f.FieldName(), f.DisplayLabel(), f.DataType()});
        }
        auto* outer = new QVBoxLayout(this);
        auto* hint = new QLabel(
            QStringLiteral("Muestre sólo los registros que cumplan todas estas condiciones:"), this);
        outer->addWidget(hint);
        m_grid = new QGridLayout;
        m_grid->addWidget(new QLabel(QStringLiteral("Campo"), this), 0, 0);
        m_grid->addWidget(new QLabel(QStringLiteral("Operador"), this), 0, 1);
        m_grid->addWidget(new QLabel(QStringLiteral("Valor"), this), 0, 2);
        outer->addLayout(m_grid);
        auto* add = new QPushButton(QStringLiteral("&Añadir condición"), this);
        add->setObjectName(QStringLiteral("QbeAnadir"));
        connect(add, &QPushButton::clicked, this, [this] { addRow({}); });
        auto* addRowLayout = new QHBoxLayout;
        addRowLayout->addWidget(add);
        addRowLayout->addStretch(1);
        outer->addLayout(addRowLayout);
        outer->addStretch(1);
        auto* buttons = new QDialogButtonBox(this);
        buttons->addButton(QStringLiteral("&Aceptar"), QDialogButtonBox::AcceptRole)
            ->setObjectName(QStringLiteral("QbeAceptar"));
        buttons->addButton(QStringLiteral("&Cancelar"), QDialogButtonBox::RejectRole)
            ->setObjectName(QStringLiteral("QbeCancelar"));
        connect(buttons, &QDialogButtonBox::accepted, this, &QbeDialog::tryAccept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        outer->addWidget(buttons);
        if (start.isEmpty())
            addRow({});
        for (const TQbeCondicion& c : start)
            addRow(c);
        resize(560, sizeHint().height());
    }

private:
    struct FieldInfo {
        QString name;
        QString label;
        TFieldType type;
    };
    struct Row {
        QComboBox* field;
        QComboBox* op;
        QLineEdit* value;
        QToolButton* remove;
    };

    void addRow(const TQbeCondicion& c) {
        const int n = static_cast<int>(m_rows.size()) + 1;
        Row r{new QComboBox(this), new QComboBox(this), new QLineEdit(this), new QToolButton(this)};
        r.field->setObjectName(QStringLiteral("QbeCampo%1").arg(n));
        r.op->setObjectName(QStringLiteral("QbeOperador%1").arg(n));
        r.value->setObjectName(QStringLiteral("QbeValor%1").arg(n));
        for (const FieldInfo& f : m_fields)
            r.field->addItem(f.label, f.name);
        r.op->addItems(TVSDBQbe::Operadores());
        r.remove->setText(QStringLiteral("\u2717"));
        r.remove->setToolTip(QStringLiteral("Quitar condición"));
        r.field->setMinimumWidth(180);
        r.value->setMinimumWidth(180);
        QComboBox* fieldBox = r.field;
        QComboBox* opBox = r.op;
        connect(fieldBox, &QComboBox::currentIndexChanged, this, [this, fieldBox, opBox](int i) {
            if (i >= 0 && i < m_fields.size())
                opBox->setCurrentText(isTextType(m_fields[i].type) ? kEmpiezaPor : QStringLiteral("="));
        });
        const int at = c.campo.isEmpty() ? 0 : std::max(0, r.field->findData(c.campo));
        r.field->setCurrentIndex(-1);
        r.field->setCurrentIndex(at);
        if (!c.operador.isEmpty())
            r.op->setCurrentText(c.operador);
        r.value->setText(c.valor);
        const int line = static_cast<int>(m_rows.size()) + 1;
        m_grid->addWidget(r.field, line, 0);
        m_grid->addWidget(r.op, line, 1);
        m_grid->addWidget(r.value, line, 2);
        m_grid->addWidget(r.remove, line, 3);
        QToolButton* removeButton = r.remove;
        connect(removeButton, &QToolButton::clicked, this, [this, removeButton] {
            for (auto it = m_rows.begin(); it != m_rows.end(); ++it) {
                if (it->remove != removeButton)
                    continue;
                for (QWidget* w : {static_cast<QWidget*>(it->field), static_cast<QWidget*>(it->op),
                                   static_cast<QWidget*>(it->value), static_cast<QWidget*>(it->remove)})
                    w->deleteLater();
                m_rows.erase(it);
                return;
            }
        });
        m_rows.push_back(r);
        r.value->setFocus();
    }

    void tryAccept() {
        QList<TQbeCondicion> conditions;
        for (const Row& r : m_rows) {
            // A row left without a value is no condition.
            if (r.value->text().trimmed().isEmpty())
                continue;
            conditions.push_back({r.field->currentData().toString(), r.op->currentText(), r.value->text()});
        }
        try {
            m_owner->AplicarFiltro(conditions);
            accept();
        } catch (const GeneralError& e) {
            HostMessageBox::show(this, QMessageBox::Warning, windowTitle(), e.message());
        }
    }

    TVSDBQbe* m_owner;
    QList<FieldInfo> m_fields;
    QGridLayout* m_grid;
    std::vector<Row> m_rows;
};

} // namespace

bool TVSDBQbe::Ejecutar() {
    if (!m_dataset || m_dataset->FieldCount() == 0) {
        HostMessageBox::show(this, QMessageBox::Information, QStringLiteral("Consulta por Ejemplo"),
                             QStringLiteral("No hay campos para consultar."));
        return false;
    }
    QbeDialog dialog(this, *m_dataset, m_ultimas);
    return dialog.exec() == QDialog::Accepted;
}
