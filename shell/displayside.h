#pragma once
// The main window's full-screen display for stand-alone boards: the display
// window, Process > Stop as the way it stops a run, and its closing at
// shut-down. The run control drives it through port(). The object lives as
// a child of the window; a second install() returns the first object.
#include "run/display/displaymodel.h"

#include <QObject>

#include <functional>
#include <memory>

class DisplayPort;
class frmImageRender;
class frmMain;

class DisplaySide : public QObject {
    Q_OBJECT
public:
    static DisplaySide* install(frmMain& window);
    static DisplaySide* of(const frmMain& window);
    ~DisplaySide() override;

    DisplayPort& port();
    frmImageRender& display() { return *display_; }
    // Where the display reads the background and PiP of each page; until
    // set, the designer's template.
    void setPageMedia(std::function<PageMedia()> source);

private:
    explicit DisplaySide(frmMain& window);

    std::function<PageMedia()> pageMedia_;
    std::unique_ptr<frmImageRender> display_;
};

// The background and PiP values of a template's fields.
template <class T> PageMedia pageMediaOf(const T& t)
{
    return {t.gstrBackgroundType, t.gstrBackgroundImage, t.gstrPiPOn, t.gstrPiPFile, t.gstrPiPRegion};
}
