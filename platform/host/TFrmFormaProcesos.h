// TFrmFormaProcesos: the host's base process form, the frame every process form of the suite derives
// from: notes bar (TVNotas) and logo panel on top, the company selector, the scroll box that holds the
// derived form's controls (ScBFrm), the accept/cancel panel with the query-by-example button, the
// progress panel and the status panel. It owns the application-server connection (DCOMCnction), opened
// from the host globals at FormCreate, and the company dataset CdsGnEmpre (NOM_EMPR, NIT_EMPR, BMP_REPO)
// that follows the chosen company.
#pragma once

#include "SDCOMConnection.h"
#include "TClientDataSet.h"
#include "TDataSource.h"

#include <QLabel>
#include <QList>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QWidget>
#include <functional>

class TVNotas;
class TVSDBQbe;
class TVsCmbCodigo;

class TFrmFormaProcesos : public QWidget {
    Q_OBJECT
public:
    explicit TFrmFormaProcesos(QWidget* parent = nullptr);
    ~TFrmFormaProcesos() override;

    // Builds the frame: opens DCOMCnction from the globals (protocol, server, alias, user, password),
    // fills the company selector from GN_EMPRE and selects the load's company (gStParEmp), which runs
    // cmbEmpresaChange. Throws GeneralError when the connection cannot be opened.
    virtual void FormCreate();
    // Makes the selected company current: Application().Tag := its code, CdsGnEmpre := its row.
    virtual void cmbEmpresaChange();
    // The reports of the listed modules are previewed the host's way: the hook below is called for each.
    void DwAsignarRptPreview(const QList<QObject*>& modules, int lastIndex);
    // Resize requests of the host application.
    void CambiarAltura(int height);
    void CambiarTamano(int width, int height);

    // How this host presents reports (preview window, files, capture); set before FormCreate.
    static std::function<void(QObject* reportModule)>& previewAssigner();

    // --- frame components ---
    TVNotas* NotasVestra = nullptr;
    QWidget* PnlVestra = nullptr;
    QLabel* ImgVestra = nullptr;
    TVsCmbCodigo* cmbEmpresa = nullptr;
    QScrollArea* ScBFrm = nullptr;
    QWidget* PnlOkCancel = nullptr;
    QPushButton* BitBtnAcepta = nullptr;
    QPushButton* BitBtnCancela = nullptr;
    TVSDBQbe* VSDBQbe1 = nullptr;
    QWidget* Panel3 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* PnlStatus = nullptr;
    SDCOMConnection* DCOMCnction = nullptr;
    TDataSource* DtsFrm = nullptr;
    TClientDataSet* CdsGnEmpre = nullptr;

    // The widget the derived form puts its controls into (inside ScBFrm).
    QWidget* clientArea() const { return m_client; }

Q_SIGNALS:
    // The accept / cancel buttons. A GeneralError thrown by a receiver of acceptRequested is shown in a
    // message box and the form stays usable.
    void acceptRequested();
    void cancelRequested();

private:
    struct Empresa {
        int codigo;
        QString nombre;
        double nit;
        QByteArray logo;
    };
    void showLogo(const QByteArray& logo);
    // Runs action, showing a GeneralError in a message box instead of letting it cross the event loop.
    void guarded(const std::function<void()>& action);
    QWidget* m_client = nullptr;
    QList<Empresa> m_empresas;
};
