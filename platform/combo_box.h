#pragma once
// The combo box: a typed name and a list to pick from.

#include <QComboBox>

#include <functional>
#include <string_view>

class QKeyEvent;

namespace platform {

// Enter and Escape belong to the dialog while the list is closed; only a pick from the list
// counts as a choice, and neither typing nor the program's changes select anything by
// themselves.
class ComboBox : public QComboBox {
public:
    // Without `editable`, a list to pick from alone.
    explicit ComboBox(QWidget* parent, bool editable = true);

    // Adds `item`, in order (case ignored) when `sorted`, else at the end; returns its index. The
    // selection and the typed text stay as they were.
    int AddItem(const QString& item, bool sorted);
    // Removes item `index` and returns the number left, or -1 when there is no such item. The typed
    // text stays; when the item was selected, nothing is selected afterwards.
    int DeleteItem(int index);
    // Selects item `index` and shows its text; an index outside the list clears both and gives -1.
    int Select(int index);

    // Runs `handler` each time the list is about to open, before it shows its items.
    void SetDropDownHandler(std::function<void()> handler) { m_drop_down = std::move(handler); }
    void showPopup() override;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    std::function<void()> m_drop_down;
};

} // namespace platform
