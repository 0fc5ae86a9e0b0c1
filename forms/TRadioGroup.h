// TRadioGroup: a framed group of radio buttons laid out in columns, addressed by item index (-1 when no
// item is chosen). The user's choice emits clicked(); setting ItemIndex from code emits nothing.
#pragma once

#include <QGroupBox>
#include <QList>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent = nullptr);

    int ItemIndex() const;
    // -1 (or any index outside the items) leaves no item chosen.
    void SetItemIndex(int index);
    int Count() const { return static_cast<int>(m_buttons.size()); }
    QRadioButton* Button(int index) const { return m_buttons.value(index); }

Q_SIGNALS:
    // A user's click on an item (also on the item already chosen).
    void clicked();

private:
    QButtonGroup* m_group;
    QList<QRadioButton*> m_buttons;
};
