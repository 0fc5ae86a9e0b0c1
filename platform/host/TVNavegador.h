// TVNavegador: a record navigator over a data source: First, Prior, Next, Last, Insert, Delete, Edit, Post
// and Cancel buttons, the visible ones chosen by the owner. Buttons follow the dataset: moving buttons are
// disabled at the ends, Post and Cancel only enabled while a record is being edited or inserted, and
// nothing is enabled without an active dataset.
//
// A GeneralError raised by the dataset (a refused Post, a validation) is shown in a message box
// (HostMessageBox) and the dataset stays in the state the error left it in. Delete asks for confirmation
// first when ConfirmDelete is set.
#pragma once

#include "TDataSet.h"
#include "TDataSource.h"

#include <QList>
#include <QPointer>
#include <QWidget>
#include <array>

class QToolButton;

enum class TNavigateBtn { nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel };

class TVNavegador : public QWidget {
    Q_OBJECT
public:
    explicit TVNavegador(QWidget* parent = nullptr);

    TDataSource* DataSource() const { return m_source; }
    void SetDataSource(TDataSource* source);

    // Shows exactly the listed buttons (all nine by default), in the fixed order above.
    void SetVisibleButtons(const QList<TNavigateBtn>& buttons);
    QList<TNavigateBtn> VisibleButtons() const;

    bool ConfirmDelete = true;

    // Does what the button does; errors are reported as described above. Returns false when the action
    // failed or was declined.
    bool BtnClick(TNavigateBtn button);

    QToolButton* button(TNavigateBtn button) const { return m_buttons[static_cast<size_t>(button)]; }

    // Re-reads the dataset's position and state into the buttons' enabled state.
    void refreshButtons();

Q_SIGNALS:
    // After a button's action ran (also when it failed).
    void navigated(TNavigateBtn button);

protected:
    void changeEvent(QEvent* event) override;

private:
    void bindDataSet();
    TDataSet* dataSet() const;
    std::array<QToolButton*, 9> m_buttons{};
    QPointer<TDataSource> m_source;
    QPointer<TDataSet> m_bound;
};
