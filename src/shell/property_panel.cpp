#include "shell/property_panel.h"

#include "editor/machine_document.h"

namespace qvt {

PropertyPanel::PropertyPanel(MachineDocument& document, Messages& messages, QWidget* parent)
    : QWidget(parent), document_(document), messages_(messages)
{
}

void PropertyPanel::ShowItem(std::int32_t id)
{
    shownItemId_ = id;
}

} // namespace qvt
