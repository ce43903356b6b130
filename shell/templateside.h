#pragma once
// The template side of the main window: the template designer over the
// window's template panel and preview, the template command buttons, the
// play-list panel, and the window's template operations (slot change, Set,
// Save, built-in layouts, record displays) installed as its neighbours.
// install() is called once the data side is in place (DataSide::install
// does it); the object lives as a child of the window.
#include <QObject>

#include <memory>

class frmMain;

namespace templates {
class PlayListPanel;
class TemplateCommandsPanel;
class TemplateDesigner;
class TemplateViewControls;
} // namespace templates

class TemplateSide : public QObject {
    Q_OBJECT
public:
    // Needs the window's data side (its preview); a second call returns the
    // first object, and nullptr comes back without a data side.
    static TemplateSide* install(frmMain& window);
    static TemplateSide* of(const frmMain& window);
    ~TemplateSide() override;

    templates::TemplateDesigner& designer() { return *designer_; }
    templates::TemplateViewControls& view() { return *view_; }
    templates::TemplateCommandsPanel* commandsPanel() const { return commands_; }
    templates::PlayListPanel* playListPanel() const { return playList_; }

private:
    explicit TemplateSide(frmMain& window);
    void installNeighbours();
    void connectControls();

    frmMain& window_;
    std::unique_ptr<templates::TemplateViewControls> view_;
    std::unique_ptr<templates::TemplateDesigner> designer_;
    templates::TemplateCommandsPanel* commands_ = nullptr;
    templates::PlayListPanel* playList_ = nullptr;
};
