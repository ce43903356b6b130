#include "templates/templatepanels.h"

#include "platform/gridview.h"
#include "templates/playlist.h"
#include "templates/templatecommands.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>

namespace templates {

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QString& tip)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(tip);
    return b;
}

} // namespace

TemplateCommandsPanel::TemplateCommandsPanel(TemplateDesigner& d, QWidget* parent) : QWidget(parent)
{
    const QString saveTip = QStringLiteral("Save Conference Template");
    btnSetTemplate = button(this, "btnSetTemplate", QStringLiteral("Set"), saveTip);
    btnResetTemplate = button(this, "btnResetTemplate", QStringLiteral("Reset"), QStringLiteral("New Template"));
    btnSetDefaulTemplate = button(this, "btnSetDefaulTemplate", QStringLiteral("Set As Default"), saveTip);
    CmdSelTpl = button(this, "CmdSelTpl", QStringLiteral("Load"), QStringLiteral("Load Template"));
    CmdSaveTplAs = button(this, "CmdSaveTplAs", QStringLiteral("Save As"), QStringLiteral("Save Template As"));
    CmdNewTpl = button(this, "CmdNewTpl", QStringLiteral("New Template"), QStringLiteral("New Template"));
    btnSaveTemplate = button(this, "btnSaveTemplate", QStringLiteral("Save"), saveTip);

    auto* g = new QGridLayout(this);
    g->setContentsMargins(0, 0, 0, 0);
    g->addWidget(btnSetTemplate, 0, 0);
    g->addWidget(btnSetDefaulTemplate, 0, 1);
    g->addWidget(btnResetTemplate, 0, 2);
    g->addWidget(CmdSelTpl, 1, 0);
    g->addWidget(CmdSaveTplAs, 1, 1);
    g->addWidget(btnSaveTemplate, 1, 2);
    g->addWidget(CmdNewTpl, 2, 0, 1, 3);

    TemplateDesigner* dp = &d;
    connect(btnSetTemplate, &QPushButton::clicked, this, [dp] { dp->btnSetTemplate_Click(); });
    connect(btnResetTemplate, &QPushButton::clicked, this, [dp] { dp->btnResetTemplate_Click(); });
    connect(btnSetDefaulTemplate, &QPushButton::clicked, this, [dp] { dp->btnSetDefaulTemplate_Click(); });
    connect(CmdSelTpl, &QPushButton::clicked, this, [dp] { dp->CmdSelTpl_Click(); });
    connect(CmdSaveTplAs, &QPushButton::clicked, this, [dp] { dp->CmdSaveTplAs_Click(); });
    connect(CmdNewTpl, &QPushButton::clicked, this, [dp] { dp->CmdNewTpl_Click(); });
    connect(btnSaveTemplate, &QPushButton::clicked, this, [dp] { dp->btnSaveTemplate_Click(); });
}

PlayListPanel::PlayListPanel(Grid& igTemplates, std::function<QString()> slotText, QWidget* parent)
    : QWidget(parent), grid_(igTemplates), slotText_(std::move(slotText))
{
    auto* lblTemplate = new QLabel(QStringLiteral("Templates:"), this);
    lblTemplate->setObjectName(QStringLiteral("lblTemplate"));
    igTemplatesView = new GridView(grid_, this);
    igTemplatesView->setObjectName(QStringLiteral("igTemplates"));
    igTemplatesView->verticalHeader()->hide();
    igTemplatesView->horizontalHeader()->setStretchLastSection(true);
    igTemplatesView->setMinimumHeight(90);

    // Upward and downward triangles.
    btnUpTemplate = button(this, "btnUpTemplate", QString(QChar(0x25B2)), QStringLiteral("Move Selected Item Up"));
    btnDownTemplate =
        button(this, "btnDownTemplate", QString(QChar(0x25BC)), QStringLiteral("Move Selected Item Down"));
    btnAddTemplate = button(this, "btnAddTemplate", QStringLiteral("+"), QStringLiteral("Add Active Template"));
    btnRemoveTemplate =
        button(this, "btnRemoveTemplate", QStringLiteral("-"), QStringLiteral("Remove Active Template"));
    for (QPushButton* b : {btnUpTemplate, btnDownTemplate, btnAddTemplate, btnRemoveTemplate})
        b->setFixedWidth(28);

    auto* g = new QGridLayout(this);
    g->setContentsMargins(0, 0, 0, 0);
    g->addWidget(lblTemplate, 0, 0, 1, 2);
    g->addWidget(igTemplatesView, 1, 0, 4, 1);
    g->addWidget(btnUpTemplate, 1, 1);
    g->addWidget(btnDownTemplate, 2, 1);
    g->addWidget(btnAddTemplate, 3, 1);
    g->addWidget(btnRemoveTemplate, 4, 1);

    connect(btnUpTemplate, &QPushButton::clicked, this, &PlayListPanel::btnUpTemplate_Click);
    connect(btnDownTemplate, &QPushButton::clicked, this, &PlayListPanel::btnDownTemplate_Click);
    connect(btnAddTemplate, &QPushButton::clicked, this, &PlayListPanel::btnAddTemplate_Click);
    connect(btnRemoveTemplate, &QPushButton::clicked, this, &PlayListPanel::btnRemoveTemplate_Click);
}

void PlayListPanel::btnUpTemplate_Click()
{
    templates::btnUpTemplate_Click(grid_);
}

void PlayListPanel::btnDownTemplate_Click()
{
    templates::btnDownTemplate_Click(grid_);
}

void PlayListPanel::btnAddTemplate_Click()
{
    templates::btnAddTemplate_Click(grid_, slotText_ ? slotText_() : QString());
}

void PlayListPanel::btnRemoveTemplate_Click()
{
    templates::btnRemoveTemplate_Click(grid_);
}

} // namespace templates
