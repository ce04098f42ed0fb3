#pragma once

#include <QWidget>

#include <cstdint>

namespace qvt {

class MachineDocument;
class Messages;

// The column at the right of the design window in which the fields of the
// selected item are shown and edited. Every edit goes through the document.
class PropertyPanel : public QWidget {
    Q_OBJECT

public:
    PropertyPanel(MachineDocument& document, Messages& messages, QWidget* parent = nullptr);

    // Fills the panel with the item `id`; -1 shows an empty panel.
    void ShowItem(std::int32_t id);
    std::int32_t shownItemId() const { return shownItemId_; }

private:
    MachineDocument& document_;
    Messages& messages_;
    std::int32_t shownItemId_ = -1;
};

} // namespace qvt
