#include "HostFixture.h"

#include "ConnectionParams.h"
#include "FixtureWriter.h"
#include "Schema.h"
#include "TestSupport.h"

#include <QApplication>
#include <QBuffer>
#include <QDialog>
#include <QElapsedTimer>
#include <QImage>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <QUuid>
#include <gtest/gtest.h>

namespace hostfixture {

namespace {

QByteArray logoPng() {
    QImage img(64, 32, QImage::Format_RGB32);
    img.fill(QColor(0x2F, 0x5F, 0x9F));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "PNG");
    return bytes;
}

void createDatabase(const QString& path) {
    const QString name = Schema::createSqliteFile(path);
    {
        FixtureWriter fx(name);
        const std::pair<int, const char*> companies[] = {{1, "Transportes Andinos S.A."},
                                                         {2, "Servicios Temporales Ñandú Ltda."},
                                                         {5, "Comercializadora del Café"}};
        for (const auto& [code, nom] : companies)
            fx.insert(QStringLiteral("GN_EMPRE"),
                      {{"COD_EMPR", code},
                       {"NOM_EMPR", QString::fromUtf8(nom)},
                       {"BMP_REPO", code == 1 ? QVariant(logoPng()) : QVariant()}});
        const std::tuple<int, int, const char*> classes[] = {
            {1, 1, "Nómina Administración"}, {1, 2, "Nómina Operativa"},
            {1, 3, "Conductores"},           {1, 4, "Pago O'Hara; DROP TABLE NM_TNOMI"},
            {1, 10, "100% Comisiones"},      {1, 11, "1000 Horas Extra"},
            {1, 12, "Aprendices SENA"},      {2, 1, "Temporales Planta"},
            {2, 7, "Temporales Misión"}};
        for (const auto& [company, code, nom] : classes)
            fx.insert(QStringLiteral("NM_TNOMI"),
                      {{"COD_EMPR", company}, {"COD_TNOM", code}, {"NOM_TNOM", QString::fromUtf8(nom)}});
    }
    QSqlDatabase::database(name, false).close();
    QSqlDatabase::removeDatabase(name);
}

} // namespace

QString databasePath() {
    static const QString path = [] {
        const QString p = testsupport::tempPath(QStringLiteral("host-fixture.sqlite"));
        createDatabase(p);
        return p;
    }();
    return path;
}

std::unique_ptr<SDCOMConnection> openConnection() {
    auto c = std::make_unique<SDCOMConnection>(QStringLiteral("DCOMCnction"));
    c->Open(ConnectionParams::fromLocator(databasePath()));
    c->Providers().add(QStringLiteral("DtsPTemporal"));
    return c;
}

int tableRowCount(const QString& table) {
    const QString name = QStringLiteral("count-") + QUuid::createUuid().toString();
    int n = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(databasePath());
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("SELECT COUNT(*) FROM ") + table) && q.next())
                n = q.value(0).toInt();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return n;
}

MessageRecorder::MessageRecorder(QMessageBox::StandardButton answer) : m_answer(answer) {
    m_previous = HostMessageBox::hook();
    HostMessageBox::hook() = [this](QWidget*, QMessageBox::Icon icon, const QString& title,
                                    const QString& text, QMessageBox::StandardButtons) {
        m_messages.push_back({icon, title, text});
        return m_answer;
    };
}

MessageRecorder::~MessageRecorder() {
    HostMessageBox::hook() = m_previous;
}

QStringList MessageRecorder::texts() const {
    QStringList out;
    for (const Message& m : m_messages)
        out << m.text;
    return out;
}

void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

bool waitFor(const std::function<bool()>& condition, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > ms)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

void onModal(const QString& objectName, std::function<void(QWidget*)> action) {
    auto* timer = new QTimer;
    auto started = std::make_shared<qint64>(0);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, objectName, action, started] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->objectName() == objectName && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
            if (auto* dialog = qobject_cast<QDialog*>(modal); dialog && dialog->isVisible())
                dialog->reject();
            return;
        }
        if (++*started > 1000) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal window " << objectName.toStdString() << " appeared";
            while (QWidget* w = QApplication::activeModalWidget()) {
                if (auto* d = qobject_cast<QDialog*>(w))
                    d->reject();
                else
                    w->close();
            }
        }
    });
    timer->start();
}

} // namespace hostfixture
