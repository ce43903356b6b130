#include "shell/displayside.h"

#include "run/display/frmimagerender.h"
#include "shell/frmmain.h"
#include "templates/template.h"

DisplaySide* DisplaySide::install(frmMain& window)
{
    if (DisplaySide* existing = of(window))
        return existing;
    return new DisplaySide(window);
}

DisplaySide* DisplaySide::of(const frmMain& window)
{
    return window.findChild<DisplaySide*>(QString(), Qt::FindDirectChildrenOnly);
}

DisplaySide::DisplaySide(frmMain& window)
    : QObject(&window)
    , pageMedia_([] { return pageMediaOf(templates::designerTemplate()); })
{
    display_ = std::make_unique<frmImageRender>([&window] { window.neighbours.mnuStop_Click(); },
                                                [this] { return pageMedia_(); });
    window.neighbours.closeDisplayWindow = [this] { display_->close(); };
    window.neighbours.displayWindowOpen = [this] { return display_->isOpen(); };
    window.neighbours.raiseDisplayWindow = [this] { display_->raiseIfOpen(); };
}

DisplaySide::~DisplaySide() = default;

DisplayPort& DisplaySide::port()
{
    return *display_;
}

void DisplaySide::setPageMedia(std::function<PageMedia()> source)
{
    if (source)
        pageMedia_ = std::move(source);
}
