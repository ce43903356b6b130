#pragma once
// The layout tools of the main window's designer: the title, date, time and
// PiP elements on the preview and the design grid with the preview page's
// pop-up menu. install() is called once the data and template sides are in
// place (DataSide::install does it): the tools join the preview's handlers
// and replace the window's stand-ins for the element settings and the grid.
#include <QObject>
#include <QPointer>

#include <memory>

class DataSide;
class frmMain;

namespace layouttools {
class DesignGrid;
class ElementTool;
} // namespace layouttools

class LayoutToolsSide : public QObject {
    Q_OBJECT
public:
    // Needs the window's data side; a second call returns the first object,
    // and nullptr comes back without a data side.
    static LayoutToolsSide* install(frmMain& window);
    static LayoutToolsSide* of(const frmMain& window);
    ~LayoutToolsSide() override;

    layouttools::ElementTool& elements() { return *elements_; }
    layouttools::DesignGrid& grid() { return *grid_; }

private:
    explicit LayoutToolsSide(frmMain& window);
    void installNeighbours();
    void connectMenu();
    // The pop-up menu's check marks and enabled state as the grid has them.
    void showMenuState();

    frmMain& window_;
    QPointer<DataSide> data_;
    std::unique_ptr<layouttools::ElementTool> elements_;
    std::unique_ptr<layouttools::DesignGrid> grid_;
};
