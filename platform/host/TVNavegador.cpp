#include "TVNavegador.h"

#include "GeneralError.h"
#include "HostMessageBox.h"
#include "TDataSet.h"
#include "TDataSource.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QToolButton>

namespace {

constexpr const char* kHints[] = {"Primero", "Anterior", "Siguiente", "Último",  "Insertar",
                                  "Borrar",  "Editar",   "Grabar",    "Cancelar"};

// The button pictures are drawn, so they look the same whatever fonts the machine has.
QIcon glyph(TNavigateBtn which) {
    QPixmap pix(16, 16);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(0x30, 0x30, 0x30);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    const auto left = [&](qreal x) { p.drawPolygon(QPolygonF{{x + 6, 3}, {x + 6, 13}, {x, 8}}); };
    const auto right = [&](qreal x) { p.drawPolygon(QPolygonF{{x, 3}, {x, 13}, {x + 6, 8}}); };
    switch (which) {
    case TNavigateBtn::nbFirst:
        p.drawRect(QRectF(3, 3, 2, 10));
        left(6);
        break;
    case TNavigateBtn::nbPrior:
        left(5);
        break;
    case TNavigateBtn::nbNext:
        right(5);
        break;
    case TNavigateBtn::nbLast:
        right(4);
        p.drawRect(QRectF(11, 3, 2, 10));
        break;
    case TNavigateBtn::nbInsert:
        p.drawRect(QRectF(7, 3, 2, 10));
        p.drawRect(QRectF(3, 7, 10, 2));
        break;
    case TNavigateBtn::nbDelete:
        p.drawRect(QRectF(3, 7, 10, 2));
        break;
    case TNavigateBtn::nbEdit:
        p.drawPolygon(QPolygonF{{3, 11}, {13, 11}, {8, 4}});
        break;
    case TNavigateBtn::nbPost:
        p.setPen(QPen(QColor(0x1E, 0x7B, 0x1E), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF{{3, 8.5}, {6.5, 12}, {13, 4}});
        break;
    case TNavigateBtn::nbCancel:
        p.setPen(QPen(QColor(0xB0, 0x20, 0x20), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
        break;
    }
    return QIcon(pix);
}

bool editing(const TDataSet* ds) {
    return ds && (ds->State() == TDataSetState::dsEdit || ds->State() == TDataSetState::dsInsert);
}

} // namespace

TVNavegador::TVNavegador(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        auto* b = new QToolButton(this);
        const auto which = static_cast<TNavigateBtn>(i);
        b->setIcon(glyph(which));
        b->setToolTip(QString::fromUtf8(kHints[i]));
        b->setFixedSize(25, 25);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, [this, which] { BtnClick(which); });
        row->addWidget(b);
        m_buttons[i] = b;
    }
    row->addStretch(1);
    refreshButtons();
}

TDataSet* TVNavegador::dataSet() const {
    return m_bound;
}

void TVNavegador::SetDataSource(TDataSource* source) {
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (m_source)
        connect(m_source, &TDataSource::dataSetChanged, this, &TVNavegador::bindDataSet);
    bindDataSet();
}

void TVNavegador::bindDataSet() {
    if (m_bound)
        disconnect(m_bound, nullptr, this, nullptr);
    m_bound = m_source ? m_source->DataSet() : nullptr;
    if (m_bound) {
        connect(m_bound, &TDataSet::cursorMoved, this, &TVNavegador::refreshButtons);
        connect(m_bound, &TDataSet::stateChanged, this, &TVNavegador::refreshButtons);
        connect(m_bound, &TDataSet::dataReset, this, &TVNavegador::refreshButtons);
        connect(m_bound, &TDataSet::recordChanged, this, &TVNavegador::refreshButtons);
    }
    refreshButtons();
}

void TVNavegador::SetVisibleButtons(const QList<TNavigateBtn>& buttons) {
    for (size_t i = 0; i < m_buttons.size(); ++i)
        m_buttons[i]->setVisible(buttons.contains(static_cast<TNavigateBtn>(i)));
}

QList<TNavigateBtn> TVNavegador::VisibleButtons() const {
    QList<TNavigateBtn> out;
    for (size_t i = 0; i < m_buttons.size(); ++i)
        if (!m_buttons[i]->isHidden())
            out << static_cast<TNavigateBtn>(i);
    return out;
}

void TVNavegador::refreshButtons() {
    const TDataSet* ds = dataSet();
    const bool active = ds && ds->Active() && isEnabled();
    const bool edit = active && editing(ds);
    const bool empty = !active || ds->IsEmpty();
    const bool bof = !active || ds->Bof() || ds->RecNo() <= 1;
    const bool eof = !active || ds->Eof() || ds->RecNo() >= ds->RecordCount();
    auto set = [this](TNavigateBtn b, bool on) { button(b)->setEnabled(on); };
    set(TNavigateBtn::nbFirst, active && !bof && !empty);
    set(TNavigateBtn::nbPrior, active && !bof && !empty);
    set(TNavigateBtn::nbNext, active && !eof && !empty);
    set(TNavigateBtn::nbLast, active && !eof && !empty);
    set(TNavigateBtn::nbInsert, active);
    set(TNavigateBtn::nbDelete, active && !empty);
    set(TNavigateBtn::nbEdit, active && !edit);
    set(TNavigateBtn::nbPost, edit);
    set(TNavigateBtn::nbCancel, edit);
}

void TVNavegador::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange)
        refreshButtons();
    QWidget::changeEvent(event);
}

bool TVNavegador::BtnClick(TNavigateBtn which) {
    TDataSet* ds = dataSet();
    if (!ds || !ds->Active())
        return false;
    bool done = true;
    try {
        switch (which) {
        case TNavigateBtn::nbFirst:
            ds->First();
            break;
        case TNavigateBtn::nbPrior:
            ds->Prior();
            break;
        case TNavigateBtn::nbNext:
            ds->Next();
            break;
        case TNavigateBtn::nbLast:
            ds->Last();
            break;
        case TNavigateBtn::nbInsert:
            ds->Insert();
            break;
        case TNavigateBtn::nbEdit:
            ds->Edit();
            break;
        case TNavigateBtn::nbPost:
            ds->Post();
            break;
        case TNavigateBtn::nbCancel:
            ds->Cancel();
            break;
        case TNavigateBtn::nbDelete:
            if (ds->IsEmpty()) {
                done = false;
                break;
            }
            if (ConfirmDelete &&
                HostMessageBox::show(this, QMessageBox::Question, QStringLiteral("Confirmar"),
                                     QStringLiteral("¿Borrar el registro?"),
                                     QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
                done = false;
                break;
            }
            ds->Delete();
            break;
        }
    } catch (const GeneralError& e) {
        done = false;
        HostMessageBox::show(this, QMessageBox::Critical, QStringLiteral("Error"), e.message());
    }
    refreshButtons();
    Q_EMIT navigated(which);
    return done;
}
