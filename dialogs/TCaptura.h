// TCaptura: the lookup dialog behind the lookup fields (TVPField). A lookup runs the field's statement on
// the application server (provider "DtsPTemporal"), shows the rows with incremental search, search by
// value and a query-by-example filter, and returns the chosen row's values in the field's Valores; the
// full variant also writes them into a destination dataset.
//
// Lifecycle of one lookup: the statement is first opened empty (its text followed by " WHERE 1=0", or
// " AND 1=0" when a line of it holds a WHERE) to learn the columns; then, when shown, every row is loaded
// (field Tag 0) or the query-by-example dialog asks for a filter first. Accepting (button, Enter or a
// double-click on a row) collects the values; the query is closed after every lookup.
//
// Parametrisation errors are shown in plain message boxes (HostMessageBox, which tests hook) with texts
// that begin with a bracketed tag; they stop the collection of further columns but the dialog still
// closes as accepted with the values gathered so far.
#pragma once

#include "TDataSet.h"
#include "TVPField.h"

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <exception>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QWidget;
class SClientDataSet;
class TDataSource;
class TVestraDBgrid;
class TVNavegador;
class TVSDBQbe;
class TVsCmbCodigo;

class TCaptura : public QDialog {
    Q_OBJECT
public:
    explicit TCaptura(QWidget* parent = nullptr);
    ~TCaptura() override;

    // Runs one lookup for field (full variant: destination dataset, destination names and LookUpField
    // included). Returns true when the user accepted a row. Server errors reach the caller (GeneralError).
    bool Ejecutar(TVPField& field, bool completa);

    // --- event handlers ---
    void FormShow();
    void BitBtnAceptarClick();
    void Datos1DataChange();
    void CdsTmpAfterOpen();
    void CmbCamposClick();
    void edtBusquedaKeyPress();
    void edtBusquedaChange();
    void SpeedButton1Click();
    void DBGrid1DblClick();

    // --- controls ---
    TVsCmbCodigo* CmbCampos = nullptr;
    QLineEdit* edtBusqueda = nullptr;
    QLineEdit* edtValor = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    TVestraDBgrid* DBGrid1 = nullptr;
    TDataSource* Datos1 = nullptr;
    SClientDataSet* CdsTmp = nullptr;
    TVNavegador* VNavegador1 = nullptr;
    QPushButton* BitBtnAceptar = nullptr;
    QPushButton* BitBtn2 = nullptr;
    TVSDBQbe* VSDBQbe1 = nullptr;
    QPushButton* BitBtn3 = nullptr;
    QWidget* sistemas = nullptr;
    QLabel* ImgVestra = nullptr;
    QLabel* LblVersion = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool FBoAbrir = true;
    QStringList FValores;
    QStringList FVariables;
    QStringList FDestino;
    QPointer<TDataSet> FDataSet;
    // State of the lookup in progress: accepted by double-click, the titles, the field that started it, the
    // search text before the last keystroke, and an error met while showing (rethrown by Ejecutar).
    bool m_aceptadoDobleClick = false;
    QStringList m_titulos;
    QPointer<TVPField> m_campo;
    QString m_textoAnterior;
    bool m_restaurando = false;
    std::exception_ptr m_errorAlMostrar;
};

// The one lookup dialog of the library, created on first use and kept until LiberarCaptura.
TCaptura& Captura();
// Destroys the dialog (at unload); a later Captura() makes a new one.
void LiberarCaptura();

// The full lookup (destination dataset, destination names, LookUpField): true when a row was accepted.
bool CapturaCompleta(TVPField& field);
// The reduced lookup (values in field.Valores only): true when a row was accepted.
bool CapturaReducida(TVPField& field);
