#include "FormFixture.h"

#include "FixtureWriter.h"
#include "Schema.h"
#include "TDtmNmRtgen.h"
#include "TDtmNmRtrep.h"
#include "TFrmNmRtgen.h"
#include "TFrmObserva.h"
#include "TestSupport.h"
#include "Ugnproce.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QTimer>

namespace formtest {

namespace {

QString createDatabase() {
    const QString path = testsupport::tempPath(QStringLiteral("form-fixture.sqlite"));
    const QString connection = Schema::createSqliteFile(path);
    {
        FixtureWriter fx(connection);
        fx.insert(QStringLiteral("GN_EMPRE"),
                  {{"COD_EMPR", 1}, {"NOM_EMPR", "TEMPORALES ANDINOS S.A.S."}, {"NIT_EMPR", 900123456.0}});
        fx.insert(QStringLiteral("GN_EMPRE"),
                  {{"COD_EMPR", 2}, {"NOM_EMPR", "SERVICIOS DEL VALLE LTDA."}, {"NIT_EMPR", 800654321.0}});
        fx.insert(QStringLiteral("NM_TNOMI"), {{"COD_EMPR", 1}, {"COD_TNOM", 1}, {"NOM_TNOM", "QUINCENAL"}});
        fx.insert(QStringLiteral("NM_TNOMI"), {{"COD_EMPR", 1}, {"COD_TNOM", 2}, {"NOM_TNOM", "MENSUAL"}});
        fx.insert(QStringLiteral("NM_TNOMI"), {{"COD_EMPR", 2}, {"COD_TNOM", 7}, {"NOM_TNOM", "SEMANAL"}});
        fx.insert(QStringLiteral("NM_TPROT"), {{"COD_EMPR", 1}, {"COD_PROT", 3}, {"NOM_PROT", "NOVEDADES"}});
        fx.insert(QStringLiteral("NM_TPROT"), {{"COD_EMPR", 1}, {"COD_PROT", 5}, {"NOM_PROT", "COMISIONES"}});
        fx.insert(QStringLiteral("NM_TPROT"), {{"COD_EMPR", 2}, {"COD_PROT", 9}, {"NOM_PROT", "VARIOS"}});
        const struct {
            int row;
            const char *kind, *novelty, *name, *account;
        } parameters[] = {{1, "CN", "INC", "Incapacidades", "510527"},
                          {2, "CN", "LIC", "Licencias", "510530"},
                          {3, "PF", "SEN", "Sena", nullptr}};
        for (const auto& p : parameters) {
            FixtureWriter::Row row{{"COD_EMPR", 1},
                                   {"RMT_PRTG", p.row},
                                   {"TIP_PARA", p.kind},
                                   {"TIP_NOVE", p.novelty},
                                   {"NOM_NOVE", p.name}};
            if (p.account)
                row += FixtureWriter::Row{{"COD_CUEN", p.account}, {"COD_PROT", 3}};
            fx.insert(QStringLiteral("NM_PRTGE"), row);
        }
    }
    QSqlDatabase::database(connection, false).close();
    QSqlDatabase::removeDatabase(connection);
    return path;
}

} // namespace

QString databasePath() {
    static const QString path = createDatabase();
    return path;
}

void setGlobals() {
    using namespace Ugnproce;
    gStProtocolo = QStringLiteral("sqlite");
    gStParSrv = databasePath();
    gStAliasCnx.clear();
    gStParUsu.clear();
    gStParPas.clear();
    gStParEmp = QStringLiteral("1");
    gStCodiUsua = QStringLiteral("PRUEBAS");
}

Form::Form() {
    testsupport::pinFormatSettings();
    setGlobals();
    dtm = std::make_unique<TDtmNmRtgen>(nullptr);
    rep = std::make_unique<TDtmNmRtrep>(dtm.get());
    frm = std::make_unique<TFrmNmRtgen>(*dtm, *rep);
    rep->SetPresenter(&capture);
}

Form::~Form() {
    m_answerer.reset();
    frm.reset();
    rep.reset();
    dtm.reset();
}

void Form::answerObservations(const QString& text) {
    m_answerer = std::make_unique<QTimer>();
    m_answerer->setInterval(20);
    QObject::connect(m_answerer.get(), &QTimer::timeout, [this, text] {
        auto* dialog = qobject_cast<TFrmObserva*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        ++observationDialogs;
        if (text.isNull()) {
            dialog->reject();
        } else {
            dialog->MmoObserva->setPlainText(text);
            dialog->BitBtnAceptar->click();
        }
    });
    m_answerer->start();
}

} // namespace formtest
