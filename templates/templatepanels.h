#pragma once
// Widgets of the template panel that the main window hosts: the row of
// template command buttons, and the play-list with its grid and its four
// buttons.
#include "platform/grid.h"

#include <QPushButton>
#include <QWidget>

#include <functional>

class GridView;

namespace templates {

class TemplateDesigner;

// Set, Reset, Set As Default, Load, Save As, New Template and Save; each
// button runs the designer's handler of the same name.
class TemplateCommandsPanel : public QWidget {
    Q_OBJECT
public:
    explicit TemplateCommandsPanel(TemplateDesigner& designer, QWidget* parent = nullptr);

    QPushButton* btnSetTemplate = nullptr;
    QPushButton* btnResetTemplate = nullptr;
    QPushButton* btnSetDefaulTemplate = nullptr;
    QPushButton* CmdSelTpl = nullptr;
    QPushButton* CmdSaveTplAs = nullptr;
    QPushButton* CmdNewTpl = nullptr;
    QPushButton* btnSaveTemplate = nullptr;
};

// "Templates:" with the play-list grid and the Up, Down, Add and Remove
// buttons. `slotText` gives the text of the slot list for Add.
class PlayListPanel : public QWidget {
    Q_OBJECT
public:
    PlayListPanel(Grid& igTemplates, std::function<QString()> slotText, QWidget* parent = nullptr);

    void btnUpTemplate_Click();
    void btnDownTemplate_Click();
    void btnAddTemplate_Click();
    void btnRemoveTemplate_Click();

    GridView* igTemplatesView = nullptr;
    QPushButton* btnUpTemplate = nullptr;
    QPushButton* btnDownTemplate = nullptr;
    QPushButton* btnAddTemplate = nullptr;
    QPushButton* btnRemoveTemplate = nullptr;

private:
    Grid& grid_;
    std::function<QString()> slotText_;
};

} // namespace templates
