#include "ConnectionParams.h"
#include "GeneralError.h"
#include "HostFixture.h"
#include "SClientDataSet.h"
#include "TCaptura.h"
#include "TClientDataSet.h"
#include "TVNavegador.h"
#include "TVestraDBgrid.h"
#include "TVsCmbCodigo.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using hostfixture::MessageRecorder;

namespace {

// The application server as the lookup reaches it, keeping every statement it was sent.
class RecordingConnection : public SDCOMConnection {
public:
    TResultSet Execute(const QString& provider, const QString& text, const TParams& params) override {
        statements << text;
        return SDCOMConnection::Execute(provider, text, params);
    }
    QStringList statements;
};

const QString kClases = QStringLiteral(" SELECT COD_TNOM, NOM_TNOM  FROM NM_TNOMI  WHERE (COD_EMPR = 1) ");

class CapturaTest : public ::testing::Test {
protected:
    void SetUp() override {
        connection.Open(ConnectionParams::fromLocator(hostfixture::databasePath()));
        connection.Providers().add(QStringLiteral("DtsPTemporal"));
        field.setObjectName(QStringLiteral("VPFieldCodTnom"));
        field.Connection = &connection;
        field.SQL = {kClases};
        field.Variables = {QStringLiteral("COD_TNOM"), QStringLiteral("NOM_TNOM")};
        field.Titulo = QStringLiteral(" Lista de Clases de Nómina");
        field.Titulos = {QStringLiteral("Código"), QStringLiteral("Nombre")};
        field.Valores = {QStringLiteral("viejo")};
    }
    static void TearDownTestSuite() { LiberarCaptura(); }

    // Runs a lookup, acting on the dialog once it is up.
    bool run(bool completa, std::function<void(TCaptura&)> action) {
        hostfixture::onModal(QStringLiteral("Captura"),
                             [action](QWidget* w) { action(static_cast<TCaptura&>(*w)); });
        return completa ? CapturaCompleta(field) : CapturaReducida(field);
    }

    static QModelIndex rowOf(TCaptura& d, int code, int column = 0) {
        QAbstractItemModel* m = d.DBGrid1->model();
        for (int r = 0; r < m->rowCount(); ++r)
            if (m->index(r, 0).data().toInt() == code)
                return m->index(r, column);
        ADD_FAILURE() << "no row with code " << code;
        return {};
    }
    static int currentCode(TCaptura& d) {
        return d.CdsTmp->FieldByName(QStringLiteral("COD_TNOM")).AsInteger();
    }

