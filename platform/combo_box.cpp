#include "platform/combo_box.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace platform {

ComboBox::ComboBox(QWidget* parent, bool editable) : QComboBox(parent) {
    if (!editable) {
        return;
    }
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // Inline completion would turn a new name that begins an existing one into that one.
    setCompleter(nullptr);
    // The combo box makes an edited text that equals an item into a choice of that item, on
    // Enter and on leaving the box; typing a name must not load anything.
    QObject::disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
    QObject::disconnect(lineEdit(), &QLineEdit::returnPressed, this, nullptr);
}

int ComboBox::AddItem(const QString& item, bool sorted) {
    int index = count();
    for (int i = 0; sorted && i < count(); ++i) {
        if (QString::compare(itemText(i), item, Qt::CaseInsensitive) > 0) {
            index = i;
            break;
        }
    }
    const int selected = currentIndex();
    const QString typed = currentText();
    insertItem(index, item);
    // The first item of an empty list would otherwise become the selection and replace the text.
    if (selected == -1 && currentIndex() != -1) {
        setCurrentIndex(-1);
    }
    if (currentText() != typed) {
        setEditText(typed);
    }
    return index;
}

int ComboBox::DeleteItem(int index) {
    if (index < 0 || index >= count()) {
        return -1;
    }
    const int selected = currentIndex();
    const QString typed = currentText();
    removeItem(index);
    // Removing the selected item would select a neighbour and show its text.
    if (selected == index) {
        setCurrentIndex(-1);
    }
    if (currentText() != typed) {
        setEditText(typed);
    }
    return count();
}

int ComboBox::Select(int index) {
    if (index < 0 || index >= count()) {
        setCurrentIndex(-1);
        clearEditText();
        return -1;
    }
    setCurrentIndex(index);
    setEditText(itemText(index));
    return index;
}

void ComboBox::showPopup() {
    if (m_drop_down) {
        m_drop_down();
    }
    QComboBox::showPopup();
}

void ComboBox::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Escape) {
        e->ignore();
        return;
    }
    QComboBox::keyPressEvent(e);
}

} // namespace platform
