#include "GeneralError.h"
#include "HostFixture.h"
#include "SClientDataSet.h"
#include "TVSDBQbe.h"
#include "TestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using hostfixture::MessageRecorder;

namespace {

class QbeTest : public ::testing::Test {
protected:
    void SetUp() override {
        connection = hostfixture::openConnection();
        qry.SetProviderName(QStringLiteral("DtsPTemporal"));
        qry.SetRemoteServer(connection.get());
        qry.SetCommandText(QStringLiteral("SELECT COD_TNOM, NOM_TNOM FROM NM_TNOMI WHERE COD_EMPR = 1"));
        qbe.SetDataset(&qry);
        qbe.Tag = 1;
        qbe.SQLMayusculas = true;
        qbe.Inicializar(true);
    }

    QList<int> codes() {
        QList<int> out;
        for (qry.First(); !qry.Eof(); qry.Next())
            out << qry.FieldByName(QStringLiteral("COD_TNOM")).AsInteger();
        std::sort(out.begin(), out.end());
        return out;
    }

    std::unique_ptr<SDCOMConnection> connection;
    SClientDataSet qry{QStringLiteral("CdsTmp")};
    TVSDBQbe qbe;
};

TEST_F(QbeTest, VqueryAppendsTheTextAndTheEmptyTextReopensTheBase) {
    EXPECT_EQ(codes(), (QList<int>{1, 2, 3, 4, 10, 11, 12}));
    qbe.Vquery(QStringLiteral(" AND 1=0"));
    EXPECT_TRUE(qry.Active());
    EXPECT_EQ(qry.RecordCount(), 0);
    EXPECT_EQ(qry.FieldCount(), 2);
    EXPECT_EQ(qry.CommandText(),
              QStringLiteral("SELECT COD_TNOM, NOM_TNOM FROM NM_TNOMI WHERE COD_EMPR = 1 AND 1=0"));
    qbe.Vquery(QString());
    EXPECT_EQ(qry.RecordCount(), 7);
    EXPECT_EQ(qry.CommandText(), qbe.BaseSQL());
}

struct FilterCase {
    const char* name;
    const char* field;
    const char* op;
    const char* value;
    QList<int> expected;
};

TEST_F(QbeTest, EachConditionMatchesItsRows) {
    const FilterCase cases[] = {
        {"IntegerEquals", "COD_TNOM", "=", "3", {3}},
        {"IntegerNotEquals", "COD_TNOM", "<>", "3", {1, 2, 4, 10, 11, 12}},
        {"IntegerLess", "COD_TNOM", "<", "3", {1, 2}},
        {"IntegerGreaterOrEqual", "COD_TNOM", ">=", "10", {10, 11, 12}},
        {"IntegerLessOrEqualWithBlanks", "COD_TNOM", "<=", " 2 ", {1, 2}},
        {"IntegerGreater", "COD_TNOM", ">", "11", {12}},
        {"TextStartsWithAnyCase", "NOM_TNOM", "empieza por", "nómina", {1, 2}},
        {"TextContains", "NOM_TNOM", "contiene", "ERATIV", {2}},
        {"PercentIsLiteral", "NOM_TNOM", "empieza por", "100%", {10}},
        {"UnderscoreIsLiteral", "NOM_TNOM", "contiene", "_", {4}},
        {"QuoteAndDropMatchLiterally", "NOM_TNOM", "=", "Pago O'Hara; DROP TABLE NM_TNOMI", {4}},
        {"QuoteInsideContains", "NOM_TNOM", "contiene", "'Hara; DROP", {4}},
        {"InjectionAttemptMatchesNothing", "NOM_TNOM", "=", "x' OR '1'='1", {}},
    };
    for (const FilterCase& c : cases) {
        qbe.AplicarFiltro(
            {{QString::fromUtf8(c.field), QString::fromUtf8(c.op), QString::fromUtf8(c.value)}});
        EXPECT_EQ(codes(), c.expected) << c.name;
    }
}

TEST_F(QbeTest, ValuesTravelAsTypedParametersNeverInTheText) {
    qbe.AplicarFiltro({{QStringLiteral("COD_TNOM"), QStringLiteral(">"), QStringLiteral("2")},
                       {QStringLiteral("NOM_TNOM"), QStringLiteral("="),
                        QStringLiteral("Pago O'Hara; DROP TABLE NM_TNOMI")}});
    EXPECT_EQ(qbe.Filtro(), QStringLiteral(" AND (COD_TNOM > :QBE_1) AND (UPPER(NOM_TNOM) = UPPER(:QBE_2))"));
    EXPECT_FALSE(qry.CommandText().contains(QStringLiteral("DROP")));
    EXPECT_EQ(qry.Params().ParamByName(QStringLiteral("QBE_1")).DataType(), TFieldType::ftInteger);
    EXPECT_EQ(qry.Params().ParamByName(QStringLiteral("QBE_1")).AsInteger(), 2);
    EXPECT_EQ(qry.Params().ParamByName(QStringLiteral("QBE_2")).DataType(), TFieldType::ftString);
    EXPECT_EQ(qry.Params().ParamByName(QStringLiteral("QBE_2")).AsString(),
              QStringLiteral("Pago O'Hara; DROP TABLE NM_TNOMI"));
    EXPECT_EQ(codes(), QList<int>{4});
    EXPECT_EQ(hostfixture::tableRowCount(QStringLiteral("NM_TNOMI")), 9);
}

TEST_F(QbeTest, WithoutAWhereTheFilterStartsOne) {
    qbe.Tag = 0;
    qry.Close();
    qry.SetCommandText(QStringLiteral("SELECT COD_EMPR, COD_TNOM FROM NM_TNOMI"));
    qbe.Inicializar(true);
    qbe.AplicarFiltro({{QStringLiteral("COD_EMPR"), QStringLiteral("="), QStringLiteral("2")}});
    EXPECT_EQ(qbe.Filtro(), QStringLiteral(" WHERE (COD_EMPR = :QBE_1)"));
    EXPECT_EQ(qry.RecordCount(), 2);
}

TEST_F(QbeTest, CaseIsKeptWhenTheUpperCaseOptionIsOff) {
    qbe.SQLMayusculas = false;
    qbe.AplicarFiltro({{QStringLiteral("NOM_TNOM"), QStringLiteral("="), QStringLiteral("Conductores")}});
    EXPECT_EQ(qbe.Filtro(), QStringLiteral(" AND (NOM_TNOM = :QBE_1)"));
    EXPECT_EQ(codes(), QList<int>{3});
    qbe.AplicarFiltro({{QStringLiteral("NOM_TNOM"), QStringLiteral("="), QStringLiteral("CONDUCTORES")}});
    EXPECT_EQ(codes(), QList<int>{});
}

struct RefusedCase {
    const char* name;
    const char* field;
    const char* op;
    const char* value;
    const char* message;
};

TEST_F(QbeTest, ARefusedConditionIsNamedAndTheDataSetStaysAsItWas) {
    const RefusedCase cases[] = {
        {"LetterForANumber", "COD_TNOM", "=", "abc", "'abc' no es un valor válido para COD_TNOM."},
        {"TextOperatorOnANumber", "COD_TNOM", "contiene", "1",
         "El operador 'contiene' sólo se aplica a campos de texto (COD_TNOM)."},
        {"UnknownField", "NOM_XXX", "=", "1", "Campo 'NOM_XXX' no encontrado en la consulta."},
        {"UnknownOperator", "COD_TNOM", "LIKE", "1", "Operador 'LIKE' no válido."},
        {"MissingValue", "NOM_TNOM", "=", "  ", "Falta el valor de la condición sobre NOM_TNOM."},
    };
    qbe.AplicarFiltro({{QStringLiteral("COD_TNOM"), QStringLiteral("<"), QStringLiteral("3")}});
    const QString before = qry.CommandText();
    for (const RefusedCase& c : cases) {
        EXPECT_EQ(testsupport::errorOf([&] {
                      qbe.AplicarFiltro({{QString::fromUtf8(c.field), QString::fromUtf8(c.op),
                                          QString::fromUtf8(c.value)}});
                  }),
                  QString::fromUtf8(c.message))
            << c.name;
        EXPECT_TRUE(qry.Active());
        EXPECT_EQ(qry.CommandText(), before);
        EXPECT_EQ(codes(), (QList<int>{1, 2})) << c.name;
    }
}

TEST_F(QbeTest, TheClickActionAsksForConditionsInItsDialog) {
    MessageRecorder messages;
    bool applied = false;
    hostfixture::onModal(QStringLiteral("DlgQbe"), [&](QWidget* dialog) {
        auto* field = dialog->findChild<QComboBox*>(QStringLiteral("QbeCampo1"));
        auto* op = dialog->findChild<QComboBox*>(QStringLiteral("QbeOperador1"));
        auto* value = dialog->findChild<QLineEdit*>(QStringLiteral("QbeValor1"));
        ASSERT_TRUE(field && op && value);
        field->setCurrentIndex(field->findData(QStringLiteral("COD_TNOM")));
        EXPECT_EQ(op->currentText(), QStringLiteral("="));
        // A value of the wrong type is refused and the dialog stays open for a correction.
        QTest::keyClicks(value, QStringLiteral("diez"));
        dialog->findChild<QPushButton*>(QStringLiteral("QbeAceptar"))->click();
        EXPECT_TRUE(dialog->isVisible());
        value->clear();
        QTest::keyClicks(value, QStringLiteral("10"));
        dialog->findChild<QPushButton*>(QStringLiteral("QbeAceptar"))->click();
        applied = !dialog->isVisible();
    });
    EXPECT_TRUE(qbe.Ejecutar());
    EXPECT_TRUE(applied);
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("'diez' no es un valor válido para COD_TNOM.")});
    EXPECT_EQ(codes(), QList<int>{10});

    // Reopened, the dialog offers the last conditions again; cancelling changes nothing.
    hostfixture::onModal(QStringLiteral("DlgQbe"), [&](QWidget* dialog) {
        auto* value = dialog->findChild<QLineEdit*>(QStringLiteral("QbeValor1"));
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(value->text(), QStringLiteral("10"));
        dialog->findChild<QPushButton*>(QStringLiteral("QbeCancelar"))->click();
    });
    EXPECT_FALSE(qbe.Ejecutar());
    EXPECT_EQ(codes(), QList<int>{10});
}

TEST_F(QbeTest, WithoutFieldsThereIsNothingToAsk) {
    MessageRecorder messages;
    SClientDataSet empty(QStringLiteral("Vacio"));
    TVSDBQbe other;
    other.SetDataset(&empty);
    EXPECT_FALSE(other.Ejecutar());
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("No hay campos para consultar.")});
}

} // namespace