    RecordingConnection connection;
    TVPField field;
};

TEST_F(CapturaTest, LoadsEveryRowUnderTheLookupsTitlesAndCancels) {
    const bool accepted = run(false, [](TCaptura& d) {
        EXPECT_EQ(d.CdsTmp->RecordCount(), 7);
        EXPECT_TRUE(d.BitBtnAceptar->isEnabled());
        EXPECT_EQ(d.DBGrid1->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Código"));
        EXPECT_EQ(d.CmbCampos->itemText(1), QStringLiteral("Nombre"));
        EXPECT_EQ(d.CmbCampos->currentCode(), QStringLiteral("COD_TNOM"));
        d.DBGrid1->setCurrentIndex(rowOf(d, 3));
        QTest::mouseClick(d.BitBtn2, Qt::LeftButton);
    });
    EXPECT_FALSE(accepted);
    EXPECT_EQ(field.Valores, QStringList{QStringLiteral("viejo")}) << "cancelling leaves the values";
    EXPECT_FALSE(Captura().CdsTmp->Active());
}

struct ProbeCase {
    const char* name;
    QStringList sql;
    const char* probe;
};

// The columns are learnt from an empty open, however the statement writes its WHERE; then every row is
// read with the statement as given.
TEST_F(CapturaTest, TheColumnsAreLearntFromAnEmptyOpen) {
    const ProbeCase cases[] = {
        {"NoWhere", {QStringLiteral("SELECT COD_TNOM, NOM_TNOM FROM NM_TNOMI")}, " WHERE 1=0"},
        {"MixedCaseWhereOnASecondLine",
         {QStringLiteral("SELECT COD_TNOM ,NOM_TNOM FROM NM_TNOMI"), QStringLiteral("WhErE COD_EMPR = 1")},
         " AND 1=0"},
    };
    for (const ProbeCase& c : cases) {
        field.SQL = c.sql;
        connection.statements.clear();
        run(false, [](TCaptura& d) { d.BitBtn2->click(); });
        ASSERT_GE(connection.statements.size(), 2) << c.name;
        EXPECT_EQ(connection.statements[0], c.sql.join(QLatin1Char('\n')) + QString::fromLatin1(c.probe))
            << c.name;
        EXPECT_EQ(connection.statements[1], c.sql.join(QLatin1Char('\n'))) << c.name;
    }
}

TEST_F(CapturaTest, TitlesThatDoNotMatchTheColumnsAreReportedAndTheFieldNamesShown) {
    MessageRecorder messages;
    field.SQL = {QStringLiteral("SELECT COD_EMPR, COD_TNOM, NOM_TNOM FROM NM_TNOMI WHERE COD_EMPR = 2")};
    run(false, [](TCaptura& d) {
        EXPECT_EQ(d.DBGrid1->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("COD_EMPR"));
        EXPECT_EQ(d.DBGrid1->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("NOM_TNOM"));
        EXPECT_EQ(d.CmbCampos->itemText(0), QStringLiteral("COD_EMPR"));
        d.BitBtn2->click();
    });
    ASSERT_FALSE(messages.texts().isEmpty());
    for (const QString& t : messages.texts())
        EXPECT_EQ(t, QStringLiteral("[Error en TITULOS][Falta definicion de titulos]"));
}

TEST_F(CapturaTest, ADoubleClickOnAnEmptyGridDoesNothing) {
    field.SQL = {QStringLiteral("SELECT COD_TNOM, NOM_TNOM FROM NM_TNOMI WHERE COD_EMPR = 99")};
    const bool accepted = run(false, [](TCaptura& d) {
        EXPECT_EQ(d.CdsTmp->RecordCount(), 0);
        EXPECT_FALSE(d.BitBtnAceptar->isEnabled());
        QTest::mouseClick(d.DBGrid1->viewport(), Qt::LeftButton, {}, QPoint(60, 40));
        QTest::mouseDClick(d.DBGrid1->viewport(), Qt::LeftButton, {}, QPoint(60, 40));
        d.DBGrid1DblClick();
        EXPECT_TRUE(d.isVisible());
        // Enter has no enabled default button to press either.
        QTest::keyClick(d.edtBusqueda, Qt::Key_Return);
        EXPECT_TRUE(d.isVisible());
        d.BitBtn2->click();
    });
    EXPECT_FALSE(accepted);
    EXPECT_EQ(field.Valores, QStringList{QStringLiteral("viejo")});
}

TEST_F(CapturaTest, AcceptingReturnsTheChosenRowsValuesInTheOrderOfTheVariables) {
    field.Variables = {QStringLiteral("nom_tnom "), QStringLiteral(" COD_TNOM")};
    const bool accepted = run(false, [](TCaptura& d) {
        d.DBGrid1->setCurrentIndex(rowOf(d, 3, 1));
        EXPECT_EQ(currentCode(d), 3);
        QTest::mouseClick(d.BitBtnAceptar, Qt::LeftButton);
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(field.Valores, (QStringList{QStringLiteral("Conductores"), QStringLiteral("3")}));
    // With no variables the values stay as they were.
    field.Variables.clear();
    EXPECT_TRUE(run(false, [](TCaptura& d) { d.BitBtnAceptar->click(); }));
    EXPECT_EQ(field.Valores, (QStringList{QStringLiteral("Conductores"), QStringLiteral("3")}));
}

TEST_F(CapturaTest, ADoubleClickOrEnterAcceptsTheCurrentRow) {
    EXPECT_TRUE(run(false, [](TCaptura& d) {
        const QPoint at = d.DBGrid1->visualRect(rowOf(d, 12, 1)).center();
        // A user's double click: a click, then the double-click event.
        QTest::mouseClick(d.DBGrid1->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(d.DBGrid1->viewport(), Qt::LeftButton, {}, at);
    }));
    EXPECT_EQ(field.Valores, (QStringList{QStringLiteral("12"), QStringLiteral("Aprendices SENA")}));
    EXPECT_TRUE(run(false, [](TCaptura& d) {
        d.VNavegador1->BtnClick(TNavigateBtn::nbFirst);
        QTest::keyClick(d.edtBusqueda, Qt::Key_Return);
    }));
    EXPECT_EQ(field.Valores, (QStringList{QStringLiteral("1"), QStringLiteral("Nómina Administración")}));
}

TEST_F(CapturaTest, SearchesFindByPrefixAndRefuseWhatTheColumnCannotHold) {
    run(false, [](TCaptura& d) {
        d.edtValor->setText(QStringLiteral("algo"));
        QTest::keyClick(d.edtBusqueda, Qt::Key_1);
        EXPECT_EQ(currentCode(d), 1);
        QTest::keyClick(d.edtBusqueda, Qt::Key_A);
        EXPECT_EQ(d.edtBusqueda->text(), QStringLiteral("1"));
        EXPECT_EQ(d.edtValor->text(), QString());
        EXPECT_EQ(currentCode(d), 1);
        QTest::keyClick(d.edtBusqueda, Qt::Key_2);
        EXPECT_EQ(currentCode(d), 12);

        // Another column: choosing it clears both texts; text columns match a prefix in any case.
        d.edtValor->setText(QStringLiteral("algo"));
        d.CmbCampos->setFocus();
        QTest::keyClick(d.CmbCampos, Qt::Key_Down);
        EXPECT_EQ(d.CmbCampos->currentCode(), QStringLiteral("NOM_TNOM"));
        EXPECT_EQ(d.edtBusqueda->text(), QString());
        EXPECT_EQ(d.edtValor->text(), QString());
        QTest::keyClicks(d.edtBusqueda, QStringLiteral("con"));
        EXPECT_EQ(currentCode(d), 3);
        d.edtBusqueda->clear();
        hostfixture::typeText(d.edtBusqueda, QStringLiteral("NÓMINA O"));
        EXPECT_EQ(currentCode(d), 2);
        // A prefix no row has leaves the cursor where it was.
        QTest::keyClicks(d.edtBusqueda, QStringLiteral("xyz"));
        EXPECT_EQ(currentCode(d), 2);

        // Search by value runs the same search with the value, when the column can hold it.
        d.CmbCampos->setCurrentCode(QStringLiteral("NOM_TNOM"));
        d.edtValor->setText(QStringLiteral("aprendices"));
        QTest::mouseClick(d.SpeedButton1, Qt::LeftButton);
        EXPECT_EQ(d.edtBusqueda->text(), QStringLiteral("aprendices"));
        EXPECT_EQ(currentCode(d), 12);

        d.CmbCampos->setCurrentCode(QStringLiteral("COD_TNOM"));
        d.edtValor->setText(QStringLiteral("abc"));
        d.SpeedButton1Click();
        EXPECT_EQ(d.edtBusqueda->text(), QStringLiteral("aprendices"));
        EXPECT_EQ(d.edtValor->text(), QString());
        d.edtValor->setText(QStringLiteral("4"));
        d.SpeedButton1Click();
        EXPECT_EQ(currentCode(d), 4);
        d.BitBtn2->click();
    });
}

TEST_F(CapturaTest, ALookupWithATagStartsWithTheQueryByExampleDialog) {
    field.Tag = 1;
    hostfixture::onModal(QStringLiteral("DlgQbe"), [](QWidget* dlg) {
        auto* campo = dlg->findChild<QComboBox*>(QStringLiteral("QbeCampo1"));
        auto* operador = dlg->findChild<QComboBox*>(QStringLiteral("QbeOperador1"));
        auto* valor = dlg->findChild<QLineEdit*>(QStringLiteral("QbeValor1"));
        ASSERT_TRUE(campo && operador && valor);
        campo->setCurrentIndex(1);
        EXPECT_EQ(operador->currentText(), QStringLiteral("empieza por"));
        hostfixture::typeText(valor, QStringLiteral("nómina"));
        dlg->findChild<QPushButton*>(QStringLiteral("QbeAceptar"))->click();
        hostfixture::onModal(QStringLiteral("Captura"), [](QWidget* w) {
            auto& d = static_cast<TCaptura&>(*w);
            EXPECT_EQ(d.CdsTmp->RecordCount(), 2);
            d.DBGrid1->setCurrentIndex(rowOf(d, 2));
            d.BitBtnAceptar->click();
        });
    });
    EXPECT_TRUE(CapturaReducida(field));
    EXPECT_EQ(field.Valores, (QStringList{QStringLiteral("2"), QStringLiteral("Nómina Operativa")}));
    // No statement loaded every row: the probe, then the filter.
    ASSERT_EQ(connection.statements.size(), 2);
    EXPECT_TRUE(connection.statements[1].endsWith(
        QStringLiteral(" AND (UPPER(NOM_TNOM) LIKE UPPER(:QBE_1) ESCAPE '!')")));
}

TEST_F(CapturaTest, AServerErrorEndsTheLookupAndReachesTheCaller) {
    field.SQL = {QStringLiteral("SELECT COD_TNOM FROM NO_EXISTE")};
    EXPECT_THROW(CapturaReducida(field), GeneralError);
    EXPECT_FALSE(Captura().isVisible());
    EXPECT_EQ(field.Valores, QStringList{QStringLiteral("viejo")});

    // The empty probe never evaluates the overflowing expression; loading the rows does.
    field.SQL = {QStringLiteral("SELECT COD_TNOM FROM NM_TNOMI WHERE COD_EMPR = 1"),
                 QStringLiteral("AND abs(COD_TNOM - 9223372036854775807 - 2) > 0")};
    field.Titulos.clear();
    EXPECT_THROW(CapturaReducida(field), GeneralError);
    EXPECT_FALSE(Captura().isVisible());
    EXPECT_FALSE(Captura().CdsTmp->Active());
    EXPECT_EQ(connection.statements.size(), 3) << "one statement refused, then the probe and the rows";
    // The dialog serves the next lookup as usual.
    field.SQL = {kClases};
    field.Titulos = {QStringLiteral("Código"), QStringLiteral("Nombre")};
    EXPECT_TRUE(run(false, [](TCaptura& d) { d.BitBtnAceptar->click(); }));
}

// --- the full variant: values written into a destination dataset ---

class CapturaDestinoTest : public CapturaTest {
protected:
    void SetUp() override {
        CapturaTest::SetUp();
        dest.AddField(QStringLiteral("COD_PROT"), TFieldType::ftSmallint);
        dest.AddField(QStringLiteral("NOM_PROT"), TFieldType::ftString, 40);
        dest.CreateDataSet();
        dest.FieldByName(QStringLiteral("COD_PROT")).OnValidate = [this](TField& f) {
            tagsSeen << f.Tag();
            if (f.AsInteger() == 4)
                throw GeneralError(QStringLiteral("Prototipo no encontrado..."));
        };
        dest.Append();
        field.setObjectName(QStringLiteral("VPFldPrototipo"));
        field.DataSet = &dest;
        field.Destino = {QStringLiteral("cod_prot"), QStringLiteral("NOM_PROT ")};
        field.LookUpField = QStringLiteral("NOM_TNOM");
    }
    bool choose(int code, bool completa = true) {
        return run(completa, [code](TCaptura& d) {
            d.DBGrid1->setCurrentIndex(rowOf(d, code));
            d.BitBtnAceptar->click();
        });
    }
    QString destText(const char* name) { return dest.FieldByName(QString::fromLatin1(name)).AsString(); }

    TClientDataSet dest{QStringLiteral("CdsNmTprot")};
    QList<int> tagsSeen;
};

TEST_F(CapturaDestinoTest, TheValuesGoIntoTheDestinationWhileItsFieldsKnowTheyComeFromTheLookup) {
    MessageRecorder messages;
    EXPECT_TRUE(choose(3));
    EXPECT_EQ(destText("COD_PROT"), QStringLiteral("3"));
    EXPECT_EQ(destText("NOM_PROT"), QStringLiteral("Conductores"));
    EXPECT_EQ(tagsSeen, QList<int>{1000});
    EXPECT_EQ(dest.FieldByName(QStringLiteral("COD_PROT")).Tag(), 0);
    EXPECT_EQ(field.LookUpFieldValue, QStringLiteral("Conductores"));
    EXPECT_EQ(field.Valores, (QStringList{QStringLiteral("3"), QStringLiteral("Conductores")}));
    EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(CapturaDestinoTest, ARefusedValueIsShownAndTheFieldsTagIsRestored) {
    MessageRecorder messages;
    EXPECT_TRUE(choose(4));
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Prototipo no encontrado...")});
    EXPECT_EQ(dest.FieldByName(QStringLiteral("COD_PROT")).Tag(), 0);
    EXPECT_TRUE(dest.FieldByName(QStringLiteral("COD_PROT")).IsNull());
    EXPECT_TRUE(dest.FieldByName(QStringLiteral("NOM_PROT")).IsNull());
    EXPECT_EQ(field.Valores, QStringList{QStringLiteral("4")});
}

TEST_F(CapturaDestinoTest, AMissingLookUpFieldIsReportedAndTheValuesStillGoIn) {
    MessageRecorder messages;
    field.LookUpField = QStringLiteral("NOM_XXX");
    field.LookUpFieldValue = QStringLiteral("antes");
    EXPECT_TRUE(choose(2));
    const QString expected =
        QStringLiteral("Error de parametrización de componente [VPFldPrototipo] campo LookUpField "
                       "[NOM_XXX] no encontrado en query de consulta ");
    EXPECT_EQ(messages.texts(), (QStringList{expected, expected}));
    EXPECT_EQ(messages.messages()[0].icon, QMessageBox::Critical);
    EXPECT_EQ(destText("NOM_PROT"), QStringLiteral("Nómina Operativa"));
    EXPECT_EQ(field.LookUpFieldValue, QStringLiteral("antes"));
    // Without a lookup field at all, its value is cleared.
    field.LookUpField.clear();
    EXPECT_TRUE(choose(2));
    EXPECT_EQ(field.LookUpFieldValue, QString());
}

TEST_F(CapturaDestinoTest, ADestinationThatIsNotBeingEditedReceivesNothing) {
    dest.Cancel();
    EXPECT_TRUE(choose(3));
    EXPECT_EQ(dest.RecordCount(), 0);
    EXPECT_TRUE(tagsSeen.isEmpty());
    EXPECT_EQ(field.Valores, (QStringList{QStringLiteral("3"), QStringLiteral("Conductores")}));
}

TEST_F(CapturaDestinoTest, TheReducedVariantIgnoresTheDestination) {
    MessageRecorder messages;
    field.LookUpField = QStringLiteral("NOM_XXX");
    EXPECT_TRUE(choose(3, false));
    EXPECT_TRUE(dest.FieldByName(QStringLiteral("COD_PROT")).IsNull());
    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_EQ(field.Valores, (QStringList{QStringLiteral("3"), QStringLiteral("Conductores")}));
}

struct ParamErrorCase {
    const char* name;
    QStringList variables;
    QStringList destino;
    const char* message;
    QStringList valores;
};

// A parametrisation error stops the collection of values, but the lookup still accepts.
TEST_F(CapturaDestinoTest, ParametrisationErrorsAreShownAndStopTheCollection) {
    const ParamErrorCase cases[] = {
        // clang-format off
        {"EmptyVariableLine", {"COD_TNOM", "  ", "NOM_TNOM"}, {"COD_PROT", "NOM_PROT", "NOM_PROT"},
         "[Error en VARIABLES][Linea (2) vacia ]", {"3"}},
        {"VariableNotInTheQuery", {"COD_TNOM", "nom_xyz"}, {"COD_PROT", "NOM_PROT"},
         "[Error en VARIABLES][no existe variable <NOM_XYZ> en Query ]", {"3"}},
        {"EmptyDestinationLine", {"COD_TNOM", "NOM_TNOM"}, {QString(), "NOM_PROT"},
         "[Error en DESTINO][Linea (1) vacia ]", {"3"}},
        {"MissingDestinationLine", {"COD_TNOM", "NOM_TNOM"}, {"COD_PROT"},
         "[Error en DESTINO][Linea (2) vacia ]", {"3", "Conductores"}},
        // clang-format on
    };
    for (const ParamErrorCase& c : cases) {
        MessageRecorder messages;
        field.Variables = c.variables;
        field.Destino = c.destino;
        EXPECT_TRUE(choose(3)) << c.name;
        EXPECT_EQ(messages.texts(), QStringList{QString::fromUtf8(c.message)}) << c.name;
        EXPECT_EQ(field.Valores, c.valores) << c.name;
    }
}

} // namespace
